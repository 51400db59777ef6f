// The simulated reader as a device: link rules, refusals, replies, helpers and test hooks.
#include "sim/InstrumentedReader.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace uhf {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint8_t kBus = ReaderBusAddress;

std::unique_ptr<InstrumentedReader> OpenReader(std::uint8_t kind = 0, bool etsi = false) {
  auto reader = std::make_unique<InstrumentedReader>(SimOptions{{}, kind, etsi});
  EXPECT_EQ(reader->OpenCom(100, 115200), 0);
  reader->ClearCalls();
  return reader;
}

// Every operation that talks to the reader, called with arguments a kind 0 FCC reader takes.
struct LinkedOp {
  const char* name;
  std::function<std::int32_t(InstrumentedReader&, std::uint8_t)> call;
};

const std::vector<LinkedOp>& LinkedOps() {
  static const std::vector<LinkedOp> ops = [] {
    static std::uint8_t b1, b2, b3, buffer[256];
    static std::int32_t i1, i2, i3;
    static char text[40];
    static const std::uint8_t record[4] = {1, 9, 3, 0};
    static const std::uint8_t password[4] = {0x12, 0x34, 0x56, 0x78};
    using R = InstrumentedReader&;
    using A = std::uint8_t;
    return std::vector<LinkedOp>{
        {"Handshake", [](R r, A a) { return r.Handshake(a, 1, &b1, &b2); }},
        {"Get_Version", [](R r, A a) { return r.Get_Version(a, text); }},
        {"Get_SerNum", [](R r, A a) { return r.Get_SerNum(a, buffer); }},
        {"UhfGetAddress", [](R r, A a) { return r.UhfGetAddress(a, &b1); }},
        {"UhfSetAddress", [](R r, A a) { return r.UhfSetAddress(a, 1); }},
        {"UhfGetWorkMode", [](R r, A a) { return r.UhfGetWorkMode(a, &b1); }},
        {"UhfSetWorkMode", [](R r, A a) { return r.UhfSetWorkMode(a, 1); }},
        {"UhfGetTriggerTime", [](R r, A a) { return r.UhfGetTriggerTime(a, &b1); }},
        {"UhfSetTriggerTime", [](R r, A a) { return r.UhfSetTriggerTime(a, 2); }},
        {"UhfGetWgIntervalTime", [](R r, A a) { return r.UhfGetWgIntervalTime(a, &b1); }},
        {"UhfSetWgIntervalTime", [](R r, A a) { return r.UhfSetWgIntervalTime(a, 3); }},
        {"UhfGetWeigand", [](R r, A a) { return r.UhfGetWeigand(a, &b1); }},
        {"UhfSetWeigand", [](R r, A a) { return r.UhfSetWeigand(a, 0x34); }},
        {"UhfGetReadTagIntervalTime", [](R r, A a) { return r.UhfGetReadTagIntervalTime(a, &b1); }},
        {"UhfSetReadTagIntervalTime", [](R r, A a) { return r.UhfSetReadTagIntervalTime(a, 9); }},
        {"UhfGetOutPower", [](R r, A a) { return r.UhfGetOutPower(a, &b1); }},
        {"UhfSetOutPower", [](R r, A a) { return r.UhfSetOutPower(a, 20); }},
        {"UhfGetBuzzer", [](R r, A a) { return r.UhfGetBuzzer(a, &b1); }},
        {"UhfSetBuzzer", [](R r, A a) { return r.UhfSetBuzzer(a, 0); }},
        {"UhfGetWgOutByte", [](R r, A a) { return r.UhfGetWgOutByte(a, buffer); }},
        {"UhfSetWgOutByte", [](R r, A a) { return r.UhfSetWgOutByte(a, record); }},
        {"UhfGetPassword", [](R r, A a) { return r.UhfGetPassword(a, &b1, buffer); }},
        {"UhfSetPassword", [](R r, A a) { return r.UhfSetPassword(a, 1, password); }},
        {"UhfGetFrequencyRegion",
         [](R r, A a) { return r.UhfGetFrequencyRegion(a, &b1, &i1, &i2, &i3, &b3); }},
        {"UhfSetFrequencyRegion",
         [](R r, A a) { return r.UhfSetFrequencyRegion(a, 4, 903000, 907000, 500, 8); }},
        {"UhfSetFrequencyRegionB",
         [](R r, A a) { return r.UhfSetFrequencyRegionB(a, 4, 902000, 926000, 500, 48); }},
        {"UhfFactoryDefault", [](R r, A a) { return r.UhfFactoryDefault(a); }},
        {"UhfReadTag", [](R r, A a) { return r.UhfReadTag(a, buffer, &b1); }},
    };
  }();
  return ops;
}

TEST(SimLink, ReaderOperationsNeedALinkAndTheBusAddress) {
  for (const LinkedOp& op : LinkedOps()) {
    SCOPED_TRACE(op.name);
    InstrumentedReader closed;
    const SimState before = closed.State();
    EXPECT_NE(op.call(closed, kBus), 0) << "no link open";
    EXPECT_EQ(closed.State(), before);

    auto reader = OpenReader();
    EXPECT_NE(op.call(*reader, 1), 0) << "wrong bus address";
    EXPECT_EQ(reader->State(), before);
    EXPECT_EQ(op.call(*reader, kBus), 0);

    ASSERT_EQ(reader->CloseCom(), 0);
    EXPECT_NE(op.call(*reader, kBus), 0) << "after CloseCom";
  }
}

TEST(SimLink, HelpersAndCloseWorkWithoutALink) {
  InstrumentedReader reader;
  const std::uint8_t epc[12] = {0xe2, 0, 0x12, 0x34};
  std::uint8_t out[12] = {};
  char text[8] = {};
  EXPECT_EQ(reader.EpcOutput(epc, 12, 0, 0, 4, out), 0);
  EXPECT_EQ(reader.hex_a(epc, text, 4), 0);
  EXPECT_EQ(reader.a_hex("e200", out, 4), 0);
  EXPECT_EQ(reader.CloseCom(), 0);
}

TEST(SimLink, OpenComChecksPortAndBaud) {
  struct Row {
    std::int32_t port, baud;
    bool ok;
  } rows[] = {{100, 115200, true}, {100, 0, true},     {0, 9600, true},    {255, 57600, true},
              {3, 19200, true},    {3, 38400, true},   {256, 9600, false}, {-1, 9600, false},
              {3, 4800, false},    {3, 115201, false}, {100, -9600, false}};
  for (const Row& row : rows) {
    InstrumentedReader reader;
    EXPECT_EQ(reader.OpenCom(row.port, row.baud) == 0, row.ok) << row.port << " " << row.baud;
    EXPECT_EQ(reader.LinkOpen(), row.ok);
  }
  // One link at a time, as a real port: a second open is refused until the first is closed.
  InstrumentedReader reader;
  ASSERT_EQ(reader.OpenCom(2, 9600), 0);
  EXPECT_NE(reader.OpenCom(100, 115200), 0);
  EXPECT_NE(reader.Net_Connect("192.168.1.2", 2000, "192.168.1.250", 27001), 0);
  EXPECT_TRUE(reader.LinkOpen());
  ASSERT_EQ(reader.CloseCom(), 0);
  EXPECT_EQ(reader.Net_Connect("192.168.1.2", 2000, "192.168.1.250", 27001), 0);
  EXPECT_NE(reader.OpenCom(100, 115200), 0);
  ASSERT_EQ(reader.CloseCom(), 0);
  EXPECT_EQ(reader.OpenCom(100, 115200), 0);
}

TEST(SimLink, NetConnectNeedsDottedDecimalAddressesAndPorts) {
  struct Row {
    const char* host;
    std::int32_t hostPort;
    const char* readerIp;
    std::int32_t readerPort;
    bool ok;
  } rows[] = {
      {"192.168.1.2", 2000, "192.168.1.250", 27001, true},
      {"0.0.0.0", 0, "255.255.255.255", 65535, true},
      {"192.168.1", 2000, "192.168.1.250", 27001, false},
      {"192.168.1.256", 2000, "192.168.1.250", 27001, false},
      {"192.168.1.2", 2000, "1.2.3.4.5", 27001, false},
      {"192.168.1.2", 2000, "1..2.3", 27001, false},
      {"192.168.1.2", 2000, "a.b.c.d", 27001, false},
      {"192.168.1.2", 2000, " 1.2.3.4", 27001, false},
      {"192.168.1.2", 2000, "1.2.3.4 ", 27001, false},
      {"192.168.1.2", 2000, "0001.2.3.4", 27001, false},
      {"", 2000, "192.168.1.250", 27001, false},
      {nullptr, 2000, "192.168.1.250", 27001, false},
      {"192.168.1.2", -1, "192.168.1.250", 27001, false},
      {"192.168.1.2", 2000, "192.168.1.250", 65536, false},
  };
  for (const Row& row : rows) {
    InstrumentedReader reader;
    EXPECT_EQ(reader.Net_Connect(row.host, row.hostPort, row.readerIp, row.readerPort) == 0, row.ok)
        << (row.host ? row.host : "null") << " " << row.readerIp;
    EXPECT_EQ(reader.LinkOpen(), row.ok);
  }
}

TEST(SimLink, HandshakeReportsTheKind) {
  for (std::uint8_t kind : {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{2}}) {
    auto reader = OpenReader(kind);
    std::uint8_t reported = 9, extra = 9;
    ASSERT_EQ(reader->Handshake(kBus, 1, &reported, &extra), 0);
    EXPECT_EQ(reported, kind);
    EXPECT_EQ(reader->Handshake(kBus, 0, &reported, &extra), 0);
    EXPECT_NE(reader->Handshake(kBus, 2, &reported, &extra), 0);
  }
}

// A refused setting returns nonzero and leaves the reader as it was.
TEST(SimRefusals, ReaderRefusesWhatItCannotTake) {
  using Call = std::function<std::int32_t(InstrumentedReader&)>;
  auto power = [](std::uint8_t v) -> Call {
    return [v](auto& r) { return r.UhfSetOutPower(kBus, v); };
  };
  auto record = [](std::uint8_t start, std::uint8_t length) -> Call {
    return [=](auto& r) {
      const std::uint8_t rec[4] = {1, start, length, 0};
      return r.UhfSetWgOutByte(kBus, rec);
    };
  };
  auto plan = [](std::uint8_t form, std::int32_t start, std::int32_t end, std::int32_t step,
                 std::uint8_t count) -> Call {
    return [=](auto& r) { return r.UhfSetFrequencyRegion(kBus, form, start, end, step, count); };
  };
  auto planB = [](std::uint8_t form, std::int32_t start, std::int32_t end, std::int32_t step,
                  std::uint8_t count) -> Call {
    return [=](auto& r) { return r.UhfSetFrequencyRegionB(kBus, form, start, end, step, count); };
  };
  struct Row {
    const char* what;
    std::uint8_t kind;
    bool etsi;
    Call call;
    bool accepted;
  } rows[] = {
      {"power 0 kind 0", 0, false, power(0), true},
      {"power 33 kind 0", 0, false, power(33), true},
      {"power 34 kind 0", 0, false, power(34), false},
      {"power 17 kind 1", 1, false, power(17), false},
      {"power 18 kind 1", 1, false, power(18), true},
      {"power 26 kind 1", 1, false, power(26), true},
      {"power 27 kind 1", 1, false, power(27), false},
      {"power 63 kind 2", 2, false, power(63), true},
      {"power 64 kind 2", 2, false, power(64), false},
      {"weigand 0x26", 0, false, [](auto& r) { return r.UhfSetWeigand(kBus, 0x26); }, true},
      {"weigand 0x34", 0, false, [](auto& r) { return r.UhfSetWeigand(kBus, 0x34); }, true},
      {"weigand 26", 0, false, [](auto& r) { return r.UhfSetWeigand(kBus, 26); }, false},
      {"weigand 0x35", 0, false, [](auto& r) { return r.UhfSetWeigand(kBus, 0x35); }, false},
      {"record 9,3", 0, false, record(9, 3), true},
      {"record 8,4", 0, false, record(8, 4), true},
      {"record 0,12", 0, false, record(0, 12), true},
      {"record 11,12", 0, false, record(11, 12), true},
      {"record 12,3", 0, false, record(12, 3), false},
      {"record 0,13", 0, false, record(0, 13), false},
      {"work mode 1", 0, false, [](auto& r) { return r.UhfSetWorkMode(kBus, 1); }, true},
      {"work mode 2", 0, false, [](auto& r) { return r.UhfSetWorkMode(kBus, 2); }, false},
      {"trigger 0", 0, false, [](auto& r) { return r.UhfSetTriggerTime(kBus, 0); }, false},
      {"trigger 255", 0, false, [](auto& r) { return r.UhfSetTriggerTime(kBus, 255); }, true},
      {"FCC 902-928", 0, false, plan(4, 902000, 928000, 500, 52), true},
      {"FCC 903-907", 0, false, plan(4, 903000, 907000, 500, 8), true},
      {"FCC one frequency", 1, false, plan(4, 902000, 902000, 500, 0), true},
      {"FCC below band", 0, false, plan(4, 901500, 926000, 500, 49), false},
      {"FCC above band", 0, false, plan(4, 902000, 928500, 500, 53), false},
      {"FCC start off raster", 0, false, plan(4, 902250, 903250, 500, 2), false},
      {"FCC end off raster", 0, false, plan(4, 902000, 902750, 500, 1), false},
      {"FCC start after end", 0, false, plan(4, 905000, 903000, 500, 0), false},
      {"FCC step 250", 0, false, plan(4, 902000, 926000, 250, 96), false},
      {"FCC wrong count", 0, false, plan(4, 902000, 926000, 500, 47), false},
      {"ETSI plan on FCC reader", 0, false, plan(4, 865000, 868000, 500, 6), false},
      {"ETSI 865-868", 0, true, plan(4, 865000, 868000, 500, 6), true},
      {"FCC plan on ETSI reader", 1, true, plan(4, 902000, 926000, 500, 48), false},
      {"ETSI above band", 0, true, plan(4, 865000, 868500, 500, 7), false},
      {"form 5 on kind 0", 0, false, plan(5, 1, 63, 0, 0), false},
      {"unknown form", 0, false, plan(3, 902000, 926000, 500, 48), false},
      {"channels 1-63", 2, false, plan(5, 1, 63, 0, 0), true},
      {"channel 7 alone", 2, false, plan(5, 7, 7, 0, 0), true},
      {"channel 0", 2, false, plan(5, 0, 63, 0, 0), false},
      {"channel 64", 2, false, plan(5, 1, 64, 0, 0), false},
      {"channels reversed", 2, false, plan(5, 10, 9, 0, 0), false},
      {"channels with step", 2, false, plan(5, 1, 63, 500, 0), false},
      {"channels with count", 2, false, plan(5, 1, 63, 0, 62), false},
      {"form 4 on kind 2", 2, false, plan(4, 902000, 926000, 500, 48), false},
      {"B FCC", 0, false, planB(4, 902000, 926000, 500, 48), true},
      {"B ETSI", 1, true, planB(4, 865000, 868000, 500, 6), true},
      {"B form 5", 2, false, planB(5, 1, 63, 0, 0), false},
  };
  for (const Row& row : rows) {
    auto reader = OpenReader(row.kind, row.etsi);
    const SimState before = reader->State();
    EXPECT_EQ(row.call(*reader) == 0, row.accepted) << row.what;
    if (!row.accepted) {
      EXPECT_EQ(reader->State(), before) << row.what;
    }
  }
}

// The tool's factory reset: every write of the production defaults is taken.
TEST(SimRefusals, ProductionDefaultsAreAccepted) {
  struct Row {
    std::uint8_t kind;
    bool etsi;
    std::int32_t start, end;
    std::uint8_t count, power;
  } rows[] = {{0, false, 902000, 926000, 48, 33},
              {0, true, 865000, 868000, 6, 33},
              {1, false, 902000, 926000, 48, 26},
              {1, true, 865000, 868000, 6, 26},
              {2, false, 1, 63, 0, 63}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "kind " << int(row.kind) << " etsi " << row.etsi);
    InstrumentedReader reader(SimOptions{{}, row.kind, row.etsi});
    const std::uint8_t record[4] = {1, 9, 3, 0};
    const std::uint8_t password[4] = {0x5a, 0x5a, 0x5a, 0x5a};
    std::uint8_t kind = 9, extra = 0;
    ASSERT_EQ(reader.OpenCom(100, 0), 0);
    ASSERT_EQ(reader.Handshake(kBus, 1, &kind, &extra), 0);
    EXPECT_EQ(reader.UhfFactoryDefault(kBus), 0);
    EXPECT_EQ(reader.UhfSetAddress(kBus, 1), 0);
    EXPECT_EQ(reader.UhfSetWgIntervalTime(kBus, 2), 0);
    EXPECT_EQ(reader.UhfSetTriggerTime(kBus, 2), 0);
    EXPECT_EQ(reader.UhfSetWeigand(kBus, 0x26), 0);
    EXPECT_EQ(reader.UhfSetWgOutByte(kBus, record), 0);
    EXPECT_EQ(reader.UhfSetPassword(kBus, 1, password), 0);
    EXPECT_EQ(reader.UhfSetWorkMode(kBus, 0), 0);
    if (kind == 2) {
      EXPECT_EQ(reader.UhfSetFrequencyRegion(kBus, 5, 1, 63, 0, 0), 0);
    } else {
      std::uint8_t form = 0, count = 0;
      std::int32_t start = 0, end = 0, step = 0;
      ASSERT_EQ(reader.UhfGetFrequencyRegion(kBus, &form, &start, &end, &step, &count), 0);
      EXPECT_EQ(start >= 902000, !row.etsi);
      EXPECT_EQ(reader.UhfSetFrequencyRegionB(kBus, 4, row.start, row.end, 500, row.count), 0);
    }
    EXPECT_EQ(reader.UhfSetOutPower(kBus, row.power), 0);
    EXPECT_EQ(reader.Handshake(kBus, 0, &kind, &extra), 0);
    EXPECT_EQ(reader.CloseCom(), 0);

    const SimState& s = reader.State();
    EXPECT_EQ(s.address, 1);
    EXPECT_EQ(s.triggerTime, 2);
    EXPECT_EQ(s.wgOutRecord, (std::array<std::uint8_t, 4>{1, 9, 3, 0}));
    EXPECT_EQ(s.passwordEnabled, 1);
    EXPECT_EQ(s.regionStart, row.start);
    EXPECT_EQ(s.regionEnd, row.end);
    EXPECT_EQ(s.outPower, row.power);
  }
}

TEST(SimSettings, WhatIsSetIsReadBack) {
  auto reader = OpenReader(1, true);
  struct Row {
    std::int32_t (InstrumentedReader::*set)(std::uint8_t, std::uint8_t);
    std::int32_t (InstrumentedReader::*get)(std::uint8_t, std::uint8_t*);
    std::uint8_t value;
  } rows[] = {
      {&InstrumentedReader::UhfSetAddress, &InstrumentedReader::UhfGetAddress, 200},
      {&InstrumentedReader::UhfSetWorkMode, &InstrumentedReader::UhfGetWorkMode, 1},
      {&InstrumentedReader::UhfSetTriggerTime, &InstrumentedReader::UhfGetTriggerTime, 254},
      {&InstrumentedReader::UhfSetWgIntervalTime, &InstrumentedReader::UhfGetWgIntervalTime, 20},
      {&InstrumentedReader::UhfSetWeigand, &InstrumentedReader::UhfGetWeigand, 0x34},
      {&InstrumentedReader::UhfSetReadTagIntervalTime,
       &InstrumentedReader::UhfGetReadTagIntervalTime, 255},
      {&InstrumentedReader::UhfSetOutPower, &InstrumentedReader::UhfGetOutPower, 19},
      {&InstrumentedReader::UhfSetBuzzer, &InstrumentedReader::UhfGetBuzzer, 0},
  };
  for (const Row& row : rows) {
    ASSERT_EQ(((*reader).*row.set)(kBus, row.value), 0);
    std::uint8_t value = static_cast<std::uint8_t>(~row.value);
    ASSERT_EQ(((*reader).*row.get)(kBus, &value), 0);
    EXPECT_EQ(value, row.value);
  }
  const std::uint8_t record[4] = {1, 8, 4, 7}, password[4] = {0xde, 0xad, 0xbe, 0xef};
  ASSERT_EQ(reader->UhfSetWgOutByte(kBus, record), 0);
  ASSERT_EQ(reader->UhfSetPassword(kBus, 1, password), 0);
  ASSERT_EQ(reader->UhfSetFrequencyRegion(kBus, 4, 865500, 867000, 500, 3), 0);
  std::uint8_t gotRecord[4] = {}, gotPassword[4] = {}, enabled = 0, form = 0, count = 0;
  std::int32_t start = 0, end = 0, step = 0;
  ASSERT_EQ(reader->UhfGetWgOutByte(kBus, gotRecord), 0);
  ASSERT_EQ(reader->UhfGetPassword(kBus, &enabled, gotPassword), 0);
  ASSERT_EQ(reader->UhfGetFrequencyRegion(kBus, &form, &start, &end, &step, &count), 0);
  EXPECT_EQ(0, std::memcmp(gotRecord, record, 4));
  EXPECT_EQ(0, std::memcmp(gotPassword, password, 4));
  EXPECT_EQ(enabled, 1);
  EXPECT_EQ((std::array<std::int32_t, 5>{form, start, end, step, count}),
            (std::array<std::int32_t, 5>{4, 865500, 867000, 500, 3}));
}

TEST(SimSettings, FactoryDefaultKeepsIdentityAndField) {
  auto reader = OpenReader(1, true);
  SimState& s = reader->State();
  s.version = "custom";
  s.serial.fill(0x77);
  s.tags = {{1, 2, 3}};
  s.address = 42;
  s.outPower = 19;
  s.passwordEnabled = 1;
  ASSERT_EQ(reader->UhfFactoryDefault(kBus), 0);
  SimState expected = FactoryState(1, true);
  expected.version = "custom";
  expected.serial.fill(0x77);
  expected.tags = {{1, 2, 3}};
  EXPECT_EQ(reader->State(), expected);
  EXPECT_EQ(expected.regionStart, 865000);
}

TEST(SimIdentity, VersionIsTruncatedAndNothingWrittenPastItsEnd) {
  struct Row {
    std::string version, shown;
  } rows[] = {{"V1", "V1"},
              {std::string(29, 'x'), std::string(29, 'x')},
              {"0123456789012345678901234567890123", "01234567890123456789012345678"}};
  for (const Row& row : rows) {
    auto reader = OpenReader();
    reader->State().version = row.version;
    char buffer[40];
    std::memset(buffer, 0x55, sizeof buffer);
    ASSERT_EQ(reader->Get_Version(kBus, buffer), 0);
    EXPECT_EQ(std::string(buffer), row.shown);
    EXPECT_EQ(buffer[row.shown.size() + 1], 0x55);
  }
  auto reader = OpenReader();
  std::uint8_t serial[13];
  std::memset(serial, 0x55, sizeof serial);
  ASSERT_EQ(reader->Get_SerNum(kBus, serial), 0);
  EXPECT_EQ(0, std::memcmp(serial, reader->State().serial.data(), 12));
  EXPECT_EQ(serial[12], 0x55);
}

TEST(SimTags, ReplyLayoutFollowsTheKind) {
  const Bytes epcs[] = {
      Bytes{0xe2, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0, 0x11, 0x22}, Bytes(8, 0x31),
      Bytes(20, 0x42), Bytes(31, 0x53), Bytes{}};
  for (std::uint8_t kind : {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{2}}) {
    const std::size_t head = kind == 2 ? 2 : 3, extra = kind == 2 ? 2 : 4;
    for (const Bytes& epc : epcs) {
      auto reader = OpenReader(kind);
      reader->State().tags = {epc};
      std::uint8_t reply[256] = {};
      std::uint8_t length = 16;
      ASSERT_EQ(reader->UhfReadTag(kBus, reply, &length), 0);
      EXPECT_EQ(length, epc.size() + extra) << int(kind);
      EXPECT_EQ(Bytes(reply + head, reply + head + epc.size()), epc) << int(kind);
    }
  }
}

TEST(SimTags, FieldIsReadRoundRobinAfterQueuedRawReplies) {
  auto reader = OpenReader(2);
  reader->State().tags = {{0xa1}, {0xb1, 0xb2}, {0xc1}};
  reader->QueueRawReply({7, 8, 9});
  std::vector<Bytes> seen;
  for (int i = 0; i < 5; ++i) {
    std::uint8_t reply[256] = {}, length = 0;
    ASSERT_EQ(reader->UhfReadTag(kBus, reply, &length), 0);
    seen.emplace_back(reply, reply + length);
  }
  const std::vector<Bytes> expected = {{7, 8, 9},
                                       {0x08, 0x00, 0xa1},
                                       {0x08, 0x00, 0xb1, 0xb2},
                                       {0x08, 0x00, 0xc1},
                                       {0x08, 0x00, 0xa1}};
  EXPECT_EQ(seen, expected);
  EXPECT_THROW(reader->QueueRawReply(Bytes(256)), std::invalid_argument);
}

TEST(SimTags, EmptyFieldAndOversizeEpcAreFailures) {
  auto reader = OpenReader();
  std::uint8_t reply[256] = {}, length = 16;
  reader->State().tags.clear();
  EXPECT_NE(reader->UhfReadTag(kBus, reply, &length), 0);
  EXPECT_EQ(length, 16);
  reader->State().tags = {Bytes(252, 1)};  // 256 reply bytes would not fit the length byte
  EXPECT_NE(reader->UhfReadTag(kBus, reply, &length), 0);
  reader->State().tags = {Bytes(251, 1)};
  EXPECT_EQ(reader->UhfReadTag(kBus, reply, &length), 0);
  EXPECT_EQ(length, 255);
}

TEST(SimTags, FactoryFieldHoldsEpcsOfSeveralLengths) {
  const SimState s = FactoryState(0, false);
  ASSERT_FALSE(s.tags.empty());
  EXPECT_EQ(s.tags[0],
            (Bytes{0xe2, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0, 0x11, 0x22}));
  std::vector<std::size_t> lengths;
  for (const Bytes& tag : s.tags) lengths.push_back(tag.size());
  for (std::size_t wanted : {8u, 12u, 16u, 20u}) {
    EXPECT_NE(std::find(lengths.begin(), lengths.end(), wanted), lengths.end()) << wanted;
  }
}

TEST(SimHelpers, EpcOutputCutsTheWindow) {
  const std::uint8_t epc[20] = {0xe2, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0,
                                0x11, 0x22, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
  struct Row {
    std::uint8_t epcLength, inverted;
    std::int32_t start, length;
    bool ok;
    Bytes out;
  } rows[] = {
      {12, 0, 4, 3, true, {0x56, 0x78, 0x9a}},
      {12, 1, 4, 3, true, {0x9a, 0x78, 0x56}},
      {12, 7, 4, 4, true, {0xbc, 0x9a, 0x78, 0x56}},
      {12, 0, 9, 3, true, {0xf0, 0x11, 0x22}},
      {12, 0, 12, 0, true, {}},
      {12, 0, 0, 0, true, {}},
      {20, 0, 8, 12, true, {0xde, 0xf0, 0x11, 0x22, 1, 2, 3, 4, 5, 6, 7, 8}},
      {12, 0, 10, 3, false, {}},
      {12, 0, -1, 3, false, {}},
      {12, 0, 0, -1, false, {}},
      {20, 0, 0, 13, false, {}},
      {12, 0, 0x7fffffff, 3, false, {}},
  };
  for (const Row& row : rows) {
    InstrumentedReader reader;
    std::uint8_t out[16];
    std::memset(out, 0xee, sizeof out);
    EXPECT_EQ(reader.EpcOutput(epc, row.epcLength, row.inverted, row.start, row.length, out) == 0,
              row.ok)
        << row.start << "+" << row.length;
    EXPECT_EQ(Bytes(out, out + row.out.size()), row.out);
    EXPECT_EQ(out[row.out.size()], 0xee) << "written past the window";
  }
}

TEST(SimHelpers, HexTextBothWays) {
  InstrumentedReader reader;
  const std::uint8_t bytes[4] = {0x0a, 0xab, 0x00, 0xff};
  struct ToText {
    std::int32_t length;
    bool ok;
    std::string text;
  } toText[] = {{8, true, "0aab00ff"}, {3, true, "0aa"}, {0, true, ""}, {-1, false, "~~~~"}};
  for (const ToText& row : toText) {
    char text[12];
    std::memset(text, '~', sizeof text);
    EXPECT_EQ(reader.hex_a(bytes, text, row.length) == 0, row.ok) << row.length;
    EXPECT_EQ(std::string(text, row.text.size()), row.text);
    if (row.ok) {
      EXPECT_EQ(text[row.length], '\0');
    }
  }

  struct ToBytes {
    std::string text;
    std::int32_t length;
    bool ok;
    Bytes written;
  } toBytes[] = {
      {"0aAB00fF", 8, true, {0x0a, 0xab, 0x00, 0xff}},
      {"0aab", 2, true, {0x0a}},
      {"0aZZ", 2, true, {0x0a}},
      {"0aab", 3, false, {0x0a}},
      {"0ag1", 4, false, {0x0a}},
      {"g0ab", 4, false, {}},
      {"", 0, true, {}},
      {"0a", -1, false, {}},
  };
  for (const ToBytes& row : toBytes) {
    std::uint8_t out[8];
    std::memset(out, 0xee, sizeof out);
    EXPECT_EQ(reader.a_hex(row.text.c_str(), out, row.length) == 0, row.ok) << row.text;
    EXPECT_EQ(Bytes(out, out + row.written.size()), row.written) << row.text;
    EXPECT_EQ(out[row.written.size()], 0xee) << row.text;
  }

  // Exactly the characters given are read: no terminator needed after them.
  const char unterminated[2] = {'f', '3'};
  std::uint8_t one = 0;
  EXPECT_EQ(reader.a_hex(unterminated, &one, 2), 0);
  EXPECT_EQ(one, 0xf3);

  for (int value = 0; value < 256; ++value) {
    const std::uint8_t byte = static_cast<std::uint8_t>(value);
    char text[3];
    std::uint8_t back = 0;
    ASSERT_EQ(reader.hex_a(&byte, text, 2), 0);
    char expected[3];
    std::snprintf(expected, sizeof expected, "%02x", value);
    EXPECT_STREQ(text, expected);
    ASSERT_EQ(reader.a_hex(text, &back, 2), 0);
    EXPECT_EQ(back, byte);
  }
}

TEST(SimHooks, CallRecordFormat) {
  InstrumentedReader reader(SimOptions{{}, 0, false});
  std::uint8_t kind = 0, extra = 0, reply[256], length = 0, out[12];
  char version[30] = {}, text[9] = {};
  const std::uint8_t record[4] = {1, 9, 3, 0}, password[4] = {0x12, 0x34, 0x56, 0x78};
  const std::uint8_t epc[12] = {0xe2, 0x00, 0x12, 0x34, 0x56, 0x78,
                                0x9a, 0xbc, 0xde, 0xf0, 0x11, 0x22};
  reader.UhfGetAddress(kBus, &kind);  // no link: recorded all the same
  reader.Net_Connect("192.168.1.2", 2000, "192.168.1.250", 27001);
  reader.OpenCom(100, 115200);
  reader.Handshake(kBus, 1, &kind, &extra);
  reader.Get_Version(kBus, version);
  reader.UhfSetWgOutByte(kBus, record);
  reader.UhfSetPassword(kBus, 1, password);
  reader.UhfSetFrequencyRegion(kBus, 4, 902000, 926000, 500, 48);
  reader.UhfSetFrequencyRegionB(kBus, 4, 902000, 926000, 500, 48);
  reader.UhfSetOutPower(kBus, 33);
  reader.UhfReadTag(kBus, reply, &length);
  reader.EpcOutput(epc, 12, 1, 4, 3, out);
  reader.hex_a(password, text, 8);
  reader.a_hex("0aAB", out, 4);
  reader.UhfFactoryDefault(kBus);
  reader.CloseCom();
  const std::vector<std::string> expected = {
      "UhfGetAddress(255)",
      "Net_Connect(\"192.168.1.2\",2000,\"192.168.1.250\",27001)",
      "OpenCom(100,115200)",
      "Handshake(255,1)",
      "Get_Version(255)",
      "UhfSetWgOutByte(255,1,9,3,0)",
      "UhfSetPassword(255,1,18,52,86,120)",
      "UhfSetFrequencyRegion(255,4,902000,926000,500,48)",
      "UhfSetFrequencyRegionB(255,4,902000,926000,500,48)",
      "UhfSetOutPower(255,33)",
      "UhfReadTag(255)",
      "EpcOutput(e200123456789abcdef01122,12,1,4,3)",
      "hex_a(12345678,8)",
      "a_hex(\"0aAB\",4)",
      "UhfFactoryDefault(255)",
      "CloseCom()",
  };
  EXPECT_EQ(reader.Calls(), expected);
  reader.ClearCalls();
  EXPECT_TRUE(reader.Calls().empty());
}

TEST(SimHooks, FailOnNthOrEveryCall) {
  auto reader = OpenReader();
  std::uint8_t value = 0;
  auto statuses = [&](int calls) {
    std::vector<std::int32_t> result;
    for (int i = 0; i < calls; ++i) result.push_back(reader->UhfGetOutPower(kBus, &value));
    return result;
  };
  reader->FailOn("UhfGetOutPower", 9, 2);
  reader->UhfGetBuzzer(kBus, &value);  // other operations do not count
  EXPECT_EQ(statuses(3), (std::vector<std::int32_t>{0, 9, 0}));

  reader->FailOn("UhfGetOutPower", 5, 1);
  reader->FailOn("UhfGetOutPower", 6, 3);
  EXPECT_EQ(statuses(4), (std::vector<std::int32_t>{5, 0, 6, 0}));

  reader->FailOn("UhfGetOutPower");
  EXPECT_EQ(statuses(3), (std::vector<std::int32_t>{1, 1, 1}));
  reader->ClearFailures();
  EXPECT_EQ(statuses(1), (std::vector<std::int32_t>{0}));
  EXPECT_EQ(reader->Calls().size(), 12u) << "failed calls are recorded too";
}

TEST(SimHooks, FailedCallChangesNothing) {
  auto reader = OpenReader();
  const SimState before = reader->State();
  reader->FailOn("UhfSetOutPower", 3);
  reader->FailOn("UhfGetFrequencyRegion", 4);
  reader->FailOn("CloseCom", 2);
  EXPECT_EQ(reader->UhfSetOutPower(kBus, 20), 3);
  EXPECT_EQ(reader->State(), before);
  std::uint8_t form = 99, count = 99;
  std::int32_t start = -1, end = -1, step = -1;
  EXPECT_EQ(reader->UhfGetFrequencyRegion(kBus, &form, &start, &end, &step, &count), 4);
  EXPECT_EQ((std::array<std::int32_t, 5>{form, start, end, step, count}),
            (std::array<std::int32_t, 5>{99, -1, -1, -1, 99}));
  EXPECT_EQ(reader->CloseCom(), 2);
  EXPECT_TRUE(reader->LinkOpen());

  InstrumentedReader closed;
  closed.FailOn("OpenCom");
  EXPECT_EQ(closed.OpenCom(100, 115200), 1);
  EXPECT_FALSE(closed.LinkOpen());
}

TEST(SimHooks, FailOnRejectsUnknownOperations) {
  InstrumentedReader reader;
  EXPECT_THROW(reader.FailOn("UhfSetPower"), std::invalid_argument);
  EXPECT_THROW(reader.FailOn("OpenCom", 0), std::invalid_argument);
  EXPECT_THROW(reader.FailOn("OpenCom", 1, -1), std::invalid_argument);
}

TEST(SimHooks, LatencyDelaysEveryCall) {
  InstrumentedReader reader;
  reader.SetLatency(std::chrono::milliseconds(3));
  const auto begin = std::chrono::steady_clock::now();
  reader.CloseCom();
  EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(3));
}

}  // namespace
}  // namespace uhf
