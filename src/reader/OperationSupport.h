#pragma once
// What the reader operations and their handlers share: the bus address and the USB port, how a
// result is completed, the held link, and the dialog's refresh that keeps empty edits empty.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "dialog/DialogContext.h"
#include "reader/ReaderConfiguration.h"

namespace uhf {

inline constexpr std::uint8_t kBus = ReaderBusAddress;
inline constexpr std::int32_t kUsbPort = 100;

// The version text the driver wrote into a zero-filled buffer of `size` bytes: at most
// size - 1 bytes up to the first zero, never ending inside a character. The real buffer is larger
// than `size`, so a driver that writes past the text's room cannot overrun it.
std::string VersionText(const std::array<char, 64>& buffer, std::size_t size);

// Completes a result from the calls made: the status shown (`colour` empty: not coloured) and
// whether every call returned 0.
void Finish(OperationResult& result, const CallLog& calls, std::string_view status,
            std::optional<Rgb> colour);

// A link this tool still holds is closed before another is opened: one link at a time.
void CloseHeldLink(ReaderDriver& driver, LinkState& state);

// The dialog's link state, and back.
LinkState LinkStateOf(const DialogState& state);
void KeepLinkState(DialogState& state, const LinkState& link);

// Shows the result's status text in its colour.
void ShowResultStatus(DialogContext& ctx, const OperationResult& result);
void ShowMessages(DialogContext& ctx, const OperationResult& result);

void CheckOneOf(ControlSurface& surface, int checked, int cleared);

// Refreshes the bound values from the controls, as a handler's first step. The number edits a
// read left empty take their bound value for the exchange only, so that a value the reader did
// not give blocks nothing, and are emptied again afterwards.
bool RefreshSettingsKeepingBlanks(DialogContext& ctx);

}  // namespace uhf
