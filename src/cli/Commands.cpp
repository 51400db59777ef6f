#include "cli/Commands.h"

#include <fstream>
#include <iomanip>
#include <iterator>
#include <ostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "dialog/ControlIds.h"
#include "dialog/InterfaceText.h"
#include "reader/ReaderOperations.h"
#include "station/ReaderProfile.h"
#include "tags/TagListCsv.h"
#include "tags/TagReads.h"
#include "tags/WiegandBits.h"
#include "text/Utf8Path.h"

namespace uhf::cli {

namespace {

using Json = nlohmann::ordered_json;

// A document as text; a reader's texts that are no UTF-8 are replaced, never a stop.
std::string JsonText(const Json& document) {
  return document.dump(2, ' ', false, Json::error_handler_t::replace);
}

// What a command found out, before it is printed.
struct Run {
  const Invocation& invocation;
  Session& session;
  std::ostream& out;
  std::ostream& err;
  CommandReport report;

  bool UsbLink() const { return invocation.link.kind == LinkKind::Usb; }
  ReaderDriver& Driver() { return session.Context().driver; }
  const InterfaceText& Texts() { return session.Context().state.texts; }

  CommandReport Finish(int status, std::string result) {
    report.exitStatus = status;
    report.result = std::move(result);
    return report;
  }

  // A failure: the texts the operation showed on stderr, and with --json an object on stdout too.
  CommandReport Fail(int status, const std::string& text, std::string result = "failed") {
    err << "uhf-readerctl: " << text << '\n';
    if (invocation.json) out << JsonText(Json{{"result", result}, {"error", text}}) << '\n';
    return Finish(status, std::move(result));
  }

  // The read every reader command starts with, as the read button does: the configuration it
  // obtained when every call succeeded.
  std::optional<ReaderConfiguration> Read() {
    const std::optional<ConfigurationRead> read = OnConnect(session.Context());
    if (!read) {
      Fail(kExitFailed, "the read did not start: a link setting was refused");
      return std::nullopt;
    }
    report.serialNumber = read->configuration.serialNumberText.value_or("");
    report.version = read->configuration.versionText.value_or("");
    if (read->result.succeeded) return read->configuration;
    Fail(kExitFailed, FailureText(read->result));
    return std::nullopt;
  }
};

CommandReport Read(Run& run) {
  const std::optional<ReaderConfiguration> config = run.Read();
  if (!config) return run.report;
  if (run.invocation.json) {
    run.out << JsonText(ConfigurationJson(*config)) << '\n';
  } else {
    run.out << ConfigurationTable(*config);
  }
  return run.Finish(kExitOk, "ok");
}

CommandReport FactoryDefault(Run& run) {
  const OperationResult result = OnFactoryDefault(run.session.Context());
  if (!result.succeeded) return run.Fail(kExitFailed, FailureText(result));
  if (run.invocation.json) {
    run.out << JsonText(Json{{"result", "ok"}, {"status", result.statusText}}) << '\n';
  } else {
    run.out << result.statusText << '\n';
  }
  return run.Finish(kExitOk, "ok");
}

CommandReport Export(Run& run) {
  const std::optional<ReaderConfiguration> config = run.Read();
  if (!config) return run.report;
  const std::string text = WithLineEnds(ProfileText(*config, run.UsbLink()), kProfileLineEnd);
  std::ofstream file(run.invocation.file, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) {
    return run.Fail(kExitFailed, "cannot write " + PathText(run.invocation.file));
  }
  if (run.invocation.json) {
    run.out << JsonText(Json{{"result", "ok"}, {"file", PathText(run.invocation.file)}}) << '\n';
  } else {
    run.out << "Profile of " << config->serialNumberText.value_or("") << " written to "
            << PathText(run.invocation.file) << '\n';
  }
  return run.Finish(kExitOk, "ok");
}

CommandReport Apply(Run& run) {
  std::ifstream file(run.invocation.file, std::ios::binary);
  if (!file) {
    return run.Fail(kExitUsage, "cannot read " + PathText(run.invocation.file), "refused");
  }
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ProfileError error;
  const std::optional<ParsedProfile> profile = ParseProfile(text, error);
  if (!profile) {
    return run.Fail(kExitUsage, PathText(run.invocation.file) + ": " + error.Text(), "refused");
  }
  const std::optional<ReaderConfiguration> read = run.Read();
  if (!read) return run.report;
  if (const auto refusal = CheckProfile(*profile, *read, run.UsbLink())) {
    return run.Fail(kExitUsage, PathText(run.invocation.file) + ": " + refusal->Text(), "refused");
  }
  const ReaderConfiguration desired = DesiredConfiguration(*profile, *read, run.UsbLink());
  const OperationResult saved =
      SaveConfiguration(run.Driver(), desired,
                        run.UsbLink() ? uhf::LinkKind::Usb : uhf::LinkKind::Serial, run.Texts());
  if (!saved.succeeded) return run.Fail(kExitFailed, FailureText(saved));
  // What the save wrote and what the reader holds now, each as the profile gives it.
  const ProfileValues written = ProfileValuesOf(desired, run.UsbLink());
  const std::optional<ReaderConfiguration> back = run.Read();
  if (!back) return run.report;
  const ProfileValues readBack = ProfileValuesOf(*back, run.UsbLink());

  Json differences = Json::array();
  for (const auto& [key, value] : written) {
    const auto it = readBack.find(key);
    const std::string shown = it != readBack.end() ? it->second : std::string();
    if (shown != value) {
      differences.push_back({{"key", key}, {"written", value}, {"readBack", shown}});
    }
  }
  const bool same = differences.empty();
  if (run.invocation.json) {
    run.out << JsonText(Json{{"result", same ? "ok" : "differs"}, {"differences", differences}})
            << '\n';
  } else if (same) {
    run.out << "Applied " << PathText(run.invocation.file) << " to " << run.report.serialNumber
            << "; every setting reads back as written\n";
  } else {
    for (const Json& d : differences) {
      run.out << d["key"].get<std::string>() << ": wrote " << d["written"].get<std::string>()
              << ", reads back " << d["readBack"].get<std::string>() << '\n';
    }
  }
  if (!same) {
    run.err << "uhf-readerctl: " << differences.size()
            << " setting(s) read back differently from what was written\n";
    return run.Finish(kExitDiffers, "differs");
  }
  return run.Finish(kExitOk, "ok");
}

CommandReport AddressCommand(Run& run, bool set) {
  if (!run.Read()) return run.report;
  int address = run.invocation.address;
  if (set) {
    const OperationResult result =
        SetReaderAddress(run.Driver(), static_cast<std::uint8_t>(address), run.Texts());
    if (!result.succeeded) return run.Fail(kExitFailed, FailureText(result));
  } else {
    const ConfigurationRead read = GetReaderAddress(run.Driver(), run.Texts());
    if (!read.configuration.readerAddress) return run.Fail(kExitFailed, FailureText(read.result));
    // The address group shows the version it read with the address.
    run.report.version = read.configuration.versionText.value_or("");
    address = *read.configuration.readerAddress;
  }
  if (run.invocation.json) {
    run.out << JsonText(Json{{"result", "ok"}, {"readerAddress", address}}) << '\n';
  } else {
    run.out << "readerAddress " << address << '\n';
  }
  return run.Finish(kExitOk, "ok");
}

CommandReport ReadTags(Run& run) {
  if (!run.Read()) return run.report;
  const Invocation& inv = run.invocation;
  void (ReaderConfigDialog::*handler)() = &ReaderConfigDialog::OnReadTag;
  bool decimal = run.UsbLink();  // the Read Tag button's USB way is the decimal one
  switch (inv.way) {
    case TagWay::Read:
      break;
    case TagWay::Usb:
      handler = &ReaderConfigDialog::OnReadTagUSB;
      decimal = true;
      break;
    case TagWay::Hex:
      handler = &ReaderConfigDialog::OnReadTagTestHex;
      decimal = false;
      break;
    case TagWay::Decimal:
      handler = &ReaderConfigDialog::OnReadTagTestDecimal;
      decimal = true;
      break;
  }
  for (int i = 0; i < inv.count; ++i) {
    const std::vector<std::string> messages = run.session.Run(handler);
    if (!messages.empty()) {
      std::string text;
      for (const std::string& message : messages) text += (text.empty() ? "" : "; ") + message;
      return run.Fail(kExitFailed, text);
    }
  }

  const MemorySurface& surface = run.session.Surface();
  const auto cell = [&](int row, int column) {
    return surface.ListGetItemText(idc::TagList, row, column, 256);
  };
  Json rows = Json::array();
  std::ostringstream table;
  std::vector<std::string> headings;
  for (int c = 0; c < 4; ++c) headings.push_back(surface.ListColumnHeading(idc::TagList, c));
  table << std::left << std::setw(6) << headings[0] << std::setw(42) << headings[1] << std::setw(15)
        << headings[2] << headings[3] << '\n';
  long long reads = 0;
  for (int row = 0; row < surface.ListCount(idc::TagList); ++row) {
    const std::string no = cell(row, 0);  // the No. column
    const std::string card = cell(row, kTagColumnCard);
    const std::string times = cell(row, kTagColumnCount);
    const std::string epcLength = cell(row, kTagColumnEpcLength);
    reads += std::atoll(times.c_str());
    Json entry = {
        {"no", no}, {"cardNumber", card}, {"successTimes", times}, {"epcLength", epcLength}};
    table << std::left << std::setw(6) << no << std::setw(42) << card << std::setw(15) << times
          << epcLength << '\n';
    if (const auto frame = decimal ? WiegandFrameOfCardText(card) : std::nullopt) {
      entry["wiegand"] = {{"bits", frame->bits},
                          {"facilityCode", frame->facilityCode},
                          {"cardNumber", frame->cardNumber},
                          {"evenParity", frame->evenParity},
                          {"oddParity", frame->oddParity},
                          {"frame", frame->bitString}};
      table << "      " << WiegandDetailText(*frame) << '\n';
    }
    rows.push_back(std::move(entry));
  }
  if (inv.csv) {
    // No byte order mark: scripts read the companion's file and expect the heading as it is.
    TagListCsvOptions options;
    options.wiegandColumns = decimal;
    std::ofstream file(*inv.csv, std::ios::binary | std::ios::trunc);
    file << TagListCsv(surface, options);
    file.close();
    if (!file) return run.Fail(kExitFailed, "cannot write " + PathText(*inv.csv));
  }
  if (inv.json) {
    run.out << JsonText(Json{{"result", reads > 0 ? "ok" : "failed"}, {"tags", rows}}) << '\n';
  } else {
    run.out << table.str();
  }
  if (reads == 0) {
    run.err << "uhf-readerctl: no tag was read\n";
    return run.Finish(kExitFailed, "failed");
  }
  return run.Finish(kExitOk, "ok");
}

std::string WhereShown(const InterfaceTextEntry& entry) {
  using Use = InterfaceTextEntry::Use;
  switch (entry.use) {
    case Use::Caption:
      return "control " + std::to_string(entry.controlId);
    case Use::FixedCaption:
      return "control " + std::to_string(entry.controlId) + " (fixed caption)";
    case Use::Message:
      return "message";
    case Use::FixedMessage:
      return "message (fixed text)";
    case Use::Column:
      return "tag list column " + std::to_string(entry.column);
  }
  return {};
}

CommandReport Texts(Run& run) {
  const MemorySurface& surface = run.session.Surface();
  const InterfaceText& texts = run.session.Dialog().Texts();
  Json list = Json::array();
  std::ostringstream table;
  for (const InterfaceTextEntry& entry : InterfaceTextTable()) {
    using Use = InterfaceTextEntry::Use;
    std::string text;
    switch (entry.use) {
      case Use::Caption:
      case Use::FixedCaption:
        text = surface.GetText(entry.controlId);
        break;
      case Use::Message:
      case Use::FixedMessage:
        text = texts.*entry.member;
        break;
      case Use::Column:
        text = surface.ListColumnHeading(idc::TagList, entry.column);
        break;
    }
    const std::string where = WhereShown(entry);
    list.push_back({{"key", std::string(entry.key)}, {"where", where}, {"text", text}});
    std::string shown = text;
    for (std::size_t at = 0; (at = shown.find("\r\n", at)) != std::string::npos;) {
      shown.replace(at, 2, "\\r\\n");
    }
    table << std::left << std::setw(42) << std::string(entry.key) << std::setw(30) << where << shown
          << '\n';
  }
  if (run.invocation.json) {
    run.out << JsonText(list) << '\n';
  } else {
    run.out << table.str();
  }
  return run.Finish(kExitOk, "ok");
}

CommandReport Ports(Run& run, const DialogPlatform& platform) {
  std::vector<AvailablePort> ports;
  try {
    if (platform.availablePorts) ports = platform.availablePorts();
  } catch (const std::exception& error) {
    return run.Fail(kExitFailed, error.what());
  }
  Json list = Json::array();
  std::ostringstream table;
  for (const AvailablePort& port : ports) {
    Json entry = {{"name", port.name},
                  {"displayName", port.displayName},
                  {"devicePath", port.devicePath},
                  {"portNumber", nullptr}};
    if (port.portNumber) entry["portNumber"] = *port.portNumber;
    list.push_back(std::move(entry));
    table << std::left << std::setw(10) << (port.name.empty() ? "-" : port.name) << std::setw(8)
          << (port.portNumber ? std::to_string(*port.portNumber) : "-") << std::setw(24)
          << port.devicePath << port.displayName << '\n';
  }
  if (run.invocation.json) {
    run.out << JsonText(list) << '\n';
  } else if (ports.empty()) {
    run.out << "No serial port found\n";
  } else {
    run.out << std::left << std::setw(10) << "Name" << std::setw(8) << "OpenCom" << std::setw(24)
            << "Device"
            << "Display name\n"
            << table.str();
  }
  return run.Finish(kExitOk, "ok");
}

}  // namespace

bool NeedsReader(const std::string& command) {
  return command != "texts" && command != "ports";
}

CommandReport RunCommand(const Invocation& invocation, ReaderDriver& driver,
                         DialogPlatform platform, std::ostream& out, std::ostream& err) {
  const DialogPlatform ports = platform;
  Session session(driver, std::move(platform));
  Run run{invocation, session, out, err, {}};
  if (const auto problem = session.SetLink(invocation.link)) {
    return run.Fail(kExitUsage, *problem, "refused");
  }
  const std::string& command = invocation.command;
  if (command == "read") return Read(run);
  if (command == "factory-default") return FactoryDefault(run);
  if (command == "export") return Export(run);
  if (command == "apply") return Apply(run);
  if (command == "address-get") return AddressCommand(run, false);
  if (command == "address-set") return AddressCommand(run, true);
  if (command == "read-tags") return ReadTags(run);
  if (command == "texts") return Texts(run);
  if (command == "ports") return Ports(run, ports);
  return run.Fail(kExitUsage, "unknown command " + command, "refused");
}

}  // namespace uhf::cli
