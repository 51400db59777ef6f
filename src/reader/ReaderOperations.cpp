#include "reader/ReaderOperations.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "dialog/ControlIds.h"
#include "reader/FrequencyPlan.h"
#include "reader/ReaderSettings.h"
#include "text/Utf8.h"

namespace uhf {

namespace {

constexpr std::uint8_t kBus = ReaderBusAddress;
constexpr std::int32_t kUsbPort = 100;

// The version text the driver writes into a zero-filled buffer of `size` bytes: at most size - 1
// bytes up to the first zero, never ending inside a character. The real buffer is larger than
// `size`, so a driver that writes past the text's room cannot overrun it.
std::string ReadVersion(ReaderDriver& driver, std::size_t size) {
  std::array<char, 64> buffer{};
  driver.Get_Version(kBus, buffer.data());
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
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", fields[0], fields[1], fields[2], fields[3]);
  return text;
}

void CheckOneOf(ControlSurface& surface, int checked, int cleared) {
  surface.SetCheck(checked, 1);
  surface.SetCheck(cleared, 0);
}

void CloseLink(DialogContext& ctx) {
  ctx.driver.CloseCom();
  ctx.linkOpen = false;
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
  const int startItem = surface.ComboGetSel(idc::FreqStart);
  const int endItem = surface.ComboGetSel(idc::FreqEnd);
  if (ctx.readerKind != 2 && endItem < startItem) return &texts.MESSAGE_FREQ_ERROR;
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

  // A real driver may refuse to open a port that is still open.
  if (ctx.linkOpen) CloseLink(ctx);

  ctx.UpdateData(true);
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
  if (status != 0) {
    ShowStatus(ctx, kStatusConnectFailed, kStatusRed);
    return;
  }
  ctx.linkOpen = true;

  std::uint8_t extra = 0;
  if (driver.Handshake(kBus, 1, &ctx.readerKind, &extra) != 0) {
    ShowStatus(ctx, kStatusConfigFailed, kStatusRed);
    CloseLink(ctx);
    return;
  }
  ShowStatus(ctx, kStatusReadOk, kStatusGreen);

  // Statuses of the reads below are looked at only where a failure stops the read; the others
  // leave their zero-initialised output as it comes back.
  std::uint8_t buzzer = 0;
  driver.UhfGetBuzzer(kBus, &buzzer);
  surface.SetCheck(idc::Buzzer, buzzer != 0 ? 1 : 0);

  std::uint8_t workMode = 0;
  driver.UhfGetWorkMode(kBus, &workMode);
  if (workMode == ReaderSettings::kWorkModeTrigger) {
    CheckOneOf(surface, idc::ReadByTrigger, idc::ReadAlways);
  } else {
    CheckOneOf(surface, idc::ReadAlways, idc::ReadByTrigger);
  }

  driver.UhfGetTriggerTime(kBus, &values.readTime);
  driver.UhfGetWgIntervalTime(kBus, &values.outputTime);
  ctx.UpdateData(false);

  std::array<std::uint8_t, 4> recordBytes{};
  if (driver.UhfGetWgOutByte(kBus, recordBytes.data()) != 0) {
    ctx.ShowMessage(ctx.texts.MESSAGE_GET_WIEGAND_OUTPUT_SETTINGS_FAIL);
    return;
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
    std::uint8_t format = 0;
    driver.UhfGetWeigand(kBus, &format);
    if (format == ReaderSettings::kWiegand26) {
      CheckOneOf(surface, idc::Wiegand26, idc::Wiegand34);
    } else if (format == ReaderSettings::kWiegand34) {
      CheckOneOf(surface, idc::Wiegand34, idc::Wiegand26);
    }
  } else {
    surface.ComboSetSel(idc::Length, static_cast<int>(record.length) - 1);
    surface.SetCheck(idc::Wiegand26, 0);
    surface.SetCheck(idc::Wiegand34, 0);
  }

  std::uint8_t passwordEnabled = 0;
  std::array<std::uint8_t, 4> password{};
  driver.UhfGetPassword(kBus, &passwordEnabled, password.data());
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
  driver.UhfGetReadTagIntervalTime(kBus, &tagInterval);
  surface.SetText(idc::TagInterval, std::to_string(tagInterval));

  std::uint8_t power = 0;
  if (driver.UhfGetOutPower(kBus, &power) != 0) {
    ctx.ShowMessage(ctx.texts.MESSAGE_GET_OUTPOWER_FAIL);
    return;
  }
  ShowPowerLevel(surface, ctx.readerKind, power);

  values.versionText = ReadVersion(driver, 50);

  std::array<std::uint8_t, 50> serial{};
  if (driver.Get_SerNum(kBus, serial.data()) == 0) {
    values.serialNumberText =
        SerialNumberText(std::span<const std::uint8_t, 12>(serial.data(), 12));
  }

  std::uint8_t address = 0;
  if (driver.UhfGetAddress(kBus, &address) != 0) {
    ctx.ShowMessage(ctx.texts.MESSAGE_GET_ADDRESS_FAIL);
    return;
  }
  values.readerAddress = address;

  FrequencyPlan plan;
  driver.UhfGetFrequencyRegion(kBus, &plan.form, &plan.start, &plan.end, &plan.step, &plan.count);
  ShowFrequencyPlan(surface, ctx.readerKind, plan);

  ctx.UpdateData(false);
}

void OnSaveChanges(DialogContext& ctx) {
  ControlSurface& surface = ctx.surface;
  ReaderDriver& driver = ctx.driver;
  const BoundValues& values = ctx.values;
  const InterfaceText& texts = ctx.texts;

  ctx.UpdateData(true);
  ctx.UpdateData(false);

  if (const std::string* refusal = SaveRefusal(ctx)) {
    ctx.ShowMessage(*refusal);
    return;
  }

  const bool usb = surface.GetCheck(idc::Usb) != 0;
  driver.UhfSetWgIntervalTime(kBus, values.outputTime);
  driver.UhfSetBuzzer(kBus, surface.GetCheck(idc::Buzzer) ? 1 : 0);
  driver.UhfSetTriggerTime(kBus, values.readTime);
  if (surface.GetCheck(idc::ReadAlways))
    driver.UhfSetWorkMode(kBus, ReaderSettings::kWorkModeAlways);
  if (surface.GetCheck(idc::ReadByTrigger)) {
    driver.UhfSetWorkMode(kBus, ReaderSettings::kWorkModeTrigger);
  }
  if (usb) {
    driver.UhfSetWeigand(kBus, surface.GetCheck(idc::Wiegand34) ? ReaderSettings::kWiegand34
                                                                : ReaderSettings::kWiegand26);
  }
  const auto record = RecordToSave(surface).Bytes();
  if (driver.UhfSetWgOutByte(kBus, record.data()) != 0) {
    ctx.ShowMessage(texts.MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL);
    return;
  }
  driver.UhfSetWgIntervalTime(kBus, values.outputTime);

  const auto password = PasswordTextToBytes(values.checkPassword);
  if (surface.GetCheck(idc::PasswordYes)) {
    driver.UhfSetPassword(kBus, 1, password.data());
  } else if (surface.GetCheck(idc::PasswordNo)) {
    driver.UhfSetPassword(kBus, 0, password.data());
  }

  if (driver.UhfSetAddress(kBus, values.readerAddress) != 0) {
    ctx.ShowMessage(texts.MESSAGE_SET_ADDRESS_FAIL);
    return;
  }
  driver.UhfSetReadTagIntervalTime(kBus, static_cast<std::uint8_t>(values.tagInterval));

  // The text the tool shows for a failed write of the region (its key says "Get").
  const std::string& regionWriteFailed = texts.MESSAGE_GET_FREQUENCY_REGION_FAIL;
  const int startItem = surface.ComboGetSel(idc::FreqStart);
  const int endItem = surface.ComboGetSel(idc::FreqEnd);
  const int powerItem = surface.ComboGetSel(idc::Power);
  std::int32_t powerStatus = 0;
  if (ctx.readerKind == 2) {
    const FrequencyPlan plan = PlanFromControls(surface, ctx.readerKind);
    if (driver.UhfSetFrequencyRegion(kBus, plan.form, plan.start, plan.end, plan.step,
                                     plan.count) != 0) {
      ctx.ShowMessage(regionWriteFailed);
      return;
    }
    powerStatus = driver.UhfSetOutPower(kBus, static_cast<std::uint8_t>(powerItem));
  } else {
    if (endItem < startItem) {
      ctx.ShowMessage(texts.MESSAGE_FREQ_ERROR);
      return;
    }
    if (!surface.GetCheck(idc::Fcc) && endItem > kEtsiList.items - 1) {
      ctx.ShowMessage(texts.MESSAGE_FREQ_ERROR);
      return;
    }
    const FrequencyPlan plan = PlanFromControls(surface, ctx.readerKind);
    if (driver.UhfSetFrequencyRegion(kBus, plan.form, plan.start, plan.end, plan.step,
                                     plan.count) != 0) {
      ctx.ShowMessage(regionWriteFailed);
      return;
    }
    if (const auto scale = PowerScaleFor(ctx.readerKind)) {
      powerStatus =
          driver.UhfSetOutPower(kBus, static_cast<std::uint8_t>(powerItem + scale->first));
    }
  }
  if (powerStatus != 0) {
    ctx.ShowMessage(texts.MESSAGE_GET_OUTPOWER_FAIL);
    return;
  }

  ctx.values.statusText = texts.MESSAGE_SAVED;
  ctx.UpdateData(false);
}

void OnDisconnect(DialogContext& ctx) {
  std::uint8_t extra = 0;
  ctx.driver.Handshake(kBus, 0, &ctx.readerKind, &extra);
  CloseLink(ctx);
  ctx.values.statusText = ctx.texts.MESSAGE_DISCONNECTED;
  ctx.surface.SetText(idc::StatusPanel, ctx.values.statusText);
}

void OnFactoryDefault(DialogContext& ctx) {
  ReaderDriver& driver = ctx.driver;

  if (driver.OpenCom(kUsbPort, 0) != 0) {
    ShowStatus(ctx, kStatusConnectFailed, kStatusRed);
    return;
  }
  ctx.linkOpen = true;
  std::uint8_t extra = 0;
  if (driver.Handshake(kBus, 1, &ctx.readerKind, &extra) != 0) {
    ShowStatus(ctx, kStatusConfigFailed, kStatusRed);
    return;
  }
  ctx.UpdateData(true);

  driver.UhfFactoryDefault(kBus);
  driver.UhfSetAddress(kBus, kFactoryAddress);
  driver.UhfSetWgIntervalTime(kBus, kFactoryOutputTime);
  driver.UhfSetTriggerTime(kBus, kFactoryReadTime);
  driver.UhfSetWeigand(kBus, ReaderSettings::kWiegand26);
  const auto record = WiegandOutputRecord{1, 9, 3, 0}.Bytes();
  if (driver.UhfSetWgOutByte(kBus, record.data()) != 0) {
    ctx.ShowMessage(ctx.texts.MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL);
    return;
  }
  std::array<std::uint8_t, 4> password;
  password.fill(kFactoryPasswordByte);
  driver.UhfSetPassword(kBus, 1, password.data());
  driver.UhfSetWorkMode(kBus, ReaderSettings::kWorkModeAlways);

  std::int32_t powerStatus = 0;
  switch (ctx.readerKind) {
    case 0:
    case 1: {
      FrequencyPlan current;
      if (driver.UhfGetFrequencyRegion(kBus, &current.form, &current.start, &current.end,
                                       &current.step, &current.count) == 0) {
        const FrequencyPlan plan = FactoryPlan(ctx.readerKind, current.start);
        driver.UhfSetFrequencyRegionB(kBus, plan.form, plan.start, plan.end, plan.step, plan.count);
      }
      powerStatus = driver.UhfSetOutPower(kBus, ctx.readerKind == 0 ? 33 : 26);
      break;
    }
    case 2: {
      const FrequencyPlan plan = FactoryPlan(2, 0);
      driver.UhfSetFrequencyRegion(kBus, plan.form, plan.start, plan.end, plan.step, plan.count);
      powerStatus = driver.UhfSetOutPower(kBus, 63);
      break;
    }
    default:
      break;
  }
  if (powerStatus != 0) {
    ctx.ShowMessage(ctx.texts.MESSAGE_FACTORY_DEFAULT_FAIL);
    return;
  }

  OnDisconnect(ctx);
  ShowStatus(ctx, kStatusSetOk, kStatusGreen);
}

void OnSetAddress(DialogContext& ctx) {
  ctx.UpdateData(true);
  if (ctx.driver.UhfSetAddress(kBus, ctx.values.readerAddress) != 0) {
    ctx.ShowMessage(ctx.texts.MESSAGE_SET_ADDRESS_FAIL);
    return;
  }
  ctx.UpdateData(false);
}

void OnGetAddress(DialogContext& ctx) {
  ctx.UpdateData(true);
  ctx.values.versionText = ReadVersion(ctx.driver, 30);
  std::uint8_t address = 0;
  if (ctx.driver.UhfGetAddress(kBus, &address) != 0) {
    ctx.ShowMessage(ctx.texts.MESSAGE_GET_ADDRESS_FAIL);
    return;
  }
  ctx.values.readerAddress = address;
  ctx.UpdateData(false);
}

}  // namespace uhf
