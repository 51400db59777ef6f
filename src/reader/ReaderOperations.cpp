#include "reader/ReaderOperations.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "dialog/ControlIds.h"
#include "reader/FrequencyPlan.h"
#include "reader/ReaderSettings.h"
#include "text/DottedAddress.h"
#include "text/Utf8.h"

namespace uhf {

namespace {

constexpr std::uint8_t kBus = ReaderBusAddress;
constexpr std::int32_t kUsbPort = 100;

// The version text the driver wrote into a zero-filled buffer of `size` bytes: at most
// size - 1 bytes up to the first zero, never ending inside a character. The real buffer is larger
// than `size`, so a driver that writes past the text's room cannot overrun it.
std::string VersionText(const std::array<char, 64>& buffer, std::size_t size) {
  const std::size_t room = std::min(size, buffer.size()) - 1;
  const auto end =
      std::find(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(room), '\0');
  const auto length = static_cast<std::size_t>(end - buffer.begin());
  // One byte past the text is still inside the buffer: Utf8Prefix steps back when the text was
  // cut inside a character.
  return std::string(Utf8Prefix(std::string_view(buffer.data(), length + 1), length));
}

std::string IpText(const ControlSurface& surface, int id) {
  std::array<std::uint8_t, 4> fields{};
  surface.IpGetAddress(id, fields);
  return DottedAddressText(fields);
}

void CheckOneOf(ControlSurface& surface, int checked, int cleared) {
  surface.SetCheck(checked, 1);
  surface.SetCheck(cleared, 0);
}

void CloseLink(DialogContext& ctx) {
  ctx.driver.CloseCom();
  ctx.linkOpen = false;
  ctx.controlsFromRead = false;
}

// Counts the statuses of one operation: whether every call so far returned 0.
class Outcome {
 public:
  bool Ok(std::int32_t status) {
    allOk_ = allOk_ && status == 0;
    return status == 0;
  }
  bool AllOk() const { return allOk_; }

 private:
  bool allOk_ = true;
};

// A link this tool still holds is closed before another is opened: one link at a time.
void CloseHeldLink(DialogContext& ctx, Outcome& outcome) {
  ctx.controlsFromRead = false;
  if (!ctx.linkOpen) return;
  outcome.Ok(ctx.driver.CloseCom());
  ctx.linkOpen = false;
}

// The number edits a read fills. A read leaves one empty when it could not obtain its value.
constexpr int kReadNumberEdits[] = {idc::ReadTime, idc::OutputTime, idc::ReaderAddress,
                                    idc::TagInterval};

// Refreshes the bound values from the controls, as a handler's first step. The number edits a
// read left empty take their bound value for the exchange only, so that a value the reader did
// not give blocks nothing, and are emptied again afterwards.
bool RefreshSettingsKeepingBlanks(DialogContext& ctx) {
  ControlSurface& surface = ctx.surface;
  const BoundValues& values = ctx.values;
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

// The values a read shows, each shown only when this read obtained it.
enum ReadValue : unsigned {
  kBuzzerValue = 1u << 0,
  kWorkModeValue = 1u << 1,
  kReadTimeValue = 1u << 2,
  kOutputTimeValue = 1u << 3,
  kWiegandRecordValue = 1u << 4,
  kWiegandFormatValue = 1u << 5,
  kPasswordValue = 1u << 6,
  kTagIntervalValue = 1u << 7,
  kPowerValue = 1u << 8,
  kVersionValue = 1u << 9,
  kSerialValue = 1u << 10,
  kAddressValue = 1u << 11,
  kPlanValue = 1u << 12,
};

// Ends a read: the values not obtained are shown empty (never what a reader showed before), and
// the panel says whether every call succeeded: green `kStatusReadOk`, else `failure` in red.
// `refresh` is the read's final refresh of the controls; a read that stopped before it shows no
// version and serial number.
void EndRead(DialogContext& ctx, const Outcome& outcome, unsigned obtained, bool refresh,
             std::string_view failure = kStatusReadFailed) {
  ControlSurface& surface = ctx.surface;
  BoundValues& values = ctx.values;
  const auto missing = [&](unsigned value) { return (obtained & value) == 0; };
  if (missing(kPasswordValue)) values.checkPassword.clear();
  if (missing(kVersionValue)) values.versionText.clear();
  if (missing(kSerialValue)) values.serialNumberText.clear();
  const bool green = outcome.AllOk();
  ShowStatus(ctx, green ? kStatusReadOk : failure, green ? kStatusGreen : kStatusRed);
  if (refresh) ctx.UpdateData(false);

  ControlSurface::NotificationHold hold(surface);
  if (!refresh) {
    surface.SetText(idc::VersionLabel, "");
    surface.SetText(idc::SerialNumberLabel, "");
  }
  if (missing(kBuzzerValue)) surface.SetCheck(idc::Buzzer, 0);
  if (missing(kWorkModeValue)) {
    surface.SetCheck(idc::ReadAlways, 0);
    surface.SetCheck(idc::ReadByTrigger, 0);
  }
  if (missing(kReadTimeValue)) surface.SetText(idc::ReadTime, "");
  if (missing(kOutputTimeValue)) surface.SetText(idc::OutputTime, "");
  if (missing(kWiegandRecordValue)) {
    surface.SetCheck(idc::ForwardOutput, 0);
    surface.SetCheck(idc::InvertedOutput, 0);
    surface.ComboReset(idc::StartBytes);
    surface.ComboSetSel(idc::Length, -1);
  }
  if (missing(kWiegandFormatValue)) {
    surface.SetCheck(idc::Wiegand26, 0);
    surface.SetCheck(idc::Wiegand34, 0);
  }
  if (missing(kPasswordValue)) {
    surface.SetCheck(idc::PasswordYes, 0);
    surface.SetCheck(idc::PasswordNo, 0);
    surface.SetText(idc::Password, "");
  }
  if (missing(kTagIntervalValue)) surface.SetText(idc::TagInterval, "");
  if (missing(kPowerValue)) surface.ComboReset(idc::Power);
  if (missing(kAddressValue)) surface.SetText(idc::ReaderAddress, "");
  if (missing(kPlanValue)) {
    surface.SetCheck(idc::Fcc, 0);
    surface.SetCheck(idc::Etsi, 0);
    surface.ComboReset(idc::FreqStart);
    surface.ComboReset(idc::FreqEnd);
  }
  ctx.controlsFromRead = green;
}

// The checks of a save, in order; the message of the first that fails, or nothing.
const std::string* SaveRefusal(DialogContext& ctx) {
  const ControlSurface& surface = ctx.surface;
  const BoundValues& values = ctx.values;
  const InterfaceText& texts = ctx.texts;
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
  if (ctx.readerKind != 2 && !surface.GetCheck(idc::Fcc) && endItem > kEtsiList.items - 1) {
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
  if (PowerScaleFor(ctx.readerKind) && surface.ComboGetSel(idc::Power) < 0) {
    return &texts.MESSAGE_POWER_PARAMETER_ERROR;
  }
  return nullptr;
}

// The record a save writes: fixed by the format with the USB link, the chosen length otherwise.
WiegandOutputRecord RecordToSave(const ControlSurface& surface) {
  if (surface.GetCheck(idc::Usb)) {
    if (surface.GetCheck(idc::Wiegand34)) return {1, 8, 4, 0};
    return {1, 9, 3, 0};
  }
  return {1, 0, static_cast<std::uint8_t>(surface.ComboGetSel(idc::Length) + 1), 0};
}

}  // namespace

void ShowStatus(DialogContext& ctx, std::string_view text, Rgb colour) {
  ctx.values.statusText = std::string(text);
  ctx.surface.SetText(idc::StatusPanel, text);
  ctx.surface.RichSetColor(idc::StatusPanel, 0, static_cast<int>(Utf8Length(text)), colour);
}

void OnConnect(DialogContext& ctx) {
  ControlSurface& surface = ctx.surface;
  ReaderDriver& driver = ctx.driver;
  BoundValues& values = ctx.values;
  const InterfaceText& texts = ctx.texts;

  // A link input the refresh refuses (a message was shown) stops the read before any call.
  if (!RefreshSettingsKeepingBlanks(ctx)) return;
  Outcome outcome;
  // A real port refuses to open twice.
  CloseHeldLink(ctx, outcome);

  const std::int32_t baud = BaudRateForItem(surface.ComboGetSel(idc::ConnBaud));
  const std::int32_t port = SerialPortNumber(surface.GetText(idc::ComPort));

  std::int32_t status;
  if (surface.GetCheck(idc::TcpUdp)) {
    ctx.UpdateData(true);
    const std::string hostIp = IpText(surface, idc::HostIp);
    const std::string readerIp = IpText(surface, idc::ReaderIp);
    status = driver.Net_Connect(hostIp.c_str(), static_cast<std::int32_t>(values.hostPort),
                                readerIp.c_str(), static_cast<std::int32_t>(values.readerPort));
  } else {
    status = driver.OpenCom(surface.GetCheck(idc::Usb) ? kUsbPort : port, baud);
  }
  if (!outcome.Ok(status)) {
    EndRead(ctx, outcome, 0, false, kStatusConnectFailed);
    return;
  }
  ctx.linkOpen = true;

  std::uint8_t extra = 0;
  if (!outcome.Ok(driver.Handshake(kBus, 1, &ctx.readerKind, &extra))) {
    CloseLink(ctx);
    EndRead(ctx, outcome, 0, false, kStatusConfigFailed);
    return;
  }
  ShowStatus(ctx, kStatusReadOk, kStatusGreen);

  // Every value is shown only when the call that gave it returned 0; the others are emptied
  // when the read ends. A failure of the three tested reads stops the read.
  unsigned obtained = 0;
  const auto got = [&](std::int32_t callStatus, unsigned value) {
    if (outcome.Ok(callStatus)) obtained |= value;
    return callStatus == 0;
  };
  const auto stop = [&](const std::string& message) {
    EndRead(ctx, outcome, obtained, false);
    ctx.ShowMessage(message);
  };

  std::uint8_t buzzer = 0;
  got(driver.UhfGetBuzzer(kBus, &buzzer), kBuzzerValue);
  surface.SetCheck(idc::Buzzer, buzzer != 0 ? 1 : 0);

  std::uint8_t workMode = 0;
  got(driver.UhfGetWorkMode(kBus, &workMode), kWorkModeValue);
  if (workMode == ReaderSettings::kWorkModeTrigger) {
    CheckOneOf(surface, idc::ReadByTrigger, idc::ReadAlways);
  } else {
    CheckOneOf(surface, idc::ReadAlways, idc::ReadByTrigger);
  }

  got(driver.UhfGetTriggerTime(kBus, &values.readTime), kReadTimeValue);
  got(driver.UhfGetWgIntervalTime(kBus, &values.outputTime), kOutputTimeValue);
  ctx.UpdateData(false);

  std::array<std::uint8_t, 4> recordBytes{};
  if (!got(driver.UhfGetWgOutByte(kBus, recordBytes.data()), kWiegandRecordValue)) {
    return stop(texts.MESSAGE_GET_WIEGAND_OUTPUT_SETTINGS_FAIL);
  }
  const WiegandOutputRecord record = WiegandOutputRecord::FromBytes(recordBytes);
  if (record.inverted == 0) {
    CheckOneOf(surface, idc::ForwardOutput, idc::InvertedOutput);
  } else {
    CheckOneOf(surface, idc::InvertedOutput, idc::ForwardOutput);
  }
  surface.ComboReset(idc::StartBytes);
  for (int i = 0; i < ReaderSettings::kStartByteItems; ++i) {
    surface.ComboAdd(idc::StartBytes, std::to_string(i));
  }
  surface.ComboSetSel(idc::StartBytes, record.startByte);

  if (surface.GetCheck(idc::Usb)) {
    // A format that is neither 26 nor 34 checks neither.
    std::uint8_t format = 0;
    const bool formatRead = got(driver.UhfGetWeigand(kBus, &format), 0);
    if (formatRead && format == ReaderSettings::kWiegand26) {
      CheckOneOf(surface, idc::Wiegand26, idc::Wiegand34);
      obtained |= kWiegandFormatValue;
    } else if (formatRead && format == ReaderSettings::kWiegand34) {
      CheckOneOf(surface, idc::Wiegand34, idc::Wiegand26);
      obtained |= kWiegandFormatValue;
    }
  } else {
    surface.ComboSetSel(idc::Length, static_cast<int>(record.length) - 1);
    surface.SetCheck(idc::Wiegand26, 0);
    surface.SetCheck(idc::Wiegand34, 0);
  }

  std::uint8_t passwordEnabled = 0;
  std::array<std::uint8_t, 4> password{};
  got(driver.UhfGetPassword(kBus, &passwordEnabled, password.data()), kPasswordValue);
  if (passwordEnabled != 0) {
    CheckOneOf(surface, idc::PasswordYes, idc::PasswordNo);
  } else {
    CheckOneOf(surface, idc::PasswordNo, idc::PasswordYes);
  }
  values.checkPassword = PasswordBytesToText(password);
  surface.SetText(idc::Password, values.checkPassword);

  // Writing the edit runs the dialog's saving exchange, so tagInterval takes the value and keeps
  // it through the final refresh.
  std::uint8_t tagInterval = 0;
  got(driver.UhfGetReadTagIntervalTime(kBus, &tagInterval), kTagIntervalValue);
  surface.SetText(idc::TagInterval, std::to_string(tagInterval));

  std::uint8_t power = 0;
  if (!got(driver.UhfGetOutPower(kBus, &power), 0)) {
    return stop(texts.MESSAGE_GET_OUTPOWER_FAIL);
  }
  ShowPowerLevel(surface, ctx.readerKind, power);
  // A kind without a power list shows no power rather than another reader's.
  if (PowerScaleFor(ctx.readerKind)) obtained |= kPowerValue;

  std::array<char, 64> version{};
  got(driver.Get_Version(kBus, version.data()), kVersionValue);
  values.versionText = VersionText(version, 50);

  std::array<std::uint8_t, 50> serial{};
  if (got(driver.Get_SerNum(kBus, serial.data()), kSerialValue)) {
    values.serialNumberText =
        SerialNumberText(std::span<const std::uint8_t, 12>(serial.data(), 12));
  }

  std::uint8_t address = 0;
  if (!got(driver.UhfGetAddress(kBus, &address), kAddressValue)) {
    return stop(texts.MESSAGE_GET_ADDRESS_FAIL);
  }
  values.readerAddress = address;

  FrequencyPlan plan;
  got(driver.UhfGetFrequencyRegion(kBus, &plan.form, &plan.start, &plan.end, &plan.step,
                                   &plan.count),
      kPlanValue);
  ShowFrequencyPlan(surface, ctx.readerKind, plan);

  EndRead(ctx, outcome, obtained, true);
}

void OnSaveChanges(DialogContext& ctx) {
  ControlSurface& surface = ctx.surface;
  ReaderDriver& driver = ctx.driver;
  const BoundValues& values = ctx.values;
  const InterfaceText& texts = ctx.texts;

  // Only what a read of this link's reader showed (and the operator then changed) is written.
  if (!ctx.controlsFromRead) {
    ctx.ShowMessage(texts.MESSAGE_READ_FIRST);
    return;
  }
  if (!ctx.UpdateData(true)) return;
  ctx.UpdateData(false);

  if (const std::string* refusal = SaveRefusal(ctx)) {
    ctx.ShowMessage(*refusal);
    return;
  }

  // Untested writes go on when they fail; the panel ends with the first failure's message.
  const std::string* firstFailure = nullptr;
  const auto wrote = [&](std::int32_t status, const std::string& message) {
    if (status != 0 && firstFailure == nullptr) firstFailure = &message;
    return status == 0;
  };
  const std::string& untested = texts.MESSAGE_SET_PARAMETER_FAIL;
  const auto stop = [&](const std::string& message) {
    ShowStatus(ctx, *firstFailure, kStatusRed);
    ctx.ShowMessage(message);
  };

  const bool usb = surface.GetCheck(idc::Usb) != 0;
  wrote(driver.UhfSetWgIntervalTime(kBus, values.outputTime), untested);
  wrote(driver.UhfSetBuzzer(kBus, surface.GetCheck(idc::Buzzer) ? 1 : 0), untested);
  wrote(driver.UhfSetTriggerTime(kBus, values.readTime), untested);
  if (surface.GetCheck(idc::ReadAlways)) {
    wrote(driver.UhfSetWorkMode(kBus, ReaderSettings::kWorkModeAlways), untested);
  }
  if (surface.GetCheck(idc::ReadByTrigger)) {
    wrote(driver.UhfSetWorkMode(kBus, ReaderSettings::kWorkModeTrigger), untested);
  }
  if (usb) {
    wrote(driver.UhfSetWeigand(kBus, surface.GetCheck(idc::Wiegand34) ? ReaderSettings::kWiegand34
                                                                      : ReaderSettings::kWiegand26),
          untested);
  }
  const auto record = RecordToSave(surface).Bytes();
  if (!wrote(driver.UhfSetWgOutByte(kBus, record.data()),
             texts.MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL)) {
    return stop(texts.MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL);
  }
  wrote(driver.UhfSetWgIntervalTime(kBus, values.outputTime), untested);

  const auto password = PasswordTextToBytes(values.checkPassword);
  if (surface.GetCheck(idc::PasswordYes)) {
    wrote(driver.UhfSetPassword(kBus, 1, password.data()), untested);
  } else if (surface.GetCheck(idc::PasswordNo)) {
    wrote(driver.UhfSetPassword(kBus, 0, password.data()), untested);
  }

  if (!wrote(driver.UhfSetAddress(kBus, values.readerAddress), texts.MESSAGE_SET_ADDRESS_FAIL)) {
    return stop(texts.MESSAGE_SET_ADDRESS_FAIL);
  }
  wrote(driver.UhfSetReadTagIntervalTime(kBus, static_cast<std::uint8_t>(values.tagInterval)),
        untested);

  const int powerItem = surface.ComboGetSel(idc::Power);
  // The text the tool shows for a failed write of the region (its key says "Get").
  const std::string& regionWriteFailed = texts.MESSAGE_GET_FREQUENCY_REGION_FAIL;
  std::int32_t powerStatus = 0;
  if (ctx.readerKind == 2) {
    const FrequencyPlan plan = PlanFromControls(surface, ctx.readerKind);
    if (!wrote(driver.UhfSetFrequencyRegion(kBus, plan.form, plan.start, plan.end, plan.step,
                                            plan.count),
               regionWriteFailed)) {
      return stop(regionWriteFailed);
    }
    powerStatus = driver.UhfSetOutPower(kBus, static_cast<std::uint8_t>(powerItem));
  } else {
    const FrequencyPlan plan = PlanFromControls(surface, ctx.readerKind);
    if (!wrote(driver.UhfSetFrequencyRegion(kBus, plan.form, plan.start, plan.end, plan.step,
                                            plan.count),
               regionWriteFailed)) {
      return stop(regionWriteFailed);
    }
    if (const auto scale = PowerScaleFor(ctx.readerKind)) {
      powerStatus =
          driver.UhfSetOutPower(kBus, static_cast<std::uint8_t>(powerItem + scale->first));
    }
  }
  if (!wrote(powerStatus, texts.MESSAGE_GET_OUTPOWER_FAIL)) {
    return stop(texts.MESSAGE_GET_OUTPOWER_FAIL);
  }

  if (firstFailure != nullptr) {
    ShowStatus(ctx, *firstFailure, kStatusRed);
  } else {
    ctx.values.statusText = texts.MESSAGE_SAVED;
  }
  ctx.UpdateData(false);
}

namespace {

// Ends the exchange and closes the link; whether both calls returned 0.
bool Disconnect(DialogContext& ctx) {
  std::uint8_t extra = 0;
  const bool ended = ctx.driver.Handshake(kBus, 0, &ctx.readerKind, &extra) == 0;
  ctx.linkOpen = false;
  ctx.controlsFromRead = false;
  const bool closed = ctx.driver.CloseCom() == 0;
  ctx.values.statusText = ctx.texts.MESSAGE_DISCONNECTED;
  ctx.surface.SetText(idc::StatusPanel, ctx.values.statusText);
  return ended && closed;
}

}  // namespace

void OnDisconnect(DialogContext& ctx) {
  Disconnect(ctx);
}

void OnFactoryDefault(DialogContext& ctx) {
  ReaderDriver& driver = ctx.driver;
  Outcome outcome;
  CloseHeldLink(ctx, outcome);

  if (!outcome.Ok(driver.OpenCom(kUsbPort, 0))) {
    ShowStatus(ctx, kStatusConnectFailed, kStatusRed);
    return;
  }
  ctx.linkOpen = true;
  std::uint8_t extra = 0;
  if (!outcome.Ok(driver.Handshake(kBus, 1, &ctx.readerKind, &extra))) {
    ShowStatus(ctx, kStatusConfigFailed, kStatusRed);
    return;
  }
  // Nothing below uses the values: a refused one does not stop the reset.
  RefreshSettingsKeepingBlanks(ctx);

  // Every default that can be written is written; a failed one turns the end red.
  const auto stop = [&](const std::string& message) {
    ShowStatus(ctx, kStatusSetFailed, kStatusRed);
    ctx.ShowMessage(message);
  };
  outcome.Ok(driver.UhfFactoryDefault(kBus));
  outcome.Ok(driver.UhfSetAddress(kBus, kFactoryAddress));
  outcome.Ok(driver.UhfSetWgIntervalTime(kBus, kFactoryOutputTime));
  outcome.Ok(driver.UhfSetTriggerTime(kBus, kFactoryReadTime));
  outcome.Ok(driver.UhfSetWeigand(kBus, ReaderSettings::kWiegand26));
  const auto record = WiegandOutputRecord{1, 9, 3, 0}.Bytes();
  if (!outcome.Ok(driver.UhfSetWgOutByte(kBus, record.data()))) {
    return stop(ctx.texts.MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL);
  }
  std::array<std::uint8_t, 4> password;
  password.fill(kFactoryPasswordByte);
  outcome.Ok(driver.UhfSetPassword(kBus, 1, password.data()));
  outcome.Ok(driver.UhfSetWorkMode(kBus, ReaderSettings::kWorkModeAlways));

  std::int32_t powerStatus = 0;
  switch (ctx.readerKind) {
    case 0:
    case 1: {
      // Without the current plan the band is unknown: no plan is written, and the reset cannot
      // end green.
      FrequencyPlan current;
      if (outcome.Ok(driver.UhfGetFrequencyRegion(kBus, &current.form, &current.start, &current.end,
                                                  &current.step, &current.count))) {
        const FrequencyPlan plan = FactoryPlan(ctx.readerKind, current.start);
        outcome.Ok(driver.UhfSetFrequencyRegionB(kBus, plan.form, plan.start, plan.end, plan.step,
                                                 plan.count));
      }
      powerStatus = driver.UhfSetOutPower(kBus, ctx.readerKind == 0 ? 33 : 26);
      break;
    }
    case 2: {
      const FrequencyPlan plan = FactoryPlan(2, 0);
      outcome.Ok(driver.UhfSetFrequencyRegion(kBus, plan.form, plan.start, plan.end, plan.step,
                                              plan.count));
      powerStatus = driver.UhfSetOutPower(kBus, 63);
      break;
    }
    default:
      break;
  }
  if (!outcome.Ok(powerStatus)) {
    return stop(ctx.texts.MESSAGE_FACTORY_DEFAULT_FAIL);
  }

  const bool disconnected = Disconnect(ctx);
  if (outcome.AllOk() && disconnected) {
    ShowStatus(ctx, kStatusSetOk, kStatusGreen);
  } else {
    ShowStatus(ctx, kStatusSetFailed, kStatusRed);
  }
}

void OnSetAddress(DialogContext& ctx) {
  // A refused address (a message was shown) is not written.
  if (!ctx.UpdateData(true)) return;
  if (ctx.driver.UhfSetAddress(kBus, ctx.values.readerAddress) != 0) {
    ctx.ShowMessage(ctx.texts.MESSAGE_SET_ADDRESS_FAIL);
    return;
  }
  ctx.UpdateData(false);
}

void OnGetAddress(DialogContext& ctx) {
  if (!ctx.UpdateData(true)) return;
  std::array<char, 64> version{};
  const bool versionRead = ctx.driver.Get_Version(kBus, version.data()) == 0;
  ctx.values.versionText = versionRead ? VersionText(version, 30) : std::string();
  std::uint8_t address = 0;
  if (ctx.driver.UhfGetAddress(kBus, &address) != 0) {
    ctx.ShowMessage(ctx.texts.MESSAGE_GET_ADDRESS_FAIL);
    return;
  }
  ctx.values.readerAddress = address;
  ctx.UpdateData(false);
}

}  // namespace uhf
