// Restoring the factory configuration, and its button.

#include <array>
#include <string>

#include "dialog/ControlIds.h"
#include "reader/OperationSupport.h"
#include "reader/ReaderOperations.h"

namespace uhf {

OperationResult FactoryDefault(ReaderDriver& driver, LinkState& state, const InterfaceText& texts) {
  CallLog calls(driver);
  OperationResult result;
  CloseHeldLink(calls, state);

  if (calls.OpenCom(kUsbPort, 0) != 0) {
    Finish(result, calls, kStatusConnectFailed, kStatusRed);
    return result;
  }
  state.open = true;
  std::uint8_t extra = 0;
  if (calls.Handshake(kBus, 1, &state.readerKind, &extra) != 0) {
    Finish(result, calls, kStatusConfigFailed, kStatusRed);
    return result;
  }
  result.connected = true;

  // Every default that can be written is written; a failed one turns the end red.
  const auto stop = [&](const std::string& message) {
    Finish(result, calls, kStatusSetFailed, kStatusRed);
    result.messages.push_back(message);
    return result;
  };
  calls.UhfFactoryDefault(kBus);
  calls.UhfSetAddress(kBus, kFactoryAddress);
  calls.UhfSetWgIntervalTime(kBus, kFactoryOutputTime);
  calls.UhfSetTriggerTime(kBus, kFactoryReadTime);
  calls.UhfSetWeigand(kBus, ReaderSettings::kWiegand26);
  const auto record = UsbRecordFor(ReaderSettings::kWiegand26).Bytes();
  if (calls.UhfSetWgOutByte(kBus, record.data()) != 0) {
    return stop(texts.MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL);
  }
  std::array<std::uint8_t, 4> password;
  password.fill(kFactoryPasswordByte);
  calls.UhfSetPassword(kBus, 1, password.data());
  calls.UhfSetWorkMode(kBus, ReaderSettings::kWorkModeAlways);

  const std::uint8_t kind = state.readerKind;
  const auto power = FactoryPowerLevel(kind);
  std::int32_t powerStatus = 0;
  if (kind == 0 || kind == 1) {
    // Without the current plan the band is unknown: no plan is written, and the reset cannot
    // end green.
    FrequencyPlan current;
    if (calls.UhfGetFrequencyRegion(kBus, &current.form, &current.start, &current.end,
                                    &current.step, &current.count) == 0) {
      const FrequencyPlan plan = FactoryPlan(kind, current.start);
      calls.UhfSetFrequencyRegionB(kBus, plan.form, plan.start, plan.end, plan.step, plan.count);
    }
    powerStatus = calls.UhfSetOutPower(kBus, *power);
  } else if (kind == 2) {
    const FrequencyPlan plan = FactoryPlan(kind, 0);
    calls.UhfSetFrequencyRegion(kBus, plan.form, plan.start, plan.end, plan.step, plan.count);
    powerStatus = calls.UhfSetOutPower(kBus, *power);
  }
  if (powerStatus != 0) return stop(texts.MESSAGE_FACTORY_DEFAULT_FAIL);

  Disconnect(calls, state, texts);
  const bool green = calls.AllSucceeded();
  Finish(result, calls, green ? kStatusSetOk : kStatusSetFailed, green ? kStatusGreen : kStatusRed);
  return result;
}

OperationResult OnFactoryDefault(DialogContext& ctx) {
  ctx.state.controlsFromRead = false;
  LinkState state = LinkStateOf(ctx.state);
  const OperationResult result = FactoryDefault(ctx.driver, state, ctx.state.texts);
  KeepLinkState(ctx.state, state);
  // Nothing of the reset uses the values: a refused one does not stop it.
  if (result.connected) RefreshSettingsKeepingBlanks(ctx);
  // A reset that ran to its end ended the exchange, which the panel says before the outcome.
  if (result.connected && result.messages.empty()) {
    ctx.state.values.statusText = ctx.state.texts.MESSAGE_DISCONNECTED;
    ctx.surface.SetText(idc::StatusPanel, ctx.state.values.statusText);
  }
  ShowResultStatus(ctx, result);
  ShowMessages(ctx, result);
  return result;
}

}  // namespace uhf
