#pragma once
// The reader parameters the dialog shows and saves: which control holds each one, the range a
// save accepts and how values travel to and from the driver.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tags/CardFormats.h"

namespace uhf {

class ControlSurface;

// Controls and ranges of the reader parameters, in the order a read fills them.
struct ReaderSettings {
  // workMode: 0 = read always, 1 = read by trigger
  static constexpr std::uint8_t kWorkModeAlways = 0;
  static constexpr std::uint8_t kWorkModeTrigger = 1;
  // readTime (seconds): bound to edit 1062; a save accepts 1 to 254
  static constexpr int kReadTimeMin = 1;
  static constexpr int kReadTimeMax = 254;
  // outputTime (100 ms units): bound to edit 1061; a save accepts 1 to 20
  static constexpr int kOutputTimeMin = 1;
  static constexpr int kOutputTimeMax = 20;
  // powerValue (edit 1024): a save refuses it above 63
  static constexpr int kPowerValueMax = 63;
  // tagInterval (seconds): bound to edit 1053 (0 to 266); travels as one byte, so a save refuses
  // more than 255
  static constexpr std::uint32_t kTagIntervalByteMax = 255;
  // wiegandFormat: radios 26 / 34, only with the USB link
  static constexpr std::uint8_t kWiegand26 = 0x26;
  static constexpr std::uint8_t kWiegand34 = 0x34;
  // "Start Bytes" after a read holds "0".."11"; "Length" holds "1".."12" (item i = length i + 1).
  static constexpr int kStartByteItems = kTagNumberBytes;
  static constexpr int kLengthItems = 12;
};

// Four bytes exchanged with UhfGetWgOutByte / UhfSetWgOutByte, in this order.
struct WiegandOutputRecord {
  std::uint8_t leadByte = 1;
  std::uint8_t startByte = 0;
  std::uint8_t length = 0;
  std::uint8_t inverted = 0;  // 0 = forward output, anything else inverted

  std::array<std::uint8_t, 4> Bytes() const { return {leadByte, startByte, length, inverted}; }
  static WiegandOutputRecord FromBytes(const std::array<std::uint8_t, 4>& bytes) {
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
  }
  friend bool operator==(const WiegandOutputRecord&, const WiegandOutputRecord&) = default;
};

// The record a save writes with the USB link: fixed by the format, start byte 8 and length 4 for
// 34 bits, start byte 9 and length 3 for anything else.
WiegandOutputRecord UsbRecordFor(std::uint8_t wiegandFormat);

// The power selector's list for a reader kind: `count` items from `first` upwards; the level sent
// and received is the item index + `first`.
struct PowerScale {
  int first = 0;
  int count = 0;
};

// Kind 0: "0".."33"; kind 1: "18".."26"; kind 2: "0".."63"; nothing for any other kind.
std::optional<PowerScale> PowerScaleFor(std::uint8_t readerKind);

// The level a factory reset writes: the top of the kind's scale; nothing for any other kind.
std::optional<std::uint8_t> FactoryPowerLevel(std::uint8_t readerKind);

// Empties the power selector, fills it for the reader kind and selects `level` (no selection
// when the level is outside the list). Any other kind leaves the selector as it is.
void ShowPowerLevel(ControlSurface& surface, std::uint8_t readerKind, std::uint8_t level);

// Baud rate of the connection selector's item: 9600, 19200, 38400, 57600, 115200; no selection
// (or an unknown item) gives 9600.
std::int32_t BaudRateForItem(int item);

// Serial port number the driver expects: the decimal number after the first three characters of
// the port's name (COM3 -> 3), minus one. No number reads as 0, giving -1.
std::int32_t SerialPortNumber(std::string_view portName);

// Password text to the four bytes sent: two characters per byte through HexTextToBytes. Bytes
// with no piece of text, or whose piece holds no hexadecimal digit, are 0. Only the first four
// pieces count, whatever the text's length.
std::array<std::uint8_t, 4> PasswordTextToBytes(std::string_view text);

// The four password bytes as eight lowercase hexadecimal digits.
std::string PasswordBytesToText(const std::array<std::uint8_t, 4>& bytes);

// "SN:" followed by the 12 serial bytes in lowercase hexadecimal.
std::string SerialNumberText(std::span<const std::uint8_t, 12> serial);

}  // namespace uhf
