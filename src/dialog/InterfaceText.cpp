#include "dialog/InterfaceText.h"

#include "dialog/ControlIds.h"
#include "text/Profile.h"
#include "ui/ControlSurface.h"

namespace uhf {

namespace {

using Use = InterfaceTextEntry::Use;
using T = InterfaceText;

InterfaceTextEntry Caption(std::string_view key, std::string_view defaultText, int controlId) {
  return {key, defaultText, Use::Caption, controlId};
}

InterfaceTextEntry FixedCaption(std::string_view key, std::string_view defaultText, int controlId,
                                std::string_view fixedText) {
  return {key, defaultText, Use::FixedCaption, controlId, nullptr, 0, fixedText};
}

InterfaceTextEntry Message(std::string_view key, std::string_view defaultText,
                           std::string T::*member) {
  return {key, defaultText, Use::Message, 0, member};
}

InterfaceTextEntry FixedMessage(std::string_view key, std::string_view defaultText,
                                std::string T::*member, std::string_view fixedText) {
  return {key, defaultText, Use::FixedMessage, 0, member, 0, fixedText};
}

InterfaceTextEntry Column(std::string_view key, std::string_view defaultText, int column) {
  return {key, defaultText, Use::Column, 0, nullptr, column};
}

constexpr std::string_view kReadTimeKey = "MODE_READTIME";

// Turns every typed backslash-r-backslash-n into a real line break.
std::string ExpandTypedLineBreaks(std::string text) {
  constexpr std::string_view kTyped = "\\r\\n";
  std::size_t at = 0;
  while ((at = text.find(kTyped, at)) != std::string::npos) {
    text.replace(at, kTyped.size(), "\r\n");
    at += 2;
  }
  return text;
}

}  // namespace

const std::vector<InterfaceTextEntry>& InterfaceTextTable() {
  static const std::vector<InterfaceTextEntry> table = {
      // Control captions
      Caption("CONN_READER", "Reader Connection", idc::ConnectionGroup),
      Caption("CONN_COMPORT", "Com Port:", idc::ComPortLabel),
      Caption("CONN_BAUD", "Baudrate:", idc::ConnBaudLabel),
      Caption("BUTTON_CONNECT", "Connect", idc::Connect),
      Caption("BUTTON_DISCONNECT", "Disconnect", idc::Disconnect),
      Caption("READER_INDICATE", "Reader Indicator", idc::IndicatorGroup),
      Caption("READER_BUZZER", "Buzzer", idc::Buzzer),
      Caption("BAUD_SET", "Address Setting", idc::AddressGroup),
      Caption("BAUD_BAUD", "Baudrate:", idc::AddressBaudLabel),
      Caption("MODE_WORKMODE", "Work Mode", idc::WorkModeGroup),
      Caption("MODE_ALLWAYS", "Read Always", idc::ReadAlways),
      Caption("MODE_TRIGGER", "Read by Trigger", idc::ReadByTrigger),
      Caption(kReadTimeKey, "Read Time\r\n(1-255):", idc::ReadTimeLabel),
      Caption("MODE_S", "s", idc::ReadTimeUnit),
      Caption("WEIGAND_26", "26", idc::Wiegand26),
      Caption("WEIGAND_34", "34", idc::Wiegand34),
      Caption("RF_RF", "RF Settings", idc::RfGroup),
      Caption("RF_POWER", "Power", idc::PowerLabel),
      Caption("RF_FREQ", "Freq", idc::FreqLabel),
      Caption("RF_TO", "to", idc::ToLabel),
      Caption("RF_HZ", "kHz", idc::KhzLabel),
      FixedCaption("BUTTON_READ_CONF", "Read Configuration", idc::ReadConfig, "获取配置信息"),
      FixedCaption("BUTTON_FACTORY_DEFAULT", "Factory Default", idc::FactoryDefault,
                   "出厂默认设置"),
      Caption("BUTTON_SAVE_CHANGES", "Save Changes", idc::SaveChanges),
      Caption("BUTTON_READ_TAG", "Read Tag", idc::ReadTag),
      Caption("WIEGAND_OUTPUT_SETTINGS", "Wiegand Output Settings", idc::WiegandOutputGroup),
      Caption("WIEGAND_FORMAT", "Wiegand Format", idc::WiegandFormatGroup),
      Caption("TAG_READING_INTERVAL", "Tag Reading Interval", idc::TagIntervalGroup),
      Caption("TIME", "Time", idc::OutputTimeLabel),
      Caption("TIME", "Time", idc::TagIntervalLabel),
      Caption("START_BYTES", "Start Bytes", idc::StartBytesLabel),
      Caption("FORWARD_OUTPUT", "Forward Output", idc::ForwardOutput),
      Caption("INVERTED_OUTPUT", "Inverted Output", idc::InvertedOutput),
      Caption("LENGTH ", "Length", idc::LengthLabel),
      Caption("OUTPUT_TIME ", "Output Time(1-20)", idc::OutputTimeGroup),
      // Message entries
      Message("MESSAGE_SAVED", "Saved!", &T::MESSAGE_SAVED),
      Message("MESSAGE_SUCCESS", "Success!", &T::MESSAGE_SUCCESS),
      FixedMessage("MESSAGE_CONNECT_FAIL", "连接失败", &T::MESSAGE_CONNECT_FAIL, "连接失败"),
      Message("MESSAGE_DISCONNECTED", "Disconnected!", &T::MESSAGE_DISCONNECTED),
      FixedMessage("MESSAGE_CONNECT_SUCCESFUL", "读取成功", &T::MESSAGE_CONNECT_SUCCESFUL,
                   "读取成功"),
      Message("MESSAGE_GET_OUTPOWER_FAIL", "Get OutPowerFail!", &T::MESSAGE_GET_OUTPOWER_FAIL),
      Message("MESSAGE_GET_WIEGAND_OUTPUT_SETTINGS_FAIL", "Get Wiegand Output Settings Fail!",
              &T::MESSAGE_GET_WIEGAND_OUTPUT_SETTINGS_FAIL),
      Message("MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL", "Set Wiegand Output Settings Fail!",
              &T::MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL),
      Message("MESSAGE_GET_FREQUENCY_REGION_FAIL", "Get Frequency Region Fail!",
              &T::MESSAGE_GET_FREQUENCY_REGION_FAIL),
      Message("MESSAGE_GET_ADDRESS_FAIL", "Get Address Fail!", &T::MESSAGE_GET_ADDRESS_FAIL),
      Message("MESSAGE_READ_CONFIGURATION_OK", "Read Configuration OK!",
              &T::MESSAGE_READ_CONFIGURATION_OK),
      Message("MESSAGE_SET_FREQUENCY_REGION_FAIL", "Set Frequency Region Fail!",
              &T::MESSAGE_SET_FREQUENCY_REGION_FAIL),
      Message("MESSAGE_SET_ADDRESS_FAIL", "Set Address Fail!", &T::MESSAGE_SET_ADDRESS_FAIL),
      Message("MESSAGE_FREQ_ERROR", "Freq Error!", &T::MESSAGE_FREQ_ERROR),
      Message("MESSAGE_LENGHT_BYTES_PARAMETER_ERROR", "Lenght Bytes Parameter Error!",
              &T::MESSAGE_LENGHT_BYTES_PARAMETER_ERROR),
      Message("MESSAGE_START_BYTES_PARAMETER_ERROR", "Start Bytes Parameter Error!",
              &T::MESSAGE_START_BYTES_PARAMETER_ERROR),
      Message("MESSAGE_READ_TIME_PARAMETER_ERROR", "Read Time Parameter Error!",
              &T::MESSAGE_READ_TIME_PARAMETER_ERROR),
      Message("MESSAGE_OUTPUT_TIME_PARAMETER_ERROR", "Output Time(1-20)",
              &T::MESSAGE_OUTPUT_TIME_PARAMETER_ERROR),
      Message("MESSAGE_DELETE", "Delete Record?", &T::MESSAGE_DELETE),
      Message("MESSAGE_WARNNING", "Warnning", &T::MESSAGE_WARNNING),
      Message("MESSAGE_PARAMETER_ERROR", "Parameter Error!", &T::MESSAGE_PARAMETER_ERROR),
      Message("MESSAGE_POWER_PARAMETER_ERROR", "Power Parameter Error!",
              &T::MESSAGE_POWER_PARAMETER_ERROR),
      Message("MESSAGE_FACTORY_DEFAULT_FAIL", "Factory Default Fail!",
              &T::MESSAGE_FACTORY_DEFAULT_FAIL),
      Message("MESSAGE_TAG_INTERVAL_PARAMETER_ERROR", "Tag Reading Interval Parameter Error!",
              &T::MESSAGE_TAG_INTERVAL_PARAMETER_ERROR),
      Message("MESSAGE_READ_FIRST", "Read the reader's configuration first!",
              &T::MESSAGE_READ_FIRST),
      Message("MESSAGE_SET_PARAMETER_FAIL", "Set Parameter Fail!", &T::MESSAGE_SET_PARAMETER_FAIL),
      Message("STATION_WAITING", "请接入读写器", &T::STATION_WAITING),
      Message("STATION_RUNNING", "正在配置，请勿拔出", &T::STATION_RUNNING),
      Message("STATION_OK", "合格", &T::STATION_OK),
      Message("STATION_FAILED", "不合格", &T::STATION_FAILED),
      Message("STATION_SERIAL", "序列号", &T::STATION_SERIAL),
      Message("STATION_DIFFERS", "回读不一致", &T::STATION_DIFFERS),
      Message("STATION_COUNT_OK", "合格数", &T::STATION_COUNT_OK),
      Message("STATION_COUNT_FAILED", "不合格数", &T::STATION_COUNT_FAILED),
      Message("STATION_CLOSING", "正在完成当前读写器，完成后关闭", &T::STATION_CLOSING),
      // Tag list column headings
      Column("LIST_NO", "No.", 0),
      Column("LIST_ID", "Card Number", 1),
      Column("LIST_SUCCESS_TIMES", "Success Times", 2),
      Column("LIST_EPCLEN", "EPC Length", 3),
  };
  return table;
}

InterfaceText DefaultInterfaceText() {
  InterfaceText texts;
  for (const InterfaceTextEntry& entry : InterfaceTextTable()) {
    if (entry.use == Use::Message) texts.*entry.member = std::string(entry.defaultText);
    if (entry.use == Use::FixedMessage) texts.*entry.member = std::string(entry.fixedText);
  }
  return texts;
}

void ApplyInterfaceTexts(const Profile& profile, ControlSurface& surface, InterfaceText& texts) {
  for (const InterfaceTextEntry& entry : InterfaceTextTable()) {
    std::string text = profile.GetString(kInterfaceTextSection, entry.key, entry.defaultText,
                                         kInterfaceTextBufferSize);
    switch (entry.use) {
      case Use::Caption:
        if (entry.key == kReadTimeKey) text = ExpandTypedLineBreaks(std::move(text));
        surface.SetText(entry.controlId, text);
        break;
      case Use::FixedCaption:
        surface.SetText(entry.controlId, entry.fixedText);
        break;
      case Use::Message:
        texts.*entry.member = std::move(text);
        break;
      case Use::FixedMessage:
        texts.*entry.member = std::string(entry.fixedText);
        break;
      case Use::Column:
        surface.ListInsertColumn(idc::TagList, entry.column, text,
                                 kTagListColumnWidths[entry.column]);
        break;
    }
  }
}

}  // namespace uhf
