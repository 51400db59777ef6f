// Reading the whole configuration, and the read button that shows it.

#include <array>
#include <span>
#include <string>

#include "dialog/ControlIds.h"
#include "reader/OperationSupport.h"
#include "reader/ReaderOperations.h"
#include "text/DottedAddress.h"

namespace uhf {

ConfigurationRead ReadConfiguration(ReaderDriver& driver, const Link& link, LinkState& state,
                                    const InterfaceText& texts) {
  CallLog calls(driver);
  ConfigurationRead read;
  ReaderConfiguration& config = read.configuration;
  OperationResult& result = read.result;
  // The panel ends green when every call returned 0, else in red with `failure`.
  const auto end = [&](std::string_view failure = kStatusReadFailed) {
    const bool green = calls.AllSucceeded();
    Finish(result, calls, green ? kStatusReadOk : failure, green ? kStatusGreen : kStatusRed);
    return read;
  };
  const auto stop = [&](const std::string& message) {
    result.messages.push_back(message);
    return end();
  };

  // A real port refuses to open twice.
  CloseHeldLink(calls, state);
  const std::int32_t opened =
      link.kind == LinkKind::Network
          ? calls.Net_Connect(link.hostIp.c_str(), link.hostPort, link.readerIp.c_str(),
                              link.readerPort)
          : calls.OpenCom(link.kind == LinkKind::Usb ? kUsbPort : link.port, link.baud);
  if (opened != 0) return end(kStatusConnectFailed);
  state.open = true;

  std::uint8_t extra = 0;
  if (calls.Handshake(kBus, 1, &state.readerKind, &extra) != 0) {
    calls.CloseCom();
    state.open = false;
    return end(kStatusConfigFailed);
  }
  config.readerKind = state.readerKind;
  result.connected = true;

  // Each setting is kept only when the call that gives it returned 0.
  // (`value` by reference: it is read after the call that writes it.)
  const auto byte = [](std::optional<std::uint8_t>& setting, std::int32_t status,
                       const std::uint8_t& value) {
    if (status == 0) setting = value;
    return status == 0;
  };
  std::uint8_t value = 0;
  byte(config.buzzer, calls.UhfGetBuzzer(kBus, &value), value);
  value = 0;
  byte(config.workMode, calls.UhfGetWorkMode(kBus, &value), value);
  value = 0;
  byte(config.readTime, calls.UhfGetTriggerTime(kBus, &value), value);
  value = 0;
  byte(config.outputTime, calls.UhfGetWgIntervalTime(kBus, &value), value);

  std::array<std::uint8_t, 4> recordBytes{};
  if (calls.UhfGetWgOutByte(kBus, recordBytes.data()) != 0) {
    return stop(texts.MESSAGE_GET_WIEGAND_OUTPUT_SETTINGS_FAIL);
  }
  config.wiegandOutput = WiegandOutputRecord::FromBytes(recordBytes);

  // The format is asked only over the USB link.
  if (link.kind == LinkKind::Usb) {
    value = 0;
    byte(config.wiegandFormat, calls.UhfGetWeigand(kBus, &value), value);
  }

  std::uint8_t passwordEnabled = 0;
  std::array<std::uint8_t, 4> password{};
  if (calls.UhfGetPassword(kBus, &passwordEnabled, password.data()) == 0) {
    config.passwordEnabled = passwordEnabled;
    config.checkPassword = password;
  }

  value = 0;
  byte(config.tagInterval, calls.UhfGetReadTagIntervalTime(kBus, &value), value);

  value = 0;
  if (!byte(config.outPower, calls.UhfGetOutPower(kBus, &value), value)) {
    return stop(texts.MESSAGE_GET_OUTPOWER_FAIL);
  }

  std::array<char, 64> version{};
  if (calls.Get_Version(kBus, version.data()) == 0) config.versionText = VersionText(version, 50);

  std::array<std::uint8_t, 50> serial{};
  if (calls.Get_SerNum(kBus, serial.data()) == 0) {
    config.serialNumberText =
        SerialNumberText(std::span<const std::uint8_t, 12>(serial.data(), 12));
  }

  value = 0;
  if (!byte(config.readerAddress, calls.UhfGetAddress(kBus, &value), value)) {
    return stop(texts.MESSAGE_GET_ADDRESS_FAIL);
  }

  FrequencyPlan plan;
  if (calls.UhfGetFrequencyRegion(kBus, &plan.form, &plan.start, &plan.end, &plan.step,
                                  &plan.count) == 0) {
    config.frequencyPlan = plan;
  }
  return end();
}

namespace {

std::string IpText(const ControlSurface& surface, int id) {
  std::array<std::uint8_t, 4> fields{};
  surface.IpGetAddress(id, fields);
  return DottedAddressText(fields);
}

}  // namespace

Link LinkFromControls(DialogContext& ctx) {
  const ControlSurface& surface = ctx.surface;
  Link link;
  link.baud = BaudRateForItem(surface.ComboGetSel(idc::ConnBaud));
  link.port = SerialPortNumber(surface.GetText(idc::ComPort));
  if (surface.GetCheck(idc::TcpUdp)) {
    ctx.UpdateData(true);
    link.kind = LinkKind::Network;
    link.hostIp = IpText(surface, idc::HostIp);
    link.readerIp = IpText(surface, idc::ReaderIp);
    link.hostPort = static_cast<std::int32_t>(ctx.state.values.hostPort);
    link.readerPort = static_cast<std::int32_t>(ctx.state.values.readerPort);
  } else {
    link.kind = surface.GetCheck(idc::Usb) ? LinkKind::Usb : LinkKind::Serial;
  }
  return link;
}

namespace {

// The settings a read shows, each shown only when the read obtained it.
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

bool ShownFormat(const std::optional<std::uint8_t>& format) {
  return format == ReaderSettings::kWiegand26 || format == ReaderSettings::kWiegand34;
}

unsigned ShownValues(const ReaderConfiguration& c) {
  unsigned shown = 0;
  const auto mark = [&shown](bool obtained, unsigned value) {
    if (obtained) shown |= value;
  };
  mark(c.buzzer.has_value(), kBuzzerValue);
  mark(c.workMode.has_value(), kWorkModeValue);
  mark(c.readTime.has_value(), kReadTimeValue);
  mark(c.outputTime.has_value(), kOutputTimeValue);
  mark(c.wiegandOutput.has_value(), kWiegandRecordValue);
  // A format that is neither 26 nor 34 checks neither radio.
  mark(ShownFormat(c.wiegandFormat), kWiegandFormatValue);
  mark(c.checkPassword.has_value(), kPasswordValue);
  mark(c.tagInterval.has_value(), kTagIntervalValue);
  // A kind without a power list shows no power rather than another reader's.
  mark(c.outPower && c.readerKind && PowerScaleFor(*c.readerKind), kPowerValue);
  mark(c.versionText.has_value(), kVersionValue);
  mark(c.serialNumberText.has_value(), kSerialValue);
  mark(c.readerAddress.has_value(), kAddressValue);
  mark(c.frequencyPlan.has_value(), kPlanValue);
  return shown;
}

// Ends showing a read: the values not obtained are shown empty (never what a reader showed
// before), and the panel shows the result's status. `refresh` is the read's final refresh of the
// controls; a read that stopped before it shows no version and serial number.
void EndRead(DialogContext& ctx, const OperationResult& result, unsigned obtained, bool refresh) {
  ControlSurface& surface = ctx.surface;
  BoundValues& values = ctx.state.values;
  const auto missing = [&](unsigned value) { return (obtained & value) == 0; };
  if (missing(kPasswordValue)) values.checkPassword.clear();
  if (missing(kVersionValue)) values.versionText.clear();
  if (missing(kSerialValue)) values.serialNumberText.clear();
  ShowResultStatus(ctx, result);
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
  ctx.state.controlsFromRead = result.succeeded;
}

// Shows a read on the controls, setting by setting in the read's order; a read that stopped shows
// what it obtained before the stop, then its message.
void ShowConfiguration(DialogContext& ctx, const ConfigurationRead& read, bool usb) {
  ControlSurface& surface = ctx.surface;
  BoundValues& values = ctx.state.values;
  const ReaderConfiguration& c = read.configuration;
  const OperationResult& result = read.result;
  const unsigned obtained = ShownValues(c);
  const auto stop = [&] {
    EndRead(ctx, result, obtained, false);
    ShowMessages(ctx, result);
  };
  if (!result.connected) return EndRead(ctx, result, 0, false);
  ShowStatus(ctx, kStatusReadOk, kStatusGreen);

  surface.SetCheck(idc::Buzzer, c.buzzer.value_or(0) != 0 ? 1 : 0);
  if (c.workMode.value_or(0) == ReaderSettings::kWorkModeTrigger) {
    CheckOneOf(surface, idc::ReadByTrigger, idc::ReadAlways);
  } else {
    CheckOneOf(surface, idc::ReadAlways, idc::ReadByTrigger);
  }
  if (c.readTime) values.readTime = *c.readTime;
  if (c.outputTime) values.outputTime = *c.outputTime;
  ctx.UpdateData(false);

  if (!c.wiegandOutput) return stop();
  const WiegandOutputRecord& record = *c.wiegandOutput;
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

  if (usb) {
    if (c.wiegandFormat == ReaderSettings::kWiegand26) {
      CheckOneOf(surface, idc::Wiegand26, idc::Wiegand34);
    } else if (c.wiegandFormat == ReaderSettings::kWiegand34) {
      CheckOneOf(surface, idc::Wiegand34, idc::Wiegand26);
    }
  } else {
    surface.ComboSetSel(idc::Length, static_cast<int>(record.length) - 1);
    surface.SetCheck(idc::Wiegand26, 0);
    surface.SetCheck(idc::Wiegand34, 0);
  }

  if (c.passwordEnabled.value_or(0) != 0) {
    CheckOneOf(surface, idc::PasswordYes, idc::PasswordNo);
  } else {
    CheckOneOf(surface, idc::PasswordNo, idc::PasswordYes);
  }
  values.checkPassword =
      PasswordBytesToText(c.checkPassword.value_or(std::array<std::uint8_t, 4>{}));
  surface.SetText(idc::Password, values.checkPassword);

  // Writing the edit runs the dialog's saving exchange, so tagInterval takes the value and keeps
  // it through the final refresh.
  surface.SetText(idc::TagInterval, std::to_string(c.tagInterval.value_or(0)));

  if (!c.outPower) return stop();
  ShowPowerLevel(surface, ctx.state.readerKind, *c.outPower);

  values.versionText = c.versionText.value_or(std::string());
  if (c.serialNumberText) values.serialNumberText = *c.serialNumberText;

  if (!c.readerAddress) return stop();
  values.readerAddress = *c.readerAddress;

  ShowFrequencyPlan(surface, ctx.state.readerKind, c.frequencyPlan.value_or(FrequencyPlan{}));
  EndRead(ctx, result, obtained, true);
}

}  // namespace

std::optional<ConfigurationRead> OnConnect(DialogContext& ctx) {
  // A link input the refresh refuses (a message was shown) stops the read before any call.
  if (!RefreshSettingsKeepingBlanks(ctx)) return std::nullopt;
  const Link link = LinkFromControls(ctx);
  // Whatever happens to the link, the controls no longer show a read of the reader behind it.
  ctx.state.controlsFromRead = false;
  LinkState state = LinkStateOf(ctx.state);
  ConfigurationRead read = ReadConfiguration(ctx.driver, link, state, ctx.state.texts);
  KeepLinkState(ctx.state, state);
  ShowConfiguration(ctx, read, link.kind == LinkKind::Usb);
  return read;
}

}  // namespace uhf
