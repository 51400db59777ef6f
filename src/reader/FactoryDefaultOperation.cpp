// Restoring the factory configuration, and its button.

#include <array>
#include <string>

#include "dialog/ControlIds.h"
#include "reader/OperationSupport.h"
#include "reader/ReaderOperations.h"

namespace uhf {

ReaderConfiguration FactoryConfiguration(std::uint8_t readerKind, std::int32_t currentStart) {
  ReaderConfiguration factory;
  factory.readerKind = readerKind;
  factory.readerAddress = kFactoryAddress;
  factory.outputTime = kFactoryOutputTime;
  factory.readTime = kFactoryReadTime;
  factory.wiegandFormat = ReaderSettings::kWiegand26;
  factory.wiegandOutput = UsbRecordFor(ReaderSettings::kWiegand26);
  factory.passwordEnabled = 1;
  factory.checkPassword.emplace();
  factory.checkPassword->fill(kFactoryPasswordByte);
  factory.workMode = ReaderSettings::kWorkModeAlways;
  if (readerKind <= 2) {
    factory.frequencyPlan = FactoryPlan(readerKind, currentStart);
    factory.outPower = FactoryPowerLevel(readerKind);
  }
  return factory;
}

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
  const std::uint8_t kind = state.readerKind;
  // The band-independent settings; the plan waits for the reader's current start.
  const ReaderConfiguration factory = FactoryConfiguration(kind, 0);
  calls.UhfFactoryDefault(kBus);
  calls.UhfSetAddress(kBus, *factory.readerAddress);
  calls.UhfSetWgIntervalTime(kBus, *factory.outputTime);
  calls.UhfSetTriggerTime(kBus, *factory.readTime);
  calls.UhfSetWeigand(kBus, *factory.wiegandFormat);
  const auto record = factory.wiegandOutput->Bytes();
  if (calls.UhfSetWgOutByte(kBus, record.data()) != 0) {
    return stop(texts.MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL);
  }
  std::array<std::uint8_t, 4> password = *factory.checkPassword;
  calls.UhfSetPassword(kBus, *factory.passwordEnabled, password.data());
  calls.UhfSetWorkMode(kBus, *factory.workMode);

  std::int32_t powerStatus = 0;
  if (kind == 0 || kind == 1) {
    // Without the current plan the band is unknown: no plan is written, and the reset cannot
    // end green.
    FrequencyPlan current;
    if (calls.UhfGetFrequencyRegion(kBus, &current.form, &current.start, &current.end,
                                    &current.step, &current.count) == 0) {
      const FrequencyPlan plan = *FactoryConfiguration(kind, current.start).frequencyPlan;
      calls.UhfSetFrequencyRegionB(kBus, plan.form, plan.start, plan.end, plan.step, plan.count);
    }
    powerStatus = calls.UhfSetOutPower(kBus, *factory.outPower);
  } else if (kind == 2) {
    const FrequencyPlan plan = *factory.frequencyPlan;
    calls.UhfSetFrequencyRegion(kBus, plan.form, plan.start, plan.end, plan.step, plan.count);
    powerStatus = calls.UhfSetOutPower(kBus, *factory.outPower);
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
