#include "driver/ExchangeLogLines.h"

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

bool ExchangeLogLines::Save(const std::filesystem::path& path, std::string& error) const {
  return WriteFileAtomically(path, Text(), error);
}

}  // namespace uhf
