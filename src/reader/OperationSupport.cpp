#include "reader/OperationSupport.h"

#include <algorithm>
#include <vector>

#include "dialog/ControlIds.h"
#include "reader/ReaderOperations.h"
#include "text/Utf8.h"

namespace uhf {

std::string VersionText(const std::array<char, 64>& buffer, std::size_t size) {
  const std::size_t room = std::min(size, buffer.size()) - 1;
  const auto end =
      std::find(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(room), '\0');
  const auto length = static_cast<std::size_t>(end - buffer.begin());
  // One byte past the text is still inside the buffer: Utf8Prefix steps back when the text was
  // cut inside a character.
  return std::string(Utf8Prefix(std::string_view(buffer.data(), length + 1), length));
}

void Finish(OperationResult& result, const CallLog& calls, std::string_view status,
            std::optional<Rgb> colour) {
  result.calls = calls.Calls();
  result.succeeded = calls.AllSucceeded();
  result.statusText = std::string(status);
  result.statusColour = colour;
}

void CloseHeldLink(ReaderDriver& driver, LinkState& state) {
  if (!state.open) return;
  driver.CloseCom();
  state.open = false;
}

LinkState LinkStateOf(const DialogState& state) {
  return {state.linkOpen, state.readerKind};
}

void KeepLinkState(DialogState& state, const LinkState& link) {
  state.linkOpen = link.open;
  state.readerKind = link.readerKind;
}

void ShowStatus(DialogContext& ctx, std::string_view text, Rgb colour) {
  ctx.state.values.statusText = std::string(text);
  ctx.surface.SetText(idc::StatusPanel, text);
  ctx.surface.RichSetColor(idc::StatusPanel, 0, static_cast<int>(Utf8Length(text)), colour);
}

void ShowResultStatus(DialogContext& ctx, const OperationResult& result) {
  ShowStatus(ctx, result.statusText, result.statusColour.value_or(kStatusRed));
}

void ShowMessages(DialogContext& ctx, const OperationResult& result) {
  for (const std::string& message : result.messages) ctx.ShowMessage(message);
}

void CheckOneOf(ControlSurface& surface, int checked, int cleared) {
  surface.SetCheck(checked, 1);
  surface.SetCheck(cleared, 0);
}

namespace {

// The number edits a read fills. A read leaves one empty when it could not obtain its value.
constexpr int kReadNumberEdits[] = {idc::ReadTime, idc::OutputTime, idc::ReaderAddress,
                                    idc::TagInterval};

}  // namespace

bool RefreshSettingsKeepingBlanks(DialogContext& ctx) {
  ControlSurface& surface = ctx.surface;
  const BoundValues& values = ctx.state.values;
  std::vector<int> blanks;
  {
    ControlSurface::NotificationHold hold(surface);
    for (int id : kReadNumberEdits) {
      if (!surface.GetText(id).empty()) continue;
      blanks.push_back(id);
      const std::uint32_t bound = id == idc::ReadTime        ? values.readTime
                                  : id == idc::OutputTime    ? values.outputTime
                                  : id == idc::ReaderAddress ? values.readerAddress
                                                             : values.tagInterval;
      surface.SetText(id, std::to_string(bound));
    }
  }
  const bool ok = ctx.UpdateData(true);
  ControlSurface::NotificationHold hold(surface);
  for (int id : blanks) surface.SetText(id, "");
  return ok;
}

}  // namespace uhf
