// What the window leaves until after its first frame: the serial port enumeration, the host
// address lookup (on a worker thread; in either view), the hidden tag list and address controls,
// the hidden picture and the icon's larger sizes. Each must be in place whenever anything reads it
// through the surface, and the lookup never holds the first frame.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/ToolWindow.h"
#include "dialog/ControlIds.h"
#include "sim/SimulatedReader.h"

namespace uhf {
namespace {

// Sets `painted` when the window receives its first paint event.
class PaintSeen : public QObject {
 public:
  explicit PaintSeen(QWidget* window) { window->installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return QObject::eventFilter(watched, event);
  }
  std::atomic<bool> painted{false};
};

// The host field's own text, read from its widgets without going through the surface.
std::string RawHostField(QDialog* window) {
  auto* ip = window->findChild<QWidget*>(QString::number(idc::HostIp));
  if (ip == nullptr) return "<missing>";
  QStringList parts;
  for (const QLineEdit* field : ip->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
    parts << field->text();
  }
  return parts.join(QString()).isEmpty() ? std::string() : parts.join(u'.').toStdString();
}

AvailablePort Port(const std::string& name) {
  AvailablePort port;
  port.name = name;
  port.displayName = "USB Serial Port (" + name + ")";
  return port;
}

// A machine whose lookups count their calls and note whether the window had painted by then.
struct CountingPlatform {
  std::atomic<int> portCalls{0};
  std::atomic<int> hostCalls{0};
  std::atomic<bool> portsAfterPaint{false};
  std::atomic<bool> hostAfterPaint{false};
  PaintSeen* seen = nullptr;

  DialogPlatform Make() {
    return {
        [this] {
          ++portCalls;
          portsAfterPaint = seen != nullptr && seen->painted;
          return std::vector<AvailablePort>{Port("COM4")};
        },
        [this] {
          ++hostCalls;
          hostAfterPaint = seen != nullptr && seen->painted;
          return std::string("10.4.5.6");
        },
        [] { return std::optional<std::filesystem::path>(); },
    };
  }
};

void WaitForFirstFrame(QDialog* window) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  QApplication::processEvents();  // the deferred work queued by the first paint
}

// The port listing and the host lookup run once each, both after the window's first paint.
void LookupsRunOnceAfterTheFirstFrame(QDialog* window, const CountingPlatform& machine) {
  WaitForFirstFrame(window);
  ASSERT_TRUE(QTest::qWaitFor([&] { return RawHostField(window) == "10.4.5.6"; }));
  EXPECT_EQ(machine.portCalls, 1);
  EXPECT_EQ(machine.hostCalls, 1);
  EXPECT_TRUE(machine.portsAfterPaint);
  EXPECT_TRUE(machine.hostAfterPaint);
  ASSERT_NE(window->findChild<QComboBox*>(QString::number(idc::ComPort)), nullptr);
}

TEST(ToolWindowFirstFrame, HiddenWorkWaitsForTheFirstFrameAndIsThereAfterIt) {
  SimulatedReader reader;
  CountingPlatform machine;
  ToolWindow tool(reader, machine.Make());
  QDialog* window = tool.Window();
  PaintSeen seen(window);
  machine.seen = &seen;

  // Built and initialised, not yet painted: nothing of the hidden controls' work has run.
  EXPECT_EQ(machine.portCalls, 0);
  EXPECT_EQ(machine.hostCalls, 0);
  EXPECT_TRUE(window->findChildren<QTableWidget*>().isEmpty()) << "hidden tag list built early";
  for (const QLabel* label : window->findChildren<QLabel*>()) {
    EXPECT_TRUE(label->pixmap().isNull()) << "hidden picture decoded early";
  }
  EXPECT_EQ(window->windowIcon().availableSizes(), QList<QSize>{QSize(16, 16)});
  EXPECT_EQ(RawHostField(window), "<missing>") << "hidden address control built early";
  for (int id : {idc::Password, idc::ConnBaud, idc::Usb, idc::Connect}) {
    EXPECT_EQ(window->findChild<QWidget*>(QString::number(id)), nullptr) << id << " built early";
  }

  ASSERT_NO_FATAL_FAILURE(LookupsRunOnceAfterTheFirstFrame(window, machine));
  auto* ports = window->findChild<QComboBox*>(QString::number(idc::ComPort));
  ASSERT_EQ(ports->count(), 1);
  EXPECT_EQ(ports->itemText(0), QStringLiteral("COM4"));
  EXPECT_EQ(ports->currentIndex(), 0);
  auto* readerIp = window->findChild<QWidget*>(QString::number(idc::ReaderIp));
  ASSERT_NE(readerIp, nullptr);
  EXPECT_EQ(readerIp->findChildren<QLineEdit*>().value(3)->text(), QStringLiteral("250"));
  auto* list = window->findChild<QTableWidget*>(QString::number(idc::TagList));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->columnCount(), 6);  // the template's four and the inventory's two
  EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QStringLiteral("Card Number"));
  EXPECT_EQ(list->columnWidth(1), 250);
  EXPECT_TRUE(list->showGrid());
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  // What initialisation wrote to hidden controls before they existed is on the new widgets.
  const auto raw = [window](int id) { return window->findChild<QWidget*>(QString::number(id)); };
  ASSERT_NE(qobject_cast<QLineEdit*>(raw(idc::Password)), nullptr);
  EXPECT_EQ(qobject_cast<QLineEdit*>(raw(idc::Password))->text(), QStringLiteral("7C1E94B2"));
  ASSERT_NE(qobject_cast<QComboBox*>(raw(idc::ConnBaud)), nullptr);
  EXPECT_EQ(qobject_cast<QComboBox*>(raw(idc::ConnBaud))->count(), 5);
  EXPECT_EQ(qobject_cast<QComboBox*>(raw(idc::ConnBaud))->currentText(), QStringLiteral("115200"));
  EXPECT_EQ(qobject_cast<QComboBox*>(raw(idc::AddressBaud))->currentText(), QStringLiteral("9600"));
  ASSERT_NE(qobject_cast<QAbstractButton*>(raw(idc::Usb)), nullptr);
  EXPECT_TRUE(qobject_cast<QAbstractButton*>(raw(idc::Usb))->isChecked());
  EXPECT_FALSE(raw(idc::Com)->isEnabled());
  EXPECT_TRUE(raw(idc::Connect)->isEnabled());
  EXPECT_FALSE(raw(idc::Disconnect)->isEnabled());
  EXPECT_EQ(qobject_cast<QAbstractButton*>(raw(idc::Connect))->text(), QStringLiteral("Connect"));
  for (int id : {idc::Password, idc::ConnBaud, idc::Usb, idc::Connect, idc::TagList}) {
    EXPECT_FALSE(raw(id)->isVisible()) << id;
  }
  int pictures = 0;
  for (const QLabel* label : window->findChildren<QLabel*>()) {
    pictures += label->pixmap().isNull() ? 0 : 1;
  }
  EXPECT_EQ(pictures, 1);
  EXPECT_EQ(window->windowIcon().availableSizes().size(), 4);
}

TEST(ToolWindowFirstFrame, TheLookupsWaitForTheFirstFrameInEitherView) {
  // The engineering view shows the port selector and the host field, and enables them while it
  // arranges the window; their contents still come after the first frame.
  for (DialogView view : {DialogView::Operator, DialogView::Engineering}) {
    SCOPED_TRACE(view == DialogView::Operator ? "operator view" : "engineering view");
    SimulatedReader reader;
    CountingPlatform machine;
    ToolWindow tool(reader, machine.Make(), view);
    QDialog* window = tool.Window();
    PaintSeen seen(window);
    machine.seen = &seen;
    EXPECT_EQ(machine.portCalls, 0);
    EXPECT_EQ(machine.hostCalls, 0);

    ASSERT_NO_FATAL_FAILURE(LookupsRunOnceAfterTheFirstFrame(window, machine));
    auto* ports = window->findChild<QComboBox*>(QString::number(idc::ComPort));
    EXPECT_EQ(ports->currentText(), QStringLiteral("COM4"));
    EXPECT_EQ(ports->isVisible(), view == DialogView::Engineering);
  }
}

TEST(ToolWindowFirstFrame, ReadingThroughTheSurfaceBeforeTheFirstFrameFindsTheInitialisedState) {
  SimulatedReader reader;
  CountingPlatform machine;
  ToolWindow tool(reader, machine.Make());
  ControlSurface& surface = tool.Surface();

  ASSERT_EQ(surface.ComboCount(idc::ComPort), 1);
  EXPECT_EQ(surface.ComboItem(idc::ComPort, 0), "COM4");
  EXPECT_EQ(surface.ComboGetSel(idc::ComPort), 0);
  EXPECT_EQ(surface.GetText(idc::HostIp), "10.4.5.6");
  EXPECT_EQ(surface.ListColumnCount(idc::TagList), 6);
  EXPECT_EQ(surface.ListColumnHeading(idc::TagList, 3), "EPC Length");
  EXPECT_EQ(surface.ListExtendedStyle(idc::TagList), kListGridLines | kListFullRowSelect);

  // Each ran once, on first use; the first frame runs none of them again.
  WaitForFirstFrame(tool.Window());
  QApplication::processEvents();
  EXPECT_EQ(machine.portCalls, 1);
  EXPECT_EQ(machine.hostCalls, 1);
  EXPECT_EQ(surface.ComboCount(idc::ComPort), 1);
  EXPECT_EQ(surface.ListColumnCount(idc::TagList), 6);
}

TEST(ToolWindowFirstFrame, ASlowHostLookupNeitherHoldsTheFrameNorIsMissedByAReader) {
  SimulatedReader reader;
  std::promise<std::string> answer;
  std::shared_future<std::string> pending = answer.get_future().share();
  std::atomic<bool> started{false};
  DialogPlatform platform = {
      [] { return std::vector<AvailablePort>{}; },
      [&] {
        started = true;
        return pending.get();  // a name lookup that has not come back yet
      },
      [] { return std::optional<std::filesystem::path>(); },
  };
  ToolWindow tool(reader, platform);
  QDialog* window = tool.Window();
  PaintSeen seen(window);

  WaitForFirstFrame(window);
  EXPECT_TRUE(seen.painted);
  ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }));
  EXPECT_EQ(RawHostField(window), "") << "blank while the lookup runs";
  EXPECT_TRUE(window->isVisible());

  // The answer arrives while a handler reads the field: the read gets it, not the blank.
  std::thread reply([&] { answer.set_value("192.0.2.7"); });
  EXPECT_EQ(tool.Surface().GetText(idc::HostIp), "192.0.2.7");
  reply.join();
  EXPECT_EQ(RawHostField(window), "192.0.2.7");
}

TEST(ToolWindowFirstFrame, AFailedHostLookupLeavesTheFieldBlank) {
  const struct {
    const char* name;
    std::function<std::string()> lookup;
  } cases[] = {
      {"no address", [] { return std::string(); }},
      {"lookup throws", []() -> std::string { throw std::runtime_error("resolver gone"); }},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    SimulatedReader reader;
    std::atomic<bool> done{false};
    DialogPlatform platform = {
        [] { return std::vector<AvailablePort>{}; },
        [&] {
          done = true;
          return tc.lookup();
        },
        [] { return std::optional<std::filesystem::path>(); },
    };
    ToolWindow tool(reader, platform);
    WaitForFirstFrame(tool.Window());
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }));
    EXPECT_EQ(tool.Surface().GetText(idc::HostIp), "");
    EXPECT_EQ(RawHostField(tool.Window()), "");
    EXPECT_EQ(tool.Surface().GetText(idc::ReaderIp), "192.168.1.250");
  }
}

}  // namespace
}  // namespace uhf
