// The engineering view's template: every control of the operator view, each one an installer
// needs shown inside the window, none shown over another.
#include <gtest/gtest.h>

#include <string>

#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "ui/ViewLayout.h"

namespace uhf {
namespace {

// A drop-down list's template height is its open list; closed it takes one line.
constexpr int kClosedComboHeightDu = 14;

DialogRect Shown(const ControlTemplate& control) {
  DialogRect rect = control.rect;
  if (control.kind == ControlKind::ComboBox) rect.height = kClosedComboHeightDu;
  return rect;
}

bool Overlap(const DialogRect& a, const DialogRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool Contains(const DialogRect& outer, const DialogRect& inner) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

std::string Name(const ControlTemplate& control) {
  return control.id != kNoId ? std::to_string(control.id) : "\"" + control.text + "\"";
}

TEST(EngineeringTemplate, HoldsTheOperatorControlsEachShownInsideAndApart) {
  const DialogTemplate& operatorView = MainDialogTemplate();
  const DialogTemplate& view = EngineeringDialogTemplate();
  // The same controls, each with the operator view's kind, text, style and enabled state; only a
  // label without an id that the view shows is usable there (a surface sets nothing else on it).
  const auto match = MatchLayout(operatorView, view);
  for (std::size_t i = 0; i < match.size(); ++i) {
    const ControlTemplate& mine = view.controls[i];
    const ControlTemplate& theirs = operatorView.controls[match[i]];
    SCOPED_TRACE(Name(mine));
    EXPECT_EQ(mine.kind, theirs.kind);
    EXPECT_EQ(mine.text, theirs.text);
    EXPECT_EQ(mine.style, theirs.style);
    EXPECT_EQ(mine.enabled, theirs.enabled || (mine.id == kNoId && mine.visible));
    EXPECT_EQ(mine.radioGroup, theirs.radioGroup);
  }
  // What an installer works with is shown.
  for (int id : {idc::Usb,
                 idc::Com,
                 idc::TcpUdp,
                 idc::ComPort,
                 idc::ConnBaud,
                 idc::HostIp,
                 idc::HostPort,
                 idc::ReaderIp,
                 idc::ReaderPort,
                 idc::Connect,
                 idc::Disconnect,
                 idc::Power,
                 idc::FreqStart,
                 idc::FreqEnd,
                 idc::Fcc,
                 idc::Etsi,
                 idc::Buzzer,
                 idc::ReadAlways,
                 idc::ReadByTrigger,
                 idc::ReadTime,
                 idc::Wiegand26,
                 idc::Wiegand34,
                 idc::OutputTime,
                 idc::TagInterval,
                 idc::ForwardOutput,
                 idc::InvertedOutput,
                 idc::StartBytes,
                 idc::Length,
                 idc::SaveChanges,
                 idc::ReadConfig,
                 idc::FactoryDefault,
                 idc::ReaderAddress,
                 idc::SetAddress,
                 idc::GetAddress,
                 idc::PasswordYes,
                 idc::PasswordNo,
                 idc::Password,
                 idc::ReadTag,
                 idc::ReadTagTestDecimal,
                 idc::ReadTagTestHex,
                 idc::ReadTagUsb,
                 idc::TagList,
                 idc::StatusPanel,
                 idc::TotalReadsLabel,
                 idc::UniqueTagsLabel,
                 idc::ReadRateLabel,
                 idc::ClearTags,
                 idc::ExportCsv,
                 idc::StartStopReads,
                 idc::WiegandDetail,
                 idc::ExchangeLog,
                 idc::CopyLog,
                 idc::SaveLog}) {
    const ControlTemplate* control = view.Find(id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_TRUE(control->visible) << id;
  }
  const DialogRect client{0, 0, view.widthDu, view.heightDu};
  for (std::size_t i = 0; i < view.controls.size(); ++i) {
    const ControlTemplate& a = view.controls[i];
    if (!a.visible) continue;
    EXPECT_TRUE(Contains(client, Shown(a))) << Name(a) << " leaves the window";
    for (std::size_t j = i + 1; j < view.controls.size(); ++j) {
      const ControlTemplate& b = view.controls[j];
      if (!b.visible || !Overlap(Shown(a), Shown(b))) continue;
      // Only a frame may lie around what it frames.
      const bool framed = (a.kind == ControlKind::GroupBox && Contains(a.rect, Shown(b))) ||
                          (b.kind == ControlKind::GroupBox && Contains(b.rect, Shown(a)));
      EXPECT_TRUE(framed) << Name(a) << " overlaps " << Name(b);
    }
  }
  // Readable at 96 dpi on a 1280x1024 screen: the window's outer size stays below it (about
  // 1.75 x 1.9 pixels per dialog unit in the dialog's font, plus the frame and caption).
  EXPECT_LE(view.widthDu * 7 / 4 + 16, 1280);
  EXPECT_LE(view.heightDu * 19 / 10 + 40, 1024 - 40);
}

}  // namespace
}  // namespace uhf
