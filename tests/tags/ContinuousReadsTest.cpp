// Continuous reading: reads made on a worker and counted on the window's thread give the list that
// the same reads made one by one give; reads are handed over in batches by the batch period; a
// refused window check starts nothing; Stop does not wait out the interval; a window slower than the
// reader holds the worker back.
#include "tags/ContinuousReads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dialog/ControlIds.h"
#include "support/DialogFixture.h"

namespace uhf {
namespace {

using namespace std::chrono_literals;
using Table = std::vector<std::vector<std::string>>;

// Tasks posted to the window's thread, run when the test (the window's thread) drains them.
class WindowQueue {
 public:
  void Post(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  void Drain() {
    for (;;) {
      std::function<void()> task;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (tasks_.empty()) return;
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
      task();
    }
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

ContinuousReads::Hooks WindowHooks(WindowQueue& window) {
  ContinuousReads::Hooks hooks;
  hooks.post = [&window](std::function<void()> task) { window.Post(std::move(task)); };
  return hooks;
}

std::vector<std::uint8_t> Tag(std::uint8_t n) {
  return {0xE2, 0x00, 0x12, 0x34, 0x56, n, 0x9A, 0xBC, 0xDE, 0xF0, 0x11, 0x22};
}

// A dialog ready to read: the link open, Start Bytes 4, Length 4, Wiegand 34 forward, a field of
// five tags the reader answers in turn.
struct ReadyDialog : testing::DialogFixture {
  explicit ReadyDialog(bool usb) {
    for (int i = 0; i < 12; ++i) {
      surface.ComboAdd(idc::StartBytes, std::to_string(i));
      surface.ComboAdd(idc::Length, std::to_string(i + 1));
    }
    surface.ComboSetSel(idc::StartBytes, 4);
    surface.ComboSetSel(idc::Length, 3);
    surface.SetCheck(idc::Usb, usb ? 1 : 0);
    surface.SetCheck(idc::Wiegand34, 1);
    surface.SetCheck(idc::ForwardOutput, 1);
    for (int c = 0; c < 4; ++c) surface.ListInsertColumn(idc::TagList, c, "c", 100);
    reader.State().tags = {Tag(1), Tag(2), Tag(3), Tag(4), Tag(5)};
    reader.OpenCom(100, 115200);
  }
  Table List() const {
    Table rows;
    for (int r = 0; r < surface.ListCount(idc::TagList); ++r) {
      rows.emplace_back();
      for (int c = 0; c < 4; ++c)
        rows.back().push_back(surface.ListGetItemText(idc::TagList, r, c, 64));
    }
    return rows;
  }
};

// The read ways: the single read each repeats, and whether it refuses a window past the tag
// number.
struct Way {
  const char* name;
  ReadWay way;
  bool usb;
  void (TagReads::*single)();
  bool checksWindow;
};
const Way kWays[] = {
    {"card bytes", ReadWay::ReadTag, false, &TagReads::OnReadTag, true},
    {"decimal", ReadWay::Decimal, false, &TagReads::ReadTagUSB, false},
    {"read tag on the decimal way", ReadWay::ReadTag, true, &TagReads::OnReadTag, true},
    {"hexadecimal", ReadWay::Hexadecimal, false, &TagReads::OnReadTagTestHex, false},
};

TEST(ContinuousReads, ListEqualsTheSameReadsMadeOneByOne) {
  for (const Way& c : kWays) {
    SCOPED_TRACE(c.name);
    ReadyDialog dialog(c.usb);
    TagReads reads(dialog.ctx);
    WindowQueue window;
    ContinuousReads continuous(dialog.ctx, reads, WindowHooks(window));
    ASSERT_TRUE(continuous.Start(c.way, 0ms));
    EXPECT_FALSE(continuous.Start(c.way, 0ms));  // one worker at a time
    while (continuous.Counted() < 150 && continuous.Failed() == 0) window.Drain();
    continuous.Stop();
    EXPECT_FALSE(continuous.Running());
    EXPECT_EQ(continuous.Failed(), 0);
    const long long reads_made = continuous.Counted();

    ReadyDialog one(c.usb);
    TagReads single(one.ctx);
    for (long long i = 0; i < reads_made; ++i) (single.*c.single)();
    EXPECT_EQ(dialog.List(), one.List());
    EXPECT_EQ(dialog.List().size(), 5u);
    EXPECT_EQ(reads.Inventory().TotalReads(), reads_made);
    window.Drain();  // a task posted before Stop finds nothing left to count
    EXPECT_EQ(reads.Inventory().TotalReads(), reads_made);

    // A refused window check shows its message and starts nothing: no worker, no driver call.
    dialog.surface.ComboSetSel(idc::StartBytes, 9);  // 9 + 3 + 1 > 12
    dialog.reader.ClearCalls();
    EXPECT_EQ(continuous.Start(c.way, 0ms), !c.checksWindow);
    EXPECT_EQ(continuous.Running(), !c.checksWindow);
    continuous.Stop();
    EXPECT_EQ(dialog.surface.Messages().size(), c.checksWindow ? 1u : 0u);
    if (c.checksWindow) {
      EXPECT_TRUE(dialog.reader.Calls().empty());
    }
  }
}

// The worker waits for each batch to be counted only when counting calls the driver: a way that
// claims it does not must leave no driver call while counting new rows and repeats.
TEST(ContinuousReads, CountingCallsTheDriverOnlyWhereItSaysSo) {
  for (const Way& c : kWays) {
    SCOPED_TRACE(c.name);
    ReadyDialog dialog(c.usb);
    TagReads reads(dialog.ctx);
    reads.OnReadTagTestHex();  // rows of another rule in the list too
    const TagReadSettings settings = TagReadSettingsOf(dialog.ctx);
    std::vector<CardRead> cards;
    for (int i = 0; i < 12; ++i) cards.push_back(*ReadCard(dialog.reader, settings, c.way).card);
    dialog.reader.ClearCalls();
    for (const CardRead& card : cards) reads.CountRead(card);
    EXPECT_EQ(!dialog.reader.Calls().empty(), CountingCallsDriver(settings, c.way));
    // Five tags in turn, after the first hexadecimal row (the hexadecimal way counts into it).
    EXPECT_EQ(dialog.List().size(), c.way == ReadWay::Hexadecimal ? 5u : 6u);
  }
}

// Batches run on the worker here so that their sizes depend on the clock alone.
TEST(ContinuousReads, BatchesFollowTheBatchPeriodOrEachReadWithAnInterval) {
  struct Case {
    const char* name;
    std::chrono::milliseconds interval;
    int readsPerBatch;
  };
  // The clock advances 10 ms per look: five reads fill a 50 ms batch.
  for (const Case c : {Case{"back to back", 0ms, 5}, Case{"with an interval", 1ms, 1}}) {
    SCOPED_TRACE(c.name);
    ReadyDialog dialog(true);
    TagReads reads(dialog.ctx);
    std::atomic<long long> ticks{0};
    std::mutex mutex;
    std::vector<int> sizes;
    ContinuousReads::Hooks hooks;
    hooks.post = [](std::function<void()> task) { task(); };
    hooks.counted = [&](const ContinuousReads::Batch& batch) {
      std::lock_guard<std::mutex> lock(mutex);
      sizes.push_back(batch.reads);
    };
    hooks.now = [&ticks] { return ContinuousReads::Clock::time_point(10ms * ++ticks); };
    ContinuousReads continuous(dialog.ctx, reads, hooks);
    ASSERT_TRUE(continuous.Start(ReadWay::Decimal, c.interval));
    for (;;) {
      std::lock_guard<std::mutex> lock(mutex);
      if (sizes.size() >= 20) break;
    }
    continuous.Stop();
    std::lock_guard<std::mutex> lock(mutex);
    // The last batch is what Stop counted: any size up to a full one.
    ASSERT_GE(sizes.size(), 20u);
    EXPECT_LE(sizes.back(), c.readsPerBatch);
    sizes.pop_back();
    EXPECT_EQ(sizes, std::vector<int>(sizes.size(), c.readsPerBatch));
  }
}

// A window that counts nothing meanwhile (its thread busy) stops the worker once a full batch
// waits: the reads do not gather without end, and Stop counts that one batch.
TEST(ContinuousReads, AStalledWindowHoldsTheWorkerBackAtAFullBatch) {
  ReadyDialog dialog(true);
  TagReads reads(dialog.ctx);
  WindowQueue window;  // not drained
  std::atomic<std::size_t> looks{0};  // the worker looks at the clock once, then after each read
  ContinuousReads::Hooks hooks = WindowHooks(window);
  hooks.now = [&looks] {
    ++looks;
    return ContinuousReads::Clock::now();
  };
  ContinuousReads continuous(dialog.ctx, reads, hooks);
  ASSERT_TRUE(continuous.Start(ReadWay::Decimal, 0ms));
  const std::size_t full = ContinuousReads::kMaxPending;
  while (looks < full + 1) std::this_thread::yield();
  std::this_thread::sleep_for(50ms);  // time for reads past a full batch, were any made
  EXPECT_EQ(looks, full + 1);
  continuous.Stop();
  EXPECT_EQ(continuous.Counted(), static_cast<long long>(full));
}

TEST(ContinuousReads, StopEndsTheWaitForTheNextRead) {
  ReadyDialog dialog(true);
  TagReads reads(dialog.ctx);
  WindowQueue window;
  ContinuousReads continuous(dialog.ctx, reads, WindowHooks(window));
  const auto interval = ContinuousReads::IntervalOf(3600);
  ASSERT_TRUE(continuous.Start(ReadWay::Decimal, interval));
  while (continuous.Counted() == 0) window.Drain();  // the first read is in, the worker waits
  const auto before = std::chrono::steady_clock::now();
  continuous.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, interval / 2);
  EXPECT_EQ(continuous.Counted(), 1);
}

}  // namespace
}  // namespace uhf
