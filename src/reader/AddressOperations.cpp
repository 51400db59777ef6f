// Ending the exchange, and the address stored in the reader.

#include <array>
#include <string>

#include "dialog/ControlIds.h"
#include "reader/OperationSupport.h"
#include "reader/ReaderOperations.h"

namespace uhf {

OperationResult Disconnect(ReaderDriver& driver, LinkState& state, const InterfaceText& texts) {
  CallLog calls(driver);
  OperationResult result;
  std::uint8_t extra = 0;
  calls.Handshake(kBus, 0, &state.readerKind, &extra);
  state.open = false;
  calls.CloseCom();
  Finish(result, calls, texts.MESSAGE_DISCONNECTED, std::nullopt);
  return result;
}

OperationResult OnDisconnect(DialogContext& ctx) {
  LinkState state = LinkStateOf(ctx.state);
  const OperationResult result = Disconnect(ctx.driver, state, ctx.state.texts);
  KeepLinkState(ctx.state, state);
  ctx.state.controlsFromRead = false;
  ctx.state.values.statusText = result.statusText;
  ctx.surface.SetText(idc::StatusPanel, ctx.state.values.statusText);
  return result;
}

OperationResult SetReaderAddress(ReaderDriver& driver, std::uint8_t address,
                                 const InterfaceText& texts) {
  CallLog calls(driver);
  OperationResult result;
  if (calls.UhfSetAddress(kBus, address) != 0) {
    result.messages.push_back(texts.MESSAGE_SET_ADDRESS_FAIL);
  }
  Finish(result, calls, {}, std::nullopt);
  return result;
}

ConfigurationRead GetReaderAddress(ReaderDriver& driver, const InterfaceText& texts) {
  CallLog calls(driver);
  ConfigurationRead read;
  std::array<char, 64> version{};
  if (calls.Get_Version(kBus, version.data()) == 0) {
    read.configuration.versionText = VersionText(version, 30);
  }
  std::uint8_t address = 0;
  if (calls.UhfGetAddress(kBus, &address) == 0) {
    read.configuration.readerAddress = address;
  } else {
    read.result.messages.push_back(texts.MESSAGE_GET_ADDRESS_FAIL);
  }
  Finish(read.result, calls, {}, std::nullopt);
  return read;
}

std::optional<OperationResult> OnSetAddress(DialogContext& ctx) {
  // A refused address (a message was shown) is not written.
  if (!ctx.UpdateData(true)) return std::nullopt;
  OperationResult result =
      SetReaderAddress(ctx.driver, ctx.state.values.readerAddress, ctx.state.texts);
  ShowMessages(ctx, result);
  if (result.succeeded) ctx.UpdateData(false);
  return result;
}

std::optional<ConfigurationRead> OnGetAddress(DialogContext& ctx) {
  if (!ctx.UpdateData(true)) return std::nullopt;
  ConfigurationRead read = GetReaderAddress(ctx.driver, ctx.state.texts);
  const ReaderConfiguration& c = read.configuration;
  ctx.state.values.versionText = c.versionText.value_or(std::string());
  if (!c.readerAddress) {
    ShowMessages(ctx, read.result);
    return read;
  }
  ctx.state.values.readerAddress = *c.readerAddress;
  ctx.UpdateData(false);
  return read;
}

}  // namespace uhf
