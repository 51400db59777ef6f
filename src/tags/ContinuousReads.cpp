#include "tags/ContinuousReads.h"

#include <utility>

namespace uhf {

ContinuousReads::ContinuousReads(DialogContext& ctx, TagReads& reads, Hooks hooks)
    : ctx_(ctx), reads_(reads), hooks_(std::move(hooks)) {}

ContinuousReads::~ContinuousReads() {
  Stop();
  *alive_ = false;
}

bool ContinuousReads::Start(ReadWay way, std::chrono::milliseconds interval) {
  if (Running()) return false;
  const TagReadSettings settings = TagReadSettingsOf(ctx_);
  if (!PassesWindowCheck(settings, way)) {
    ctx_.ShowMessage(ctx_.state.texts.MESSAGE_LENGHT_BYTES_PARAMETER_ERROR);
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = false;
    pending_.clear();
    pendingFailed_ = 0;
  }
  counted_ = failed_ = batches_ = 0;
  worker_ = std::thread([this, settings, way, interval] {
    Work(settings, way, interval, CountingCallsDriver(settings, way));
  });
  return true;
}

void ContinuousReads::Stop() {
  if (!Running()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  worker_.join();
  CountPending();  // what the worker read last
}

void ContinuousReads::Work(TagReadSettings settings, ReadWay way,
                           std::chrono::milliseconds interval, bool waitForCount) {
  Clock::time_point lastHandover = Now();
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      // The driver is not called while the window's thread counts with it, nor while a full
      // batch waits for the window.
      changed_.wait(lock, [this, waitForCount] {
        return stop_ || !countQueued_ || (!waitForCount && pending_.size() < kMaxPending);
      });
      if (stop_) return;
    }
    TagReadResult result = ReadCard(ctx_.driver, settings, way);
    const Clock::time_point now = Now();
    bool post = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (result.card) {
        pending_.push_back(std::move(*result.card));
      } else {
        ++pendingFailed_;
      }
      // A slow window leaves its task queued: the reads gather until it runs, with no second task.
      if (!countQueued_ && (interval.count() > 0 || now - lastHandover >= kBatchPeriod ||
                            pending_.size() >= kMaxPending)) {
        countQueued_ = true;
        post = true;
      }
    }
    if (post) {
      lastHandover = now;
      hooks_.post([this, alive = alive_] {
        if (*alive) CountPending();
      });
    }
    if (interval.count() > 0) {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait_for(lock, interval, [this] { return stop_; });
    }
  }
}

void ContinuousReads::CountPending() {
  std::vector<CardRead> batch;
  int failed = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(pending_);
    failed = pendingFailed_;
    pendingFailed_ = 0;
  }
  // Counted before the worker may call the driver again (when counting calls it too).
  for (const CardRead& read : batch) reads_.CountRead(read);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    countQueued_ = false;
  }
  changed_.notify_all();
  if (batch.empty() && failed == 0) return;
  counted_ += static_cast<long long>(batch.size());
  failed_ += failed;
  ++batches_;
  if (hooks_.counted) hooks_.counted({static_cast<int>(batch.size()), failed});
}

}  // namespace uhf
