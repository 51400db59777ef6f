#include "driver/ExchangeLogLines.h"

#include <algorithm>

#include "files/AtomicFile.h"

namespace uhf {

ExchangeLogLines::ExchangeLogLines(std::size_t capacity) : capacity_(capacity) {}

void ExchangeLogLines::Append(std::string_view line) {
  std::string copy(line);  // made outside the lock
  std::lock_guard<std::mutex> lock(mutex_);
  if (capacity_ == 0) return;
  if (lines_.size() == capacity_) lines_.pop_front();
  lines_.push_back(std::move(copy));
  ++appended_;
}

LoggingDriver::Sink ExchangeLogLines::Sink() {
  return [this](std::string_view line) { Append(line); };
}

void ExchangeLogLines::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.clear();
}

std::vector<std::string> ExchangeLogLines::Lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return {lines_.begin(), lines_.end()};
}

std::string ExchangeLogLines::Text() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t size = 0;
  for (const std::string& line : lines_) size += line.size() + 1;
  std::string text;
  text.reserve(size);
  for (const std::string& line : lines_) text.append(line).push_back('\n');
  return text;
}

std::uint64_t ExchangeLogLines::Appended() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return appended_;
}

std::string ExchangeLogLines::TextSince(std::uint64_t& shown) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::uint64_t fresh = appended_ > shown ? appended_ - shown : 0;
  const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(fresh, lines_.size()));
  std::string text;
  for (auto line = lines_.end() - static_cast<std::ptrdiff_t>(count); line != lines_.end(); ++line)
    text.append(*line).push_back('\n');
  shown = appended_;
  return text;
}

bool ExchangeLogLines::Save(const std::filesystem::path& path, std::string& error) const {
  return WriteFileAtomically(path, Text(), error);
}

}  // namespace uhf
