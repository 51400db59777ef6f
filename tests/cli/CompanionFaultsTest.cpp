// Faults the companion must not have: a profile written from a read that failed, profile checks
// that ignore the link or end a range one early or late, a profile with two [reader] sections,
// a read that loses the Wiegand output length on the USB link, and JSON that stops at bytes that
// are no UTF-8.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CompanionTestSupport.h"

namespace uhf::cli::testing {
namespace {

using Json = nlohmann::json;

Invocation Apply(const fs::path& file, LinkKind link) {
  Invocation apply = Command("apply");
  apply.file = file;
  apply.link.kind = link;
  if (link == LinkKind::Serial) apply.link.port = 3;
  return apply;
}

TEST(ExportCommand, AReadThatFailedWritesNoProfile) {
  // A failed open, a failed handshake, reads that stop and reads that only end red.
  for (const char* failing : {"OpenCom", "Handshake", "UhfGetBuzzer", "UhfGetWgOutByte",
                              "Get_SerNum", "UhfGetAddress", "UhfGetFrequencyRegion"}) {
    SCOPED_TRACE(failing);
    TempFolder folder;
    InstrumentedReader reader;
    reader.FailOn(failing);
    Invocation exportCmd = Command("export");
    exportCmd.file = folder / "line7.ini";
    WriteBytes(exportCmd.file, "; the profile of an earlier reader\n");
    const CommandRun run = RunIt(exportCmd, reader, folder.Path());
    EXPECT_EQ(run.report.exitStatus, kExitFailed);
    EXPECT_EQ(run.report.result, "failed");
    EXPECT_EQ(ReadBytes(exportCmd.file), "; the profile of an earlier reader\n");
    EXPECT_EQ(run.out.find("written"), std::string::npos) << run.out;
  }
}

// Each key is judged for the link the profile is applied over: the format goes with the USB
// link, the length with the others.
TEST(ProfileChecks, JudgeEveryKeyByTheLink) {
  struct Case {
    const char* what;
    LinkKind link;
    const char* profile;
    int exitStatus;
    std::function<bool(const SimState&)> written;  // for an accepted profile
  };
  const Case cases[] = {
      {"format over serial", LinkKind::Serial, "[reader]\nwiegandFormat=34\n", kExitUsage, {}},
      {"length over USB", LinkKind::Usb, "[reader]\nwiegandLength=4\n", kExitUsage, {}},
      {"length over serial", LinkKind::Serial, "[reader]\nwiegandLength=2\n", kExitOk,
       [](const SimState& st) {
         return st.wgOutRecord == std::array<std::uint8_t, 4>{1, 0, 2, 0};
       }},
      {"format over USB", LinkKind::Usb, "[reader]\nwiegandFormat=34\n", kExitOk,
       [](const SimState& st) {
         return st.weigand == 0x34 && st.wgOutRecord == std::array<std::uint8_t, 4>{1, 8, 4, 0};
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    InstrumentedReader reader;
    const SimState before = reader.State();
    WriteBytes(folder / "p.ini", c.profile);
    const CommandRun run = RunIt(Apply(folder / "p.ini", c.link), reader, folder.Path());
    EXPECT_EQ(run.report.exitStatus, c.exitStatus) << run.err;
    if (c.exitStatus == kExitUsage) {
      EXPECT_NE(run.err.find("is not a setting of this reader"), std::string::npos) << run.err;
      EXPECT_FALSE(AnyWrite(reader.Calls()));
      EXPECT_EQ(reader.State(), before);
    } else {
      EXPECT_TRUE(c.written(reader.State()));
    }
  }
}

// The last value a range allows is taken and written; one beyond it is refused before anything
// is written (exit 2), never left for the reader or the save to fail on.
TEST(ProfileChecks, RangesEndWhereTheReaderEnds) {
  struct Case {
    const char* what;
    std::uint8_t kind;
    LinkKind link;
    const char* profile;
    int exitStatus;
    std::function<bool(const SimState&)> written;
  };
  const auto plan = [](std::int32_t start, std::int32_t end) {
    return [=](const SimState& st) { return st.regionStart == start && st.regionEnd == end; };
  };
  const auto length = [](std::uint8_t bytes) {
    return [=](const SimState& st) { return st.wgOutRecord[2] == bytes; };
  };
  const Case cases[] = {
      {"channel 63", 2, LinkKind::Usb, "[reader]\nchannelStart=2\nchannelEnd=63\n", kExitOk,
       plan(2, 63)},
      {"channels 63 to 63", 2, LinkKind::Usb, "[reader]\nchannelStart=63\n", kExitOk, plan(63, 63)},
      {"channel 64", 2, LinkKind::Usb, "[reader]\nchannelEnd=64\n", kExitUsage, {}},
      {"channel 0", 2, LinkKind::Usb, "[reader]\nchannelStart=0\n", kExitUsage, {}},
      // The reader's start byte is 4: at most 8 bytes follow it.
      {"length 8 after start byte 4", 0, LinkKind::Serial, "[reader]\nwiegandLength=8\n", kExitOk,
       length(8)},
      {"length 9 after start byte 4",
       0,
       LinkKind::Serial,
       "[reader]\nwiegandLength=9\n",
       kExitUsage,
       {}},
      {"length 0", 0, LinkKind::Serial, "[reader]\nwiegandLength=0\n", kExitUsage, {}},
      {"last FCC frequency", 0, LinkKind::Usb, "[reader]\nfrequencyEnd=928000\n", kExitOk,
       plan(902000, 928000)},
      {"beyond the FCC band", 0, LinkKind::Usb, "[reader]\nfrequencyEnd=928500\n", kExitUsage, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    InstrumentedReader reader;
    reader.State() = FactoryState(c.kind, false);
    reader.State().wgOutRecord = {1, 4, 3, 0};
    const SimState before = reader.State();
    WriteBytes(folder / "p.ini", c.profile);
    const CommandRun run = RunIt(Apply(folder / "p.ini", c.link), reader, folder.Path());
    EXPECT_EQ(run.report.exitStatus, c.exitStatus) << run.err << run.out;
    if (c.exitStatus == kExitOk) {
      EXPECT_TRUE(c.written(reader.State()));
    } else {
      EXPECT_FALSE(AnyWrite(reader.Calls()));
      EXPECT_EQ(reader.State(), before);
    }
  }
}

TEST(ProfileSyntax, ASecondReaderSectionIsRefused) {
  for (const char* profile :
       {"[reader]\nbuzzer=1\n[reader]\n", "[reader]\nbuzzer=1\n\n[reader]\nreadTime=3\n",
        "; two profiles pasted together\n[reader]\n[reader]\n"}) {
    SCOPED_TRACE(profile);
    TempFolder folder;
    InstrumentedReader reader;
    WriteBytes(folder / "p.ini", profile);
    const CommandRun run = RunIt(Apply(folder / "p.ini", LinkKind::Usb), reader, folder.Path());
    EXPECT_EQ(run.report.exitStatus, kExitUsage);
    EXPECT_NE(run.err.find("section [reader] given twice"), std::string::npos) << run.err;
    EXPECT_TRUE(reader.Calls().empty());  // refused before the read
  }
}

// The Wiegand output record is reported whole whatever the link, its length included.
TEST(ReadCommand, ReportsTheWiegandOutputRecordOnEveryLink) {
  for (const LinkKind link : {LinkKind::Usb, LinkKind::Serial}) {
    SCOPED_TRACE(link == LinkKind::Usb ? "USB" : "serial");
    TempFolder folder;
    InstrumentedReader reader;
    reader.State().wgOutRecord = {1, 4, 5, 1};
    reader.State().weigand = 0x34;
    Invocation read = Command("read");
    read.json = true;
    read.link.kind = link;
    read.link.port = 3;
    const CommandRun run = RunIt(read, reader, folder.Path());
    ASSERT_EQ(run.report.exitStatus, kExitOk) << run.err;
    const Json json = Json::parse(run.out);
    EXPECT_EQ(json["wiegandOutput"]["startByte"], 4);
    EXPECT_EQ(json["wiegandOutput"]["length"], 5);
    EXPECT_EQ(json["wiegandOutput"]["inverted"], true);
    // The format is read over USB only.
    EXPECT_EQ(json["wiegandFormat"], link == LinkKind::Usb ? Json(34) : Json(nullptr));
  }
}

// A reader's version text is its own bytes: ones that are no UTF-8 (a GBK text, a cut byte) are
// replaced in the JSON document, never the end of the program.
TEST(ReadCommand, JsonKeepsGoingOverAVersionThatIsNoUtf8) {
  TempFolder folder;
  InstrumentedReader reader;
  reader.State().version = "\xB0\xE6\xB1\xBE 2.1 \xFF";
  Invocation read = Command("read");
  read.json = true;
  const CommandRun run = RunIt(read, reader, folder.Path());
  ASSERT_EQ(run.report.exitStatus, kExitOk) << run.err;
  const Json json = Json::parse(run.out);
  EXPECT_NE(json["versionText"].get<std::string>().find(" 2.1 "), std::string::npos) << run.out;
}

}  // namespace
}  // namespace uhf::cli::testing
