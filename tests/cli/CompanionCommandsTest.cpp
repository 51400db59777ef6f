// Each command of the companion against the simulated reader: the driver calls it makes, what it
// prints and its exit status.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CompanionTestSupport.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "driver/LoggingDriver.h"
#include "station/ReaderProfile.h"
#include "ui/MemorySurface.h"

namespace uhf::cli::testing {
namespace {

using Json = nlohmann::json;

SimState DistinctState() {
  SimState st = FactoryState(0, false);
  st.version = "V9.87-TEST";
  st.serial = {0x00, 0x0a, 0xff, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  st.passwordEnabled = 1;
  st.password = {0x7c, 0x1e, 0x94, 0xb2};
  st.regionStart = 865000;
  st.regionEnd = 867500;
  st.regionCount = 5;
  st.etsiBand = true;
  st.outPower = 17;
  st.address = 9;
  return st;
}

// ASCII `text` as little-endian UTF-16 bytes after `mark`.
std::string Utf16Le(const std::string& mark, const std::string& text) {
  std::string bytes = mark;
  for (const char c : text) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

TEST(ReadCommand, MakesTheWindowsReadAndPrintsTheReadersValues) {
  TempFolder folder;
  InstrumentedReader reader;
  reader.State() = DistinctState();
  Invocation read = Command("read");
  read.json = true;
  const CommandRun run = RunIt(read, reader, folder.Path());

  EXPECT_EQ(run.report.exitStatus, kExitOk) << run.err;
  EXPECT_EQ(reader.Calls(), WindowReadCalls());

  // The window's own dialog, read button pressed, makes the very same calls.
  InstrumentedReader windowReader;
  windowReader.State() = DistinctState();
  MemorySurface surface{MainDialogTemplate()};
  ReaderConfigDialog window(surface, windowReader, TestPlatform(folder.Path()));
  surface.SetNotificationHandler([&](int id, Notification n) { window.OnCommand(id, n); });
  window.OnInitDialog();
  surface.Click(idc::ReadConfig);
  EXPECT_EQ(reader.Calls(), windowReader.Calls());

  const Json json = Json::parse(run.out);
  EXPECT_EQ(json["versionText"], "V9.87-TEST");
  EXPECT_EQ(json["serialNumberText"], "SN:000aff010203040506070809");
  EXPECT_EQ(json["passwordEnabled"], true);
  EXPECT_EQ(json["checkPassword"], "7c1e94b2");
  EXPECT_EQ(json["frequencyPlan"]["band"], "ETSI");
  EXPECT_EQ(json["frequencyPlan"]["start"], 865000);
  EXPECT_EQ(json["frequencyPlan"]["end"], 867500);
  EXPECT_EQ(json["frequencyPlan"]["count"], 5);
  EXPECT_EQ(json["outPower"], 17);
  EXPECT_EQ(json["readerAddress"], 9);
  EXPECT_EQ(run.report.serialNumber, "SN:000aff010203040506070809");
  EXPECT_EQ(run.report.version, "V9.87-TEST");
}

TEST(ReadCommand, TableNamesEveryParameterWithItsUnit) {
  TempFolder folder;
  InstrumentedReader reader;
  const CommandRun run = RunIt(Command("read"), reader, folder.Path());
  ASSERT_EQ(run.report.exitStatus, kExitOk);
  for (const char* line : {"readTime            1 s", "outputTime          2 x 100 ms",
                           "tagInterval         5 s", "FCC 902000 to 926000 kHz"}) {
    EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
  }
}

TEST(ReadCommand, AFailedStepIsExitOneWithWhatTheWindowShowed) {
  struct Case {
    const char* failing;
    const char* shown;
    std::size_t calls;
  };
  for (const Case& c : {Case{"OpenCom", "连接失败", 1}, Case{"Handshake", "配置失败", 3},
                        Case{"UhfGetOutPower", "Get OutPowerFail!", 11},
                        Case{"UhfGetAddress", "Get Address Fail!", 14}}) {
    SCOPED_TRACE(c.failing);
    TempFolder folder;
    InstrumentedReader reader;
    reader.FailOn(c.failing);
    const CommandRun run = RunIt(Command("read"), reader, folder.Path());
    EXPECT_EQ(run.report.exitStatus, kExitFailed);
    EXPECT_NE(run.err.find(c.shown), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");  // no values are printed for a read that did not complete
    EXPECT_EQ(reader.Calls().size(), c.calls);
  }
}

TEST(ReadCommand, LinkOptionsSetTheWindowsLinkControls) {
  TempFolder folder;
  {
    InstrumentedReader reader;
    Invocation read = Command("read");
    read.link.kind = LinkKind::Serial;
    read.link.port = 3;
    read.link.baud = 9600;
    EXPECT_EQ(RunIt(read, reader, folder.Path()).report.exitStatus, kExitOk);
    ASSERT_FALSE(reader.Calls().empty());
    EXPECT_EQ(reader.Calls()[0], "OpenCom(2,9600)");
    // Other links read no Wiegand format.
    EXPECT_EQ(std::count(reader.Calls().begin(), reader.Calls().end(), "UhfGetWeigand(255)"), 0);
  }
  {
    InstrumentedReader reader;
    Invocation read = Command("read");
    read.link.kind = LinkKind::Tcp;
    read.link.reader = "10.0.0.5:4001";
    EXPECT_EQ(RunIt(read, reader, folder.Path()).report.exitStatus, kExitOk);
    EXPECT_EQ(reader.Calls()[0], "Net_Connect(\"192.168.1.2\",2000,\"10.0.0.5\",4001)");
    read.link.host = "10.0.0.9:2100";
    ProcessEnded(reader);
    EXPECT_EQ(RunIt(read, reader, folder.Path()).report.exitStatus, kExitOk);
    EXPECT_EQ(reader.Calls()[0], "Net_Connect(\"10.0.0.9\",2100,\"10.0.0.5\",4001)");
  }
  for (const auto& [kind, value] :
       {std::pair{LinkKind::Tcp, "10.0.0.5"}, std::pair{LinkKind::Tcp, "10.0.0.256:1"}}) {
    InstrumentedReader reader;
    Invocation read = Command("read");
    read.link.kind = kind;
    read.link.reader = value;
    EXPECT_EQ(RunIt(read, reader, folder.Path()).report.exitStatus, kExitUsage) << value;
    EXPECT_TRUE(reader.Calls().empty());
  }
}

TEST(FactoryDefaultCommand, SucceedsOnlyWhenTheWindowWouldShowSuccess) {
  TempFolder folder;
  InstrumentedReader reader;
  reader.State().outPower = 5;
  CommandRun run = RunIt(Command("factory-default"), reader, folder.Path());
  EXPECT_EQ(run.report.exitStatus, kExitOk) << run.err;
  EXPECT_EQ(run.out, "设置成功\n");
  EXPECT_EQ(reader.Calls().front(), "OpenCom(100,0)");
  EXPECT_EQ(reader.State().outPower, 33);

  for (const auto& [failing, shown] :
       {std::pair{"UhfSetWgOutByte", "Set Wiegand Output Settings Fail!"},
        std::pair{"UhfSetOutPower", "Factory Default Fail!"}, std::pair{"Handshake", "配置失败"}}) {
    InstrumentedReader failingReader;
    failingReader.FailOn(failing);
    run = RunIt(Command("factory-default"), failingReader, folder.Path());
    EXPECT_EQ(run.report.exitStatus, kExitFailed) << failing;
    EXPECT_NE(run.err.find(shown), std::string::npos) << run.err;
  }
}

TEST(ProfileCommands, ExportEditApplyReadsBackEqual) {
  TempFolder folder;
  InstrumentedReader reader;
  reader.State() = DistinctState();
  Invocation exportCmd = Command("export");
  exportCmd.file = folder / "reader.ini";
  ASSERT_EQ(RunIt(exportCmd, reader, folder.Path()).report.exitStatus, kExitOk);
  const std::string exported = ReadBytes(exportCmd.file);
  const std::string end(kProfileLineEnd);
  ASSERT_NE(exported.find(end + "outPower=17" + end), std::string::npos) << exported;
  // Every line ends as this platform's editors end them: CR LF on Windows, LF elsewhere.
  std::string lf;
  for (std::size_t i = 0; i < exported.size(); ++i) {
    if (exported.compare(i, 2, "\r\n") != 0) lf += exported[i];
  }
  EXPECT_EQ(lf.find('\r'), std::string::npos);
  EXPECT_EQ(WithLineEnds(lf, kProfileLineEnd), exported);

  std::string edited = exported;
  edited.replace(edited.find("outPower=17"), 11, "outPower=21");
  WriteBytes(exportCmd.file, edited);
  const SimState before = reader.State();
  ProcessEnded(reader);
  Invocation apply = Command("apply");
  apply.file = exportCmd.file;
  const CommandRun run = RunIt(apply, reader, folder.Path());
  EXPECT_EQ(run.report.exitStatus, kExitOk) << run.err << run.out;

  // A read, the save, a read back.
  const std::vector<std::string>& calls = reader.Calls();
  ASSERT_GT(calls.size(), 30u);
  const std::vector<std::string> firstRead(calls.begin(), calls.begin() + 15);
  EXPECT_EQ(firstRead, WindowReadCalls());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "UhfSetOutPower(255,21)"), calls.end());
  const std::vector<std::string> lastRead(calls.end() - 15, calls.end());
  EXPECT_EQ(lastRead, WindowReadCalls());

  SimState expected = before;
  expected.outPower = 21;
  EXPECT_EQ(reader.State(), expected);

  // Exporting again gives the edited profile.
  ProcessEnded(reader);
  ASSERT_EQ(RunIt(exportCmd, reader, folder.Path()).report.exitStatus, kExitOk);
  EXPECT_EQ(ReadBytes(exportCmd.file), edited);
}

TEST(ProfileCommands, ProfilesAsWindowsEditorsSaveThemApply) {
  struct Case {
    const char* name;
    std::string prefix;
    std::string lineEnd;
  };
  const Case cases[] = {
      {"byte order mark, CR LF", "\xEF\xBB\xBF", "\r\n"},
      {"byte order mark, LF", "\xEF\xBB\xBF", "\n"},
      {"no mark, CR LF", "", "\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    InstrumentedReader reader;
    // The mark stands right before the section line, where it would break the section's name.
    WriteBytes(folder / "p.ini", c.prefix + "[reader]" + c.lineEnd + "outPower=21" + c.lineEnd);
    Invocation apply = Command("apply");
    apply.file = folder / "p.ini";
    const CommandRun run = RunIt(apply, reader, folder.Path());
    EXPECT_EQ(run.report.exitStatus, kExitOk) << run.err;
    EXPECT_EQ(reader.State().outPower, 21);
  }
}

TEST(ProfileCommands, ApplyChangesBandAndFormatLikeAnOperator) {
  TempFolder folder;
  InstrumentedReader reader;       // FCC band, 26-bit format
  reader.State().etsiBand = true;  // the reader accepts ETSI plans only
  WriteBytes(folder / "p.ini",
             "[reader]\nfrequencyBand=ETSI\nfrequencyStart=865500\nfrequencyEnd=867000\n"
             "wiegandFormat=34\n");
  Invocation apply = Command("apply");
  apply.file = folder / "p.ini";
  const CommandRun run = RunIt(apply, reader, folder.Path());
  EXPECT_EQ(run.report.exitStatus, kExitOk) << run.err << run.out;
  EXPECT_EQ(reader.State().regionStart, 865500);
  EXPECT_EQ(reader.State().regionEnd, 867000);
  EXPECT_EQ(reader.State().regionCount, 3);
  EXPECT_EQ(reader.State().weigand, 0x34);
}

TEST(ProfileCommands, ValuesReadBackInTheirShownFormCompareEqual) {
  TempFolder folder;
  InstrumentedReader reader;
  WriteBytes(folder / "p.ini",
             "[reader]\nreadTime = 007\ncheckPassword=ABCDEF12\npasswordEnabled=1\n");
  Invocation apply = Command("apply");
  apply.file = folder / "p.ini";
  const CommandRun run = RunIt(apply, reader, folder.Path());
  EXPECT_EQ(run.report.exitStatus, kExitOk) << run.err << run.out;
  EXPECT_EQ(reader.State().triggerTime, 7);
  EXPECT_EQ(reader.State().password, (std::array<std::uint8_t, 4>{0xab, 0xcd, 0xef, 0x12}));
}

TEST(ProfileCommands, AFailingSaveIsExitOne) {
  TempFolder folder;
  InstrumentedReader reader;
  reader.FailOn("UhfSetAddress");
  WriteBytes(folder / "p.ini", "[reader]\nreaderAddress=5\n");
  Invocation apply = Command("apply");
  apply.file = folder / "p.ini";
  const CommandRun run = RunIt(apply, reader, folder.Path());
  EXPECT_EQ(run.report.exitStatus, kExitFailed);
  EXPECT_NE(run.err.find("Set Address Fail!"), std::string::npos) << run.err;
}

TEST(ProfileCommands, AReadBackThatDiffersIsExitFour) {
  TempFolder folder;
  const SimOptions shared{folder / "reader.ini", 0, false};
  InstrumentedReader reader(shared);
  InstrumentedReader other(shared);  // another process working on the same reader
  ASSERT_EQ(other.OpenCom(100, 115200), 0);
  // Right after the save writes the interval, the other process sets it back.
  LoggingDriver meddled(reader, [&other](std::string_view line) {
    if (line.find(" UhfSetReadTagIntervalTime(") != std::string_view::npos) {
      other.UhfSetReadTagIntervalTime(ReaderBusAddress, 5);
    }
  });
  WriteBytes(folder / "p.ini", "[reader]\ntagInterval=9\nbuzzer=0\n");
  Invocation apply = Command("apply");
  apply.file = folder / "p.ini";
  const CommandRun run = RunIt(apply, meddled, folder.Path());
  EXPECT_EQ(run.report.exitStatus, kExitDiffers) << run.err;
  EXPECT_EQ(run.out, "tagInterval: wrote 9, reads back 5\n");
  EXPECT_EQ(reader.State().buzzer, 0);
}

TEST(ProfileCommands, BadProfilesAreRefusedBeforeAnythingIsWritten) {
  struct Case {
    const char* name;
    std::uint8_t kind;
    std::string profile;
    const char* error;
  };
  const Case cases[] = {
      {"unknown key", 0, "[reader]\nbuzzer=1\nvolume=3\n", "line 3: unknown key \"volume\""},
      {"malformed line", 0, "[reader]\nbuzzer 1\n", "line 2: malformed line"},
      {"key twice", 0, "[reader]\nbuzzer=1\n\nbuzzer=0\n", "line 4: \"buzzer\" given twice"},
      {"no section", 0, "buzzer=1\n", "line 1: \"buzzer\" before the [reader] section"},
      {"power out of range for kind 1", 1, "[reader]\n; comment\noutPower=30\n",
       "line 3: outPower=30: must be a whole number from 18 to 26"},
      {"power within range of another kind", 0, "[reader]\noutPower=34\n", "line 2: outPower=34"},
      {"read time 255", 0, "[reader]\nreadTime=255\n", "line 2: readTime=255"},
      {"frequency off the raster", 0, "[reader]\nfrequencyStart=902100\n",
       "line 2: frequencyStart=902100"},
      {"frequency of the other band", 0, "[reader]\nfrequencyEnd=866000\n",
       "line 2: frequencyEnd=866000"},
      {"start above end", 0, "[reader]\nfrequencyStart=910000\nfrequencyEnd=905000\n",
       "line 2: frequencyStart=910000"},
      {"channels on a frequency reader", 0, "[reader]\nchannelStart=1\n",
       "line 2: \"channelStart\" is not a setting of this reader"},
      {"channel 64", 2, "[reader]\nchannelEnd=64\n", "line 2: channelEnd=64"},
      {"password not hexadecimal", 0, "[reader]\ncheckPassword=12345g78\n",
       "line 2: checkPassword=12345g78"},
      {"length with the USB link", 0, "[reader]\nwiegandLength=3\n",
       "line 2: \"wiegandLength\" is not a setting"},
      // Saved as "Unicode" by a Windows editor: little- or big-endian, with or without the mark.
      {"UTF-16 LE", 0, Utf16Le("\xFF\xFE", "[reader]\r\nbuzzer=1\r\n"), "save it as UTF-8"},
      {"UTF-16 BE", 0, "\xFE\xFF", "save it as UTF-8"},
      {"UTF-16 LE without a mark", 0, Utf16Le("", "[reader]\nbuzzer=1\n"), "save it as UTF-8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    InstrumentedReader reader;
    reader.State() = FactoryState(c.kind, false);
    WriteBytes(folder / "bad.ini", c.profile);
    Invocation apply = Command("apply");
    apply.file = folder / "bad.ini";
    const SimState before = reader.State();
    const CommandRun run = RunIt(apply, reader, folder.Path());
    EXPECT_EQ(run.report.exitStatus, kExitUsage);
    EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    EXPECT_FALSE(AnyWrite(reader.Calls()));
    EXPECT_EQ(reader.State(), before);
  }
}

TEST(AddressCommands, SetAndGetThroughTheAddressHandlers) {
  TempFolder folder;
  InstrumentedReader reader;
  Invocation set = Command("address-set");
  set.address = 7;
  EXPECT_EQ(RunIt(set, reader, folder.Path()).report.exitStatus, kExitOk);
  std::vector<std::string> expected = WindowReadCalls();
  expected.push_back("UhfSetAddress(255,7)");
  EXPECT_EQ(reader.Calls(), expected);
  EXPECT_EQ(reader.State().address, 7);

  ProcessEnded(reader);
  Invocation get = Command("address-get");
  get.json = true;
  const CommandRun run = RunIt(get, reader, folder.Path());
  EXPECT_EQ(run.report.exitStatus, kExitOk);
  EXPECT_EQ(Json::parse(run.out)["readerAddress"], 7);
  expected = WindowReadCalls();
  expected.push_back("Get_Version(255)");
  expected.push_back("UhfGetAddress(255)");
  EXPECT_EQ(reader.Calls(), expected);

  ProcessEnded(reader);
  reader.FailOn("UhfSetAddress");
  const CommandRun failed = RunIt(set, reader, folder.Path());
  EXPECT_EQ(failed.report.exitStatus, kExitFailed);
  EXPECT_NE(failed.err.find("Set Address Fail!"), std::string::npos);
}

TEST(ReadTagsCommand, CountsReadsAndSplitsTheWiegandFrame) {
  TempFolder folder;
  InstrumentedReader reader;
  reader.State().tags = {{0xe2, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0, 0x11, 0x22}};
  reader.State().wgOutRecord = {1, 4, 3, 0};  // start byte 4, forward
  Invocation tags = Command("read-tags");
  tags.count = 3;
  tags.way = TagWay::Decimal;
  tags.json = true;
  tags.csv = folder / "tags.csv";
  const CommandRun run = RunIt(tags, reader, folder.Path());
  ASSERT_EQ(run.report.exitStatus, kExitOk) << run.err;
  EXPECT_EQ(std::count(reader.Calls().begin(), reader.Calls().end(), "UhfReadTag(255)"), 3);

  const Json json = Json::parse(run.out);
  ASSERT_EQ(json["tags"].size(), 1u);
  const Json& row = json["tags"][0];
  EXPECT_EQ(row["cardNumber"], "05666970");
  EXPECT_EQ(row["successTimes"], "3");
  EXPECT_EQ(row["wiegand"]["facilityCode"], 0x56);
  EXPECT_EQ(row["wiegand"]["cardNumber"], 0x789a);
  EXPECT_EQ(row["wiegand"]["frame"], "10101011001111000100110100");
  EXPECT_EQ(ReadBytes(*tags.csv),
            "No.,Card Number,Success Times,EPC Length,Frame Bits,Facility Code,Card,Even Parity,"
            "Odd Parity,Frame\r\n"
            "1,05666970,3,12,26,86,30874,1,0,10101011001111000100110100\r\n");

  // The whole EPC in hexadecimal: no Wiegand frame.
  ProcessEnded(reader);
  tags.way = TagWay::Hex;
  tags.csv.reset();
  const Json hex = Json::parse(RunIt(tags, reader, folder.Path()).out);
  EXPECT_EQ(hex["tags"][0]["cardNumber"], "e200123456789abcdef01122");
  EXPECT_FALSE(hex["tags"][0].contains("wiegand"));
}

TEST(ReadTagsCommand, NoTagReadIsExitOne) {
  TempFolder folder;
  InstrumentedReader reader;
  reader.State().tags.clear();
  const CommandRun run = RunIt(Command("read-tags"), reader, folder.Path());
  EXPECT_EQ(run.report.exitStatus, kExitFailed);
  EXPECT_NE(run.err.find("no tag was read"), std::string::npos);
}

TEST(TextsCommand, ShowsTheTextsOfAGbkConfigIni) {
  TempFolder folder;
  // RF_POWER=功率 and MESSAGE_SAVED=保存 in GBK; BUTTON_READ_CONF cannot change its caption.
  WriteBytes(folder / "config.ini",
             "[Lan]\r\nRF_POWER=\xb9\xa6\xc2\xca\r\nMESSAGE_SAVED=\xb1\xa3\xb4\xe6\r\n"
             "BUTTON_READ_CONF=Lesen\r\nLIST_NO=Nr.\r\n");
  InstrumentedReader reader;
  Invocation texts = Command("texts");
  texts.json = true;
  const CommandRun run = RunIt(texts, reader, folder.Path());
  ASSERT_EQ(run.report.exitStatus, kExitOk);
  EXPECT_TRUE(reader.Calls().empty());
  const Json list = Json::parse(run.out);
  const auto find = [&](const std::string& key, const std::string& where) {
    for (const Json& entry : list) {
      if (entry["key"] == key && entry["where"] == where) return entry["text"].get<std::string>();
    }
    return std::string("<missing>");
  };
  EXPECT_EQ(find("RF_POWER", "control 1040"), "功率");
  EXPECT_EQ(find("MESSAGE_SAVED", "message"), "保存");
  EXPECT_EQ(find("BUTTON_READ_CONF", "control 1028 (fixed caption)"), "获取配置信息");
  EXPECT_EQ(find("LIST_NO", "tag list column 0"), "Nr.");
  EXPECT_EQ(find("TIME", "control 1089"), "Time");
  EXPECT_EQ(find("RF_HZ", "control 1043"), "kHz");
}

TEST(PortsCommand, ListsWhatTheDiscoveryFinds) {
  TempFolder folder;
  InstrumentedReader reader;
  DialogPlatform platform = TestPlatform(folder.Path());
  AvailablePort port;
  port.name = "COM3";
  port.displayName = "USB Serial Port (COM3)";
  port.devicePath = "\\\\.\\COM3";
  port.portNumber = 3;
  platform.availablePorts = [port] { return std::vector<AvailablePort>{port}; };
  std::ostringstream out;
  std::ostringstream err;
  Invocation ports = Command("ports");
  ports.json = true;
  EXPECT_EQ(RunCommand(ports, reader, platform, out, err).exitStatus, kExitOk);
  const Json list = Json::parse(out.str());
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]["name"], "COM3");
  EXPECT_EQ(list[0]["devicePath"], "\\\\.\\COM3");
  EXPECT_EQ(list[0]["displayName"], "USB Serial Port (COM3)");
  EXPECT_EQ(list[0]["portNumber"], 3);

  platform.availablePorts = []() -> std::vector<AvailablePort> {
    throw PortEnumerationError("SetupDiGetClassDevs failed. (err=5)");
  };
  std::ostringstream failedOut;
  std::ostringstream failedErr;
  EXPECT_EQ(RunCommand(ports, reader, platform, failedOut, failedErr).exitStatus, kExitFailed);
  EXPECT_NE(failedErr.str().find("SetupDiGetClassDevs failed"), std::string::npos);
}

}  // namespace
}  // namespace uhf::cli::testing
