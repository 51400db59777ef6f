#pragma once
// The tag list as an inventory: when each card was first and last read, and running figures over
// every counted read (total reads, distinct tags, reads per second over the last ten seconds).
// Time comes from an injectable clock so that the figures are exact under test.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace uhf {

// The moment of a read: a steady time for rates, the wall time for what the list shows.
struct ReadTime {
  std::chrono::steady_clock::time_point steady;
  std::chrono::system_clock::time_point wall;
};
using ReadClock = std::function<ReadTime()>;

// The machine's clocks.
ReadTime NowReadTime();

// Local time of day with milliseconds: "09:21:20.123".
std::string FormatSeenTime(std::chrono::system_clock::time_point at);

// Inventory columns after the four existing ones of the tag list.
inline constexpr int kTagColumnFirstSeen = 4;
inline constexpr int kTagColumnLastSeen = 5;
inline constexpr int kSeenColumnWidth = 110;
inline constexpr const char* kFirstSeenHeading = "First Seen";
inline constexpr const char* kLastSeenHeading = "Last Seen";

class TagInventory {
 public:
  static constexpr std::chrono::seconds kRateWindow{10};

  // One counted read at `at`; `newTag` when it added a row.
  void Count(bool newTag, std::chrono::steady_clock::time_point at);
  void Clear();

  long long TotalReads() const { return totalReads_; }
  long long UniqueTags() const { return uniqueTags_; }
  // Reads in the window (now - 10 s, now], divided by 10.
  double ReadsPerSecond(std::chrono::steady_clock::time_point now) const;

 private:
  long long totalReads_ = 0;
  long long uniqueTags_ = 0;
  // Times of the reads of the last window at least, oldest first; one entry per read, kept in
  // step by Count, so a fast reader keeps at most one window's worth.
  std::deque<std::chrono::steady_clock::time_point> recent_;
};

}  // namespace uhf
