#pragma once
// The tag list as CSV text: a header row of the list's own headings, then one line per row, lines
// ended by CR LF. Shared by the companion's read-tags --csv and the window's export.

#include <filesystem>
#include <string>
#include <string_view>

#include "ui/ControlSurface.h"

namespace uhf {

struct TagListCsvOptions {
  // A UTF-8 byte order mark first, so that spreadsheet programs on a Chinese system take the file
  // as UTF-8 rather than the local code page.
  bool byteOrderMark = false;
  // First Seen and Last Seen, when the list has those columns.
  bool seenColumns = false;
  // The Wiegand frame of decimal card numbers: bits, facility code, card, both parities, frame.
  bool wiegandColumns = false;
};

// A field as CSV writes it: quoted, with inner quotes doubled, when it holds a comma, a quote or
// a line break.
std::string CsvField(std::string_view text);

std::string TagListCsv(const ControlSurface& surface, const TagListCsvOptions& options);

// The window's export: byte order mark, the inventory columns, the Wiegand frame when the list
// holds decimal card numbers; written atomically. False with `error` set when it cannot be written.
bool ExportTagListCsv(const ControlSurface& surface, const std::filesystem::path& path,
                      bool decimalCards, std::string& error);

}  // namespace uhf
