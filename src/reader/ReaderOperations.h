#pragma once
// The reader operations behind the dialog's buttons: read the whole configuration, save it,
// restore the factory state, disconnect, and write or read the address stored in the reader.
// Each runs on the window's thread, one driver call at a time, and reports through a message box
// or the status panel.

#include <cstdint>
#include <string_view>

#include "dialog/DialogContext.h"
#include "ui/ControlSurface.h"

namespace uhf {

inline constexpr Rgb kStatusRed{255, 0, 0};
inline constexpr Rgb kStatusGreen{25, 150, 43};

// Fixed status texts (not replaceable through config.ini).
inline constexpr std::string_view kStatusConnectFailed = "连接失败";
inline constexpr std::string_view kStatusConfigFailed = "配置失败";
inline constexpr std::string_view kStatusReadOk = "读取成功";
inline constexpr std::string_view kStatusSetOk = "设置成功";
inline constexpr std::string_view kStatusReadFailed = "读取失败";
inline constexpr std::string_view kStatusSetFailed = "设置失败";

// Every byte of the factory check password.
inline constexpr std::uint8_t kFactoryPasswordByte = 0x5A;

// Production defaults written after a factory reset.
inline constexpr std::uint8_t kFactoryAddress = 1;
inline constexpr std::uint8_t kFactoryOutputTime = 2;
inline constexpr std::uint8_t kFactoryReadTime = 2;

// The text goes into statusText and the status panel, coloured whole in one colour.
void ShowStatus(DialogContext& ctx, std::string_view text, Rgb colour);

// Opens the link, identifies the reader and shows its configuration; the link stays open. A link
// that an earlier operation left open is closed first.
void OnConnect(DialogContext& ctx);
// Checks the controls and writes every parameter over the open link.
void OnSaveChanges(DialogContext& ctx);
// Opens its own USB link, resets the reader and writes the production defaults.
void OnFactoryDefault(DialogContext& ctx);
// Ends the exchange and closes the link.
void OnDisconnect(DialogContext& ctx);
// Writes / reads the address stored in the reader.
void OnSetAddress(DialogContext& ctx);
void OnGetAddress(DialogContext& ctx);

}  // namespace uhf
