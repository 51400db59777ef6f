// Saving a configuration, and the save button that builds it from the controls.

#include <array>
#include <string>

#include "dialog/ControlIds.h"
#include "reader/OperationSupport.h"
#include "reader/ReaderOperations.h"

namespace uhf {

OperationResult SaveConfiguration(ReaderDriver& driver, const ReaderConfiguration& desired,
                                  LinkKind link, const InterfaceText& texts, SaveOptions options) {
  CallLog calls(driver);
  OperationResult result;
  // Untested writes go on when they fail; the panel ends with the first failure's message.
  const std::string* firstFailure = nullptr;
  const auto wrote = [&](std::int32_t status, const std::string& message) {
    if (status != 0 && firstFailure == nullptr) firstFailure = &message;
    return status == 0;
  };
  const std::string& untested = texts.MESSAGE_SET_PARAMETER_FAIL;
  const auto stop = [&](const std::string& message) {
    Finish(result, calls, *firstFailure, kStatusRed);
    result.messages.push_back(message);
    return result;
  };
  const auto byte = [&](const std::optional<std::uint8_t>& setting,
                        std::int32_t (ReaderDriver::*write)(std::uint8_t, std::uint8_t)) {
    if (setting) wrote((calls.*write)(kBus, *setting), untested);
  };

  byte(desired.outputTime, &ReaderDriver::UhfSetWgIntervalTime);
  if (desired.buzzer) wrote(calls.UhfSetBuzzer(kBus, *desired.buzzer != 0 ? 1 : 0), untested);
  byte(desired.readTime, &ReaderDriver::UhfSetTriggerTime);
  if (options.readAlwaysBeforeWorkMode) {
    wrote(calls.UhfSetWorkMode(kBus, ReaderSettings::kWorkModeAlways), untested);
  }
  byte(desired.workMode, &ReaderDriver::UhfSetWorkMode);
  if (link == LinkKind::Usb) byte(desired.wiegandFormat, &ReaderDriver::UhfSetWeigand);
  if (desired.wiegandOutput) {
    const auto record = desired.wiegandOutput->Bytes();
    if (!wrote(calls.UhfSetWgOutByte(kBus, record.data()),
               texts.MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL)) {
      return stop(texts.MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL);
    }
  }
  byte(desired.outputTime, &ReaderDriver::UhfSetWgIntervalTime);

  if (desired.passwordEnabled) {
    const auto password = desired.checkPassword.value_or(std::array<std::uint8_t, 4>{});
    wrote(calls.UhfSetPassword(kBus, *desired.passwordEnabled != 0 ? 1 : 0, password.data()),
          untested);
  }

  if (desired.readerAddress &&
      !wrote(calls.UhfSetAddress(kBus, *desired.readerAddress), texts.MESSAGE_SET_ADDRESS_FAIL)) {
    return stop(texts.MESSAGE_SET_ADDRESS_FAIL);
  }
  byte(desired.tagInterval, &ReaderDriver::UhfSetReadTagIntervalTime);

  // The text the tool shows for a failed write of the region (its key says "Get").
  const std::string& regionWriteFailed = texts.MESSAGE_GET_FREQUENCY_REGION_FAIL;
  if (const auto& plan = desired.frequencyPlan;
      plan && !wrote(calls.UhfSetFrequencyRegion(kBus, plan->form, plan->start, plan->end,
                                                 plan->step, plan->count),
                     regionWriteFailed)) {
    return stop(regionWriteFailed);
  }
  const bool powerKind = desired.readerKind && PowerScaleFor(*desired.readerKind);
  if (desired.outPower && powerKind &&
      !wrote(calls.UhfSetOutPower(kBus, *desired.outPower), texts.MESSAGE_GET_OUTPOWER_FAIL)) {
    return stop(texts.MESSAGE_GET_OUTPOWER_FAIL);
  }

  if (firstFailure != nullptr) {
    Finish(result, calls, *firstFailure, kStatusRed);
  } else {
    Finish(result, calls, texts.MESSAGE_SAVED, std::nullopt);
  }
  return result;
}

namespace {

// The checks of a save, in order; the message of the first that fails, or nothing.
const std::string* SaveRefusal(const DialogContext& ctx) {
  const ControlSurface& surface = ctx.surface;
  const BoundValues& values = ctx.state.values;
  const InterfaceText& texts = ctx.state.texts;
  const std::uint8_t readerKind = ctx.state.readerKind;
  if (values.outputTime < ReaderSettings::kOutputTimeMin ||
      values.outputTime > ReaderSettings::kOutputTimeMax) {
    return &texts.MESSAGE_OUTPUT_TIME_PARAMETER_ERROR;
  }
  if (values.powerValue > ReaderSettings::kPowerValueMax) {
    return &texts.MESSAGE_POWER_PARAMETER_ERROR;
  }
  if (values.readTime < ReaderSettings::kReadTimeMin ||
      values.readTime > ReaderSettings::kReadTimeMax) {
    return &texts.MESSAGE_READ_TIME_PARAMETER_ERROR;
  }
  // A range that ends before it starts, whatever its kind; the ETSI list ends at item 6.
  const int startItem = surface.ComboGetSel(idc::FreqStart);
  const int endItem = surface.ComboGetSel(idc::FreqEnd);
  if (endItem < startItem) return &texts.MESSAGE_FREQ_ERROR;
  if (readerKind != 2 && !surface.GetCheck(idc::Fcc) && endItem > kEtsiList.items - 1) {
    return &texts.MESSAGE_FREQ_ERROR;
  }
  const int startByte = surface.ComboGetSel(idc::StartBytes);
  if (surface.GetCheck(idc::Usb)) {
    if ((surface.GetCheck(idc::Wiegand34) && startByte > LastStartByte(WiegandFrame::W34)) ||
        (surface.GetCheck(idc::Wiegand26) && startByte > LastStartByte(WiegandFrame::W26))) {
      return &texts.MESSAGE_START_BYTES_PARAMETER_ERROR;
    }
  } else if (startByte + surface.ComboGetSel(idc::Length) + 1 > kTagNumberBytes) {
    return &texts.MESSAGE_LENGHT_BYTES_PARAMETER_ERROR;
  }
  // The interval travels as one byte: refuse what it cannot carry rather than send its low bits.
  if (values.tagInterval > ReaderSettings::kTagIntervalByteMax) {
    return &texts.MESSAGE_TAG_INTERVAL_PARAMETER_ERROR;
  }
  // A selector without a selection would send an arbitrary value (item -1): refuse it.
  if (startItem < 0 || endItem < 0) return &texts.MESSAGE_FREQ_ERROR;
  if (PowerScaleFor(readerKind) && surface.ComboGetSel(idc::Power) < 0) {
    return &texts.MESSAGE_POWER_PARAMETER_ERROR;
  }
  return nullptr;
}

// What the controls show, as the configuration a save writes. With the USB link the record is
// fixed by the format; other links write the chosen length from start byte 0.
ReaderConfiguration DesiredFromControls(const DialogContext& ctx, SaveOptions& options) {
  const ControlSurface& surface = ctx.surface;
  const BoundValues& values = ctx.state.values;
  const std::uint8_t readerKind = ctx.state.readerKind;
  ReaderConfiguration desired;
  desired.readerKind = readerKind;
  desired.outputTime = values.outputTime;
  desired.buzzer = surface.GetCheck(idc::Buzzer) ? 1 : 0;
  desired.readTime = values.readTime;
  const bool always = surface.GetCheck(idc::ReadAlways) != 0;
  if (surface.GetCheck(idc::ReadByTrigger)) {
    desired.workMode = ReaderSettings::kWorkModeTrigger;
    options.readAlwaysBeforeWorkMode = always;
  } else if (always) {
    desired.workMode = ReaderSettings::kWorkModeAlways;
  }
  if (surface.GetCheck(idc::Usb)) {
    desired.wiegandFormat =
        surface.GetCheck(idc::Wiegand34) ? ReaderSettings::kWiegand34 : ReaderSettings::kWiegand26;
    desired.wiegandOutput = UsbRecordFor(*desired.wiegandFormat);
  } else {
    desired.wiegandOutput = WiegandOutputRecord{
        1, 0, static_cast<std::uint8_t>(surface.ComboGetSel(idc::Length) + 1), 0};
  }
  if (surface.GetCheck(idc::PasswordYes)) {
    desired.passwordEnabled = 1;
  } else if (surface.GetCheck(idc::PasswordNo)) {
    desired.passwordEnabled = 0;
  }
  desired.checkPassword = PasswordTextToBytes(values.checkPassword);
  desired.readerAddress = values.readerAddress;
  desired.tagInterval = static_cast<std::uint8_t>(values.tagInterval);
  desired.frequencyPlan = PlanFromControls(surface, readerKind);
  if (const auto scale = PowerScaleFor(readerKind)) {
    desired.outPower = static_cast<std::uint8_t>(surface.ComboGetSel(idc::Power) + scale->first);
  }
  return desired;
}

}  // namespace

std::optional<OperationResult> OnSaveChanges(DialogContext& ctx) {
  // Only what a read of this link's reader showed (and the operator then changed) is written.
  if (!ctx.state.controlsFromRead) {
    ctx.ShowMessage(ctx.state.texts.MESSAGE_READ_FIRST);
    return std::nullopt;
  }
  if (!ctx.UpdateData(true)) return std::nullopt;
  ctx.UpdateData(false);
  if (const std::string* refusal = SaveRefusal(ctx)) {
    ctx.ShowMessage(*refusal);
    return std::nullopt;
  }

  SaveOptions options;
  const ReaderConfiguration desired = DesiredFromControls(ctx, options);
  const LinkKind link = ctx.surface.GetCheck(idc::Usb) ? LinkKind::Usb : LinkKind::Serial;
  OperationResult result = SaveConfiguration(ctx.driver, desired, link, ctx.state.texts, options);

  if (!result.messages.empty()) {
    // A tested write failed and stopped the save.
    ShowResultStatus(ctx, result);
    ShowMessages(ctx, result);
    return result;
  }
  if (result.succeeded) {
    ctx.state.values.statusText = result.statusText;
  } else {
    ShowResultStatus(ctx, result);
  }
  ctx.UpdateData(false);
  return result;
}

}  // namespace uhf
