#pragma once
// Reading tags over and over: a worker thread repeats one read way at the tag interval, and the
// reads are counted into the tag list on the window's thread in batches, at least ten times a
// second while reads come in, rather than one posted task per read. No lock is held while the
// driver runs, so the window's thread never waits for a read.
//
// While it runs the driver belongs to the worker: the window keeps its other operations (and their
// buttons) off until Stop(). When counting calls the driver too (the hexadecimal rules decode the
// list's texts with the driver's conversion), the worker waits for each batch to be counted before
// its next call, so that the two threads never call the driver at once.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "dialog/DialogContext.h"
#include "tags/TagReads.h"

namespace uhf {

class ContinuousReads {
 public:
  using Clock = std::chrono::steady_clock;

  // What one counted batch held, for the window's figures.
  struct Batch {
    int reads = 0;   // cards counted into the list
    int failed = 0;  // reads that gave no card
  };

  struct Hooks {
    // Runs a task on the window's thread, later; callable from any thread. Required.
    std::function<void(std::function<void()>)> post;
    // After each batch is counted, on the window's thread.
    std::function<void(const Batch&)> counted;
    std::function<Clock::time_point()> now;  // default: steady_clock
  };

  // Reads are handed over at least this often while they come in.
  static constexpr std::chrono::milliseconds kBatchPeriod{50};
  // A window slower than the reader holds the worker back once this many reads wait for a count
  // already queued, rather than the reads gathering without end (and Stop counting them all at
  // once).
  static constexpr std::size_t kMaxPending = 4096;

  // The tag interval edit holds seconds.
  static std::chrono::milliseconds IntervalOf(std::uint32_t tagIntervalSeconds) {
    return std::chrono::seconds(tagIntervalSeconds);
  }

  // `reads` counts into the list of `ctx`; the worker calls `ctx.driver`.
  ContinuousReads(DialogContext& ctx, TagReads& reads, Hooks hooks);
  // Stops first.
  ~ContinuousReads();
  ContinuousReads(const ContinuousReads&) = delete;
  ContinuousReads& operator=(const ContinuousReads&) = delete;

  // On the window's thread. Takes the read settings from the controls now. A way whose window
  // check fails shows its message, as a single read would, and nothing starts. An interval of
  // zero reads again as soon as a read returns. False when it did not start (or already runs).
  bool Start(ReadWay way, std::chrono::milliseconds interval);
  // On the window's thread: waits for the driver call in progress at most, then counts what was
  // read before returning.
  void Stop();
  bool Running() const { return worker_.joinable(); }

  // On the window's thread: totals since Start.
  long long Counted() const { return counted_; }
  long long Failed() const { return failed_; }
  long long Batches() const { return batches_; }

 private:
  void Work(TagReadSettings settings, ReadWay way, std::chrono::milliseconds interval,
            bool waitForCount);
  // On the window's thread.
  void CountPending();
  Clock::time_point Now() const { return hooks_.now ? hooks_.now() : Clock::now(); }

  DialogContext& ctx_;
  TagReads& reads_;
  Hooks hooks_;
  std::thread worker_;

  // Guards the handover: held only to move reads in and out, never around a driver call.
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stop_ = false;
  bool countQueued_ = false;  // a counting task is posted and has not run yet
  std::vector<CardRead> pending_;
  int pendingFailed_ = 0;

  // The window's thread only.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  long long counted_ = 0;
  long long failed_ = 0;
  long long batches_ = 0;
};

}  // namespace uhf
