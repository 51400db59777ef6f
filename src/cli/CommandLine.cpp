#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <memory>
#include <ostream>
#include <thread>

#include "cli/Commands.h"
#include "cli/Fleet.h"
#include "cli/FleetList.h"
#include "cli/NoDriver.h"
#include "cli/Station.h"
#include "cli/StationLog.h"
#include "cli/StopRequest.h"
#include "driver/LibraryDriver.h"
#include "driver/LoggingDriver.h"
#include "files/FileLock.h"
#include "text/Utf8Path.h"

namespace uhf::cli {

namespace {

constexpr const char* kVersion = "1.0";

constexpr const char* kExitStatuses =
    "Exit status:\n"
    "  0  success\n"
    "  1  the reader or a write failed (the status text, e.g. 连接失败 or 配置失败, on stderr)\n"
    "  2  bad usage or a refused profile; nothing was written\n"
    "  3  the driver library could not be bound\n"
    "  4  apply wrote the profile but the read-back differs";

constexpr const char* kStationExitStatuses =
    "Exit status:\n"
    "  0  every reader ok\n"
    "  1  a reader failed (or the station log could not be written)\n"
    "  2  bad usage or a refused profile; nothing was written\n"
    "  3  the driver library could not be bound\n"
    "  4  a reader read back differently from what was written, and none failed";

constexpr const char* kFleetExitStatuses =
    "Exit status:\n"
    "  0  every reader ok\n"
    "  1  a reader failed or was not started (or the station log could not be written)\n"
    "  2  a malformed reader list or a refused profile; no reader was touched\n"
    "  4  a reader read back differently from what was written, and none failed\n"
    "The reader list: one reader a line, IP:PORT and an optional name; # starts a comment.\n"
    "With fleet, --log names a folder: one exchange log per reader, IP_PORT.log.";

struct Globals {
  std::string link = "usb";
  std::optional<int> port;
  std::optional<int> baud;
  std::string reader;
  std::string host;
  std::string driverFile;
  std::string logFile;
  std::string stationLog;
  bool version = false;
};

std::unique_ptr<LibraryDriver> Bind(const Globals& globals, std::string& error) {
  if (!globals.driverFile.empty()) {
    return LibraryDriver::LoadFile(Utf8Path(globals.driverFile), error);
  }
  return LibraryDriver::Load(LibraryDriver::PlatformLibraryName(), error);
}

std::string CommandText(const Invocation& inv) {
  if (inv.command == "export" || inv.command == "apply") {
    return inv.command + " " + PathText(inv.file);
  }
  if (inv.command == "address-set") return "address set " + std::to_string(inv.address);
  if (inv.command == "address-get") return "address get";
  if (inv.command == "read-tags") return "read-tags " + std::to_string(inv.count);
  return inv.command;
}

// The link options as the session takes them; an error text for combinations that mean nothing.
std::optional<std::string> LinkFrom(const Globals& g, LinkOptions& link) {
  if (g.link == "serial") {
    if (!g.port) return "--link serial needs --port N";
    link.kind = LinkKind::Serial;
    link.port = *g.port;
    link.baud = g.baud;
  } else if (g.link == "tcp") {
    if (g.reader.empty()) return "--link tcp needs --reader IP:PORT";
    link.kind = LinkKind::Tcp;
    link.reader = g.reader;
    link.host = g.host;
  }
  if (g.link != "serial" && (g.port || g.baud)) return "--port and --baud need --link serial";
  if (g.link != "tcp" && (!g.reader.empty() || !g.host.empty())) {
    return "--reader and --host need --link tcp";
  }
  return std::nullopt;
}

// The window's platform, minus what this command cannot use: the serial port discovery serves only
// a serial link and `ports`, this computer's address only a network link without --host. Neither
// changes a driver call; leaving them out spares a walk of the device tree and a name lookup.
DialogPlatform CompanionPlatform(const Invocation& inv) {
  DialogPlatform platform = SystemDialogPlatform();
  if (inv.link.kind != LinkKind::Serial && inv.command != "ports") platform.availablePorts = {};
  if (inv.link.kind != LinkKind::Tcp || !inv.link.host.empty()) platform.hostAddress = {};
  return platform;
}

// The station command: the driver bound, the exchange log around it when asked, Ctrl+C caught.
int Station(const Globals& g, const StationOptions& options, DialogPlatform platform,
            std::ostream& out, std::ostream& err) {
  std::string error;
  std::unique_ptr<LibraryDriver> library = Bind(g, error);
  if (!library) {
    err << "uhf-readerctl: " << error << '\n';
    return kExitNoDriver;
  }
  ReaderDriver* driver = library.get();
  std::unique_ptr<ReaderDriver> logged;
  if (!g.logFile.empty()) {
    logged = std::make_unique<LoggingDriver>(
        *driver, [file = Utf8Path(g.logFile), &err](std::string_view line) {
          std::string failure;
          if (!AppendLineLocked(file, line, failure)) {
            err << "uhf-readerctl: exchange log: " << failure << '\n';
          }
        });
    driver = logged.get();
  }
  CatchStopRequests();
  StationHooks hooks;
  hooks.sleep = [](std::chrono::milliseconds pause) {
    // In short steps, so that a stop request while waiting is taken at once.
    const auto end = std::chrono::steady_clock::now() + pause;
    while (!StopRequested()) {
      const auto left = end - std::chrono::steady_clock::now();
      if (left <= std::chrono::steady_clock::duration::zero()) break;
      std::this_thread::sleep_for(
          std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(50)));
    }
  };
  hooks.now = [] { return std::chrono::steady_clock::now(); };
  hooks.time = [] { return ExchangeLogTime(); };
  hooks.stopRequested = [] { return StopRequested(); };
  const int status = RunStation(options, *driver, std::move(platform), hooks, out, err);
  StopFinished();
  return status;
}

}  // namespace

int CompanionMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  // File names are taken as UTF-8 text (the wide command line on Windows, converted) and made
  // into paths through Utf8Path, never through the ANSI code page.
  CLI::App app{
      "Configures a UHF RFID reader from a script or a terminal with the reader tool's own "
      "operations.",
      "uhf-readerctl"};
  app.fallthrough();
  app.footer(kExitStatuses);
  app.set_help_all_flag("--help-all", "Print the help of every command");

  Globals g;
  Invocation inv;
  app.add_option("--link", g.link, "How the reader is connected (default usb)")
      ->type_name("usb|serial|tcp")
      ->check(CLI::IsMember({"usb", "serial", "tcp"}));
  app.add_option("--port", g.port, "Serial port number N, as in COM N (--link serial)")
      ->type_name("N");
  app.add_option("--baud", g.baud, "Serial baud rate: 9600 to 115200 (--link serial)")
      ->type_name("B");
  app.add_option("--reader", g.reader, "Reader's IP:PORT (--link tcp)")->type_name("IP:PORT");
  app.add_option("--host", g.host, "This computer's IP:PORT (--link tcp)")->type_name("IP:PORT");
  app.add_option("--driver", g.driverFile,
                 "Bind this driver library file instead of searching for " +
                     std::string(LibraryDriver::PlatformLibraryName()))
      ->type_name("FILE");
  app.add_option("--log", g.logFile, "Append the exchange log (one line per driver call) to FILE")
      ->type_name("FILE");
  app.add_option("--station-log", g.stationLog, "Append one CSV line per command to FILE")
      ->type_name("FILE");
  app.add_flag("--json", inv.json, "Print JSON instead of text");
  app.add_flag("--version", g.version, "Print the version and the bound driver library");

  auto* read = app.add_subcommand("read", "Read the whole configuration (获取配置信息)");
  auto* factory =
      app.add_subcommand("factory-default", "Restore the factory configuration (出厂默认设置)");
  auto* exportCmd = app.add_subcommand("export", "Read, then write the configuration as a profile");
  std::string file;
  exportCmd->add_option("FILE", file, "Profile to write")->required();
  auto* apply = app.add_subcommand(
      "apply", "Read, write the profile's values with the save operation, read back and compare");
  apply->add_option("FILE", file, "Profile to apply")->required();
  auto* address = app.add_subcommand("address", "The address stored in the reader");
  address->require_subcommand(1);
  auto* addressGet = address->add_subcommand("get", "Read the stored address");
  auto* addressSet = address->add_subcommand("set", "Write the stored address");
  addressSet->add_option("N", inv.address, "Address 0 to 255")
      ->required()
      ->check(CLI::Range(0, 255));
  auto* readTags = app.add_subcommand("read-tags", "Read tags into the tag list and print it");
  readTags->add_option("--count", inv.count, "Number of reads (default 1)")
      ->type_name("N")
      ->check(CLI::Range(1, 100000));
  std::string way = "read";
  readTags
      ->add_option("--way", way,
                   "read: the Read Tag button; usb: the decimal Wiegand read; hex: the whole "
                   "EPC; decimal: the decimal test read")
      ->check(CLI::IsMember({"read", "usb", "hex", "decimal"}));
  std::string csv;
  readTags->add_option("--csv", csv, "Also write the list to FILE as CSV")->type_name("FILE");
  auto* texts = app.add_subcommand(
      "texts", "Every interface text in effect for the config.ini of the current directory");
  auto* ports = app.add_subcommand("ports", "The serial ports the discovery finds");
  for (CLI::App* command : {read, factory, exportCmd, apply, address, readTags, texts, ports}) {
    command->footer(kExitStatuses);
  }
  auto* station = app.add_subcommand(
      "station",
      "Configure every reader plugged in, one after another: the job, a full read back compared "
      "with what was meant, one line per reader; then wait for it to be unplugged");
  bool stationFactory = false;
  std::string stationProfile;
  int pollMs = 300;
  int stationCount = 0;
  station->add_flag("--factory-default", stationFactory,
                    "The job: the factory configuration, as 出厂默认设置 writes it");
  station
      ->add_option("--apply", stationProfile, "The job: the profile's values, as apply writes them")
      ->type_name("PROFILE");
  station->add_option("--poll-ms", pollMs, "Look for a reader every MS milliseconds (default 300)")
      ->type_name("MS")
      ->check(CLI::Range(1, 600000));
  station->add_option("--count", stationCount, "Stop after N readers (default: until Ctrl+C)")
      ->type_name("N")
      ->check(CLI::Range(1, 100000000));
  station->footer(kStationExitStatuses);
  auto* fleet = app.add_subcommand(
      "fleet",
      "Run read, export, apply or factory-default on every networked reader of a list, several at "
      "once, each as its own uhf-readerctl process; then one line per reader");
  std::string fleetReaders;
  std::string fleetTarget;
  int fleetParallel = 8;
  double fleetTimeout = 30;
  fleet->add_option("--readers", fleetReaders, "The reader list")->type_name("FILE")->required();
  fleet->add_option("-j", fleetParallel, "At most N readers at once (default 8)")
      ->type_name("N")
      ->check(CLI::Range(1, 1024));
  fleet
      ->add_option("--timeout", fleetTimeout,
                   "A reader not done in S seconds is ended and fails (default 30)")
      ->type_name("S")
      ->check(CLI::Range(0.01, 86400.0));
  fleet->require_subcommand(1);
  auto* fleetRead = fleet->add_subcommand("read", "Read each reader's configuration");
  auto* fleetExport = fleet->add_subcommand(
      "export", "Write each reader's profile into DIR, named by its serial number");
  fleetExport->add_option("DIR", fleetTarget, "Folder of the profiles")->required();
  auto* fleetApply = fleet->add_subcommand("apply", "Apply the profile to each reader");
  fleetApply->add_option("PROFILE", fleetTarget, "Profile to apply")->required();
  auto* fleetFactory =
      fleet->add_subcommand("factory-default", "Restore each reader's factory configuration");
  fleet->footer(kFleetExitStatuses);

  try {
    app.parse(argc, argv);
    if (!g.version && app.get_subcommands().empty()) {
      throw CLI::RequiredError(
          "a command (read, factory-default, export, apply, address, "
          "read-tags, texts, ports, station, fleet)");
    }
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e, out, err);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e, out, err);
  } catch (const CLI::ParseError& e) {
    app.exit(e, out, err);
    return kExitUsage;
  }

  if (g.version) {
    out << "uhf-readerctl " << kVersion << '\n';
    std::string error;
    std::unique_ptr<LibraryDriver> driver = Bind(g, error);
    if (!driver) {
      err << "uhf-readerctl: " << error << '\n';
      return kExitNoDriver;
    }
    out << "driver library: " << driver->File()
        << (driver->Simulated() ? " (the simulated reader)" : " (not the simulated reader)")
        << '\n';
    return kExitOk;
  }

  if (read->parsed()) inv.command = "read";
  if (factory->parsed()) inv.command = "factory-default";
  if (exportCmd->parsed()) inv.command = "export";
  if (apply->parsed()) inv.command = "apply";
  if (addressGet->parsed()) inv.command = "address-get";
  if (addressSet->parsed()) inv.command = "address-set";
  if (readTags->parsed()) inv.command = "read-tags";
  if (texts->parsed()) inv.command = "texts";
  if (ports->parsed()) inv.command = "ports";
  if (station->parsed()) inv.command = "station";
  if (fleet->parsed()) {
    if (g.link != "usb" && g.link != "tcp") {
      err << "uhf-readerctl: fleet reaches its readers over the network (--link tcp)\n";
      return kExitUsage;
    }
    if (g.port || g.baud || !g.reader.empty()) {
      err << "uhf-readerctl: fleet takes its readers from --readers; --port, --baud and --reader "
             "do not apply\n";
      return kExitUsage;
    }
    if (!g.host.empty() && !IsEndpoint(g.host)) {
      err << "uhf-readerctl: --host must be IP:PORT, for example 192.168.1.2:2000\n";
      return kExitUsage;
    }
    FleetOptions options;
    options.readers = Utf8Path(fleetReaders);
    options.job = fleetExport->parsed()  ? FleetJob::Export
                  : fleetApply->parsed() ? FleetJob::Apply
                  : fleetRead->parsed()  ? FleetJob::Read
                                         : FleetJob::FactoryDefault;
    (void)fleetFactory;
    options.target = Utf8Path(fleetTarget);
    options.parallel = fleetParallel;
    options.timeout = std::chrono::milliseconds(static_cast<long long>(fleetTimeout * 1000));
    options.program = OwnProgram();
    options.host = g.host;
    options.driver = g.driverFile;
    options.logDir = Utf8Path(g.logFile);
    options.stationLog = Utf8Path(g.stationLog);
    options.json = inv.json;
    options.liveStatus = ErrorsGoToTerminal();
    CatchStopRequests();
    FleetHooks hooks;
    hooks.stopRequested = [] { return StopRequested(); };
    const int status = RunFleet(options, hooks, out, err);
    StopFinished();
    return status;
  }
  inv.way = way == "usb"       ? TagWay::Usb
            : way == "hex"     ? TagWay::Hex
            : way == "decimal" ? TagWay::Decimal
                               : TagWay::Read;
  inv.file = Utf8Path(file);
  if (!csv.empty()) inv.csv = Utf8Path(csv);
  if (const auto problem = LinkFrom(g, inv.link)) {
    err << "uhf-readerctl: " << *problem << '\n';
    return kExitUsage;
  }

  if (inv.command == "station") {
    if (stationFactory == !stationProfile.empty()) {
      err << "uhf-readerctl: station needs one job: --factory-default or --apply PROFILE\n";
      return kExitUsage;
    }
    StationOptions options;
    options.job = stationFactory ? StationJob::FactoryDefault : StationJob::Apply;
    options.profile = Utf8Path(stationProfile);
    options.link = inv.link;
    options.poll = std::chrono::milliseconds(pollMs);
    options.count = stationCount;
    options.json = inv.json;
    options.liveStatus = ErrorsGoToTerminal();
    options.stationLog = Utf8Path(g.stationLog);
    return Station(g, options, CompanionPlatform(inv), out, err);
  }

  CommandReport report;
  std::unique_ptr<LibraryDriver> library;
  std::unique_ptr<ReaderDriver> logged;
  NoDriver none;
  ReaderDriver* driver = &none;
  if (NeedsReader(inv.command)) {
    std::string error;
    library = Bind(g, error);
    if (!library) {
      err << "uhf-readerctl: " << error << '\n';
      report = {kExitNoDriver, "no driver", {}, {}};
    } else {
      driver = library.get();
    }
  }
  if (report.exitStatus == kExitOk) {
    if (!g.logFile.empty()) {
      logged = std::make_unique<LoggingDriver>(
          *driver,
          [file = Utf8Path(g.logFile), &err, warned = false](std::string_view line) mutable {
            std::string error;
            if (!AppendLineLocked(file, line, error) && !warned) {
              err << "uhf-readerctl: exchange log: " << error << '\n';
              warned = true;
            }
          });
      driver = logged.get();
    }
    report = RunCommand(inv, *driver, CompanionPlatform(inv), out, err);
  }

  if (!g.stationLog.empty()) {
    std::string error;
    const std::string line =
        StationLogLine(ExchangeLogTime(), CommandText(inv), LinkText(inv.link), report);
    if (!AppendStationLog(Utf8Path(g.stationLog), line, error)) {
      err << "uhf-readerctl: station log: " << error << '\n';
      if (report.exitStatus == kExitOk) return kExitFailed;
    }
  }
  return report.exitStatus;
}

}  // namespace uhf::cli
