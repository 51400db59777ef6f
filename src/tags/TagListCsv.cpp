#include "tags/TagListCsv.h"

#include "dialog/ControlIds.h"
#include "files/AtomicFile.h"
#include "tags/TagInventory.h"
#include "tags/TagReads.h"
#include "tags/WiegandBits.h"

namespace uhf {

namespace {

// Read back with room for any cell the list holds.
constexpr std::size_t kCellRoom = 256;

}  // namespace

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string TagListCsv(const ControlSurface& surface, const TagListCsvOptions& options) {
  std::vector<int> columns = {0, kTagColumnCard, kTagColumnCount, kTagColumnEpcLength};
  if (options.seenColumns && surface.ListColumnCount(idc::TagList) > kTagColumnLastSeen) {
    columns.push_back(kTagColumnFirstSeen);
    columns.push_back(kTagColumnLastSeen);
  }
  std::string csv = options.byteOrderMark ? "\xEF\xBB\xBF" : "";
  const auto line = [&csv](const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) csv += ',';
      csv += CsvField(fields[i]);
    }
    csv += "\r\n";
  };

  std::vector<std::string> fields;
  for (int column : columns) fields.push_back(surface.ListColumnHeading(idc::TagList, column));
  if (options.wiegandColumns) {
    fields.insert(fields.end(),
                  {"Frame Bits", "Facility Code", "Card", "Even Parity", "Odd Parity", "Frame"});
  }
  line(fields);

  for (int row = 0; row < surface.ListCount(idc::TagList); ++row) {
    fields.clear();
    for (int column : columns) {
      fields.push_back(surface.ListGetItemText(idc::TagList, row, column, kCellRoom));
    }
    // Rows whose card text is no Wiegand card number end after the list's own columns.
    if (const auto frame =
            options.wiegandColumns ? WiegandFrameOfCardText(fields[1]) : std::nullopt) {
      fields.insert(fields.end(),
                    {std::to_string(frame->bits), std::to_string(frame->facilityCode),
                     std::to_string(frame->cardNumber), std::to_string(frame->evenParity),
                     std::to_string(frame->oddParity), frame->bitString});
    }
    line(fields);
  }
  return csv;
}

bool ExportTagListCsv(const ControlSurface& surface, const std::filesystem::path& path,
                      bool decimalCards, std::string& error) {
  TagListCsvOptions options;
  options.byteOrderMark = true;
  options.seenColumns = true;
  options.wiegandColumns = decimalCards;
  return WriteFileAtomically(path, TagListCsv(surface, options), error);
}

}  // namespace uhf
