#include "tags/TagInventory.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace uhf {

ReadTime NowReadTime() {
  return {std::chrono::steady_clock::now(), std::chrono::system_clock::now()};
}

std::string FormatSeenTime(std::chrono::system_clock::time_point at) {
  const auto sinceEpoch =
      std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch());
  // Floor division so that times before the epoch keep their seconds and a positive remainder.
  auto seconds = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
  const auto millis = (sinceEpoch - seconds).count();
  const std::time_t whole = static_cast<std::time_t>(seconds.count());
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &whole);
#else
  localtime_r(&whole, &local);
#endif
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(millis));
  return text;
}

void TagInventory::Count(bool newTag, std::chrono::steady_clock::time_point at) {
  ++totalReads_;
  if (newTag) ++uniqueTags_;
  // A clock that steps back would break the order the pruning relies on.
  if (!recent_.empty() && at < recent_.back()) at = recent_.back();
  recent_.push_back(at);
  while (recent_.front() <= at - kRateWindow) recent_.pop_front();
}

void TagInventory::Clear() {
  totalReads_ = 0;
  uniqueTags_ = 0;
  recent_.clear();
}

double TagInventory::ReadsPerSecond(std::chrono::steady_clock::time_point now) const {
  const auto from = now - kRateWindow;
  // Reads after `from` and not after `now`; the deque is in time order.
  const auto first = std::upper_bound(recent_.begin(), recent_.end(), from);
  const auto last = std::upper_bound(first, recent_.end(), now);
  return static_cast<double>(last - first) / static_cast<double>(kRateWindow.count());
}

}  // namespace uhf
