#pragma once
// The exchange log as a pane shows it: the last lines the log wrote, newest last, fed from any
// thread through the log's sink, with the whole text for Copy and for Save.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "driver/LoggingDriver.h"

namespace uhf {

class ExchangeLogLines {
 public:
  static constexpr std::size_t kDefaultCapacity = 10000;

  explicit ExchangeLogLines(std::size_t capacity = kDefaultCapacity);

  // Any thread. Beyond the capacity the oldest line goes.
  void Append(std::string_view line);
  // A sink for LoggingDriver that appends here; the buffer must outlive the driver.
  LoggingDriver::Sink Sink();
  void Clear();

  std::vector<std::string> Lines() const;
  // Every line followed by a line feed: what Copy puts on the clipboard and Save writes.
  std::string Text() const;
  // Lines appended since construction, including those that went: a pane compares it with the
  // last value it showed to know whether to refresh.
  std::uint64_t Appended() const;
  // For a pane that shows lines as they come: the lines appended after the first `shown` ones
  // that are still kept, each followed by a line feed; `shown` becomes Appended().
  std::string TextSince(std::uint64_t& shown) const;

  // UTF-8, written atomically. False with `error` set when it cannot be written.
  bool Save(const std::filesystem::path& path, std::string& error) const;

 private:
  const std::size_t capacity_;
  mutable std::mutex mutex_;
  std::deque<std::string> lines_;
  std::uint64_t appended_ = 0;
};

}  // namespace uhf
