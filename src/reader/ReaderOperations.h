#pragma once
// The reader operations behind the dialog's buttons: read the whole configuration, save it,
// restore the factory state, disconnect, and write or read the address stored in the reader.
//
// Each operation is a function of the driver and plain values that returns what it obtained and
// an OperationResult; it shows nothing. Each handler (On...) is its operation followed by showing
// the result on the dialog's controls, on the window's thread, one driver call at a time.

#include <cstdint>
#include <optional>
#include <string_view>

#include "dialog/DialogContext.h"
#include "dialog/InterfaceText.h"
#include "driver/ReaderDriver.h"
#include "reader/ReaderConfiguration.h"

namespace uhf {

// Every byte of the factory check password.
inline constexpr std::uint8_t kFactoryPasswordByte = 0x5A;

// Production defaults written after a factory reset.
inline constexpr std::uint8_t kFactoryAddress = 1;
inline constexpr std::uint8_t kFactoryOutputTime = 2;
inline constexpr std::uint8_t kFactoryReadTime = 2;

// The settings a factory reset writes to a reader of `readerKind` whose plan starts at
// `currentStart` (which picks the band of kinds 0 and 1): address, output and read time, Wiegand
// format and record, check password, work mode, plan and power (no plan or power for an unknown
// kind). The reset leaves the rest to the reader's own reset.
ReaderConfiguration FactoryConfiguration(std::uint8_t readerKind, std::int32_t currentStart);

// --- Operations ---

// Closes a link `state` holds open, opens `link`, identifies the reader and reads every setting;
// the link stays open. A failed open or handshake, or a failed read of the Wiegand output record,
// the power or the address stops the read; any other failed read leaves its setting empty.
ConfigurationRead ReadConfiguration(ReaderDriver& driver, const Link& link, LinkState& state,
                                    const InterfaceText& texts);

// How the window asks for a save beyond the desired values: its two work-mode radios can both be
// checked (a program can check both, a click cannot), and then "read always" is written before
// the desired work mode.
struct SaveOptions {
  bool readAlwaysBeforeWorkMode = false;
};

// Writes every setting `desired` holds over the open link, in the save's order. The Wiegand
// format goes only over the USB link. The power goes only to a reader kind with a power scale.
// A failed write of the record, the address, the plan or the power stops the save.
OperationResult SaveConfiguration(ReaderDriver& driver, const ReaderConfiguration& desired,
                                  LinkKind link, const InterfaceText& texts,
                                  SaveOptions options = {});

// Closes a link `state` holds open, opens its own USB link, resets the reader, writes the
// production defaults and ends the exchange.
OperationResult FactoryDefault(ReaderDriver& driver, LinkState& state, const InterfaceText& texts);

// Ends the exchange and closes the link.
OperationResult Disconnect(ReaderDriver& driver, LinkState& state, const InterfaceText& texts);

// Writes the address stored in the reader.
OperationResult SetReaderAddress(ReaderDriver& driver, std::uint8_t address,
                                 const InterfaceText& texts);
// Reads the version (as the address group shows it) and the address stored in the reader.
ConfigurationRead GetReaderAddress(ReaderDriver& driver, const InterfaceText& texts);

// --- Handlers ---

// The link the hidden link controls choose, as a read opens it. The network link refreshes the
// bound values once more for its ports.
Link LinkFromControls(DialogContext& ctx);

// The text goes into statusText and the status panel, coloured whole in one colour.
void ShowStatus(DialogContext& ctx, std::string_view text, Rgb colour);

// Reads over the link the controls choose and shows the configuration. Nothing when a link input
// is refused (its message was shown) and no call was made.
std::optional<ConfigurationRead> OnConnect(DialogContext& ctx);
// Checks the controls and saves what they show over the open link. Nothing when a check refused
// the save (its message was shown) and no call was made.
std::optional<OperationResult> OnSaveChanges(DialogContext& ctx);
OperationResult OnFactoryDefault(DialogContext& ctx);
OperationResult OnDisconnect(DialogContext& ctx);
// Write / read the address stored in the reader; nothing when the refresh refused a value.
std::optional<OperationResult> OnSetAddress(DialogContext& ctx);
std::optional<ConfigurationRead> OnGetAddress(DialogContext& ctx);

}  // namespace uhf
