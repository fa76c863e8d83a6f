#include "engine/RecordBatcher.h"

#include <algorithm>
#include <utility>

namespace velmaro::engine {

RecordBatcher::RecordBatcher(std::size_t batchSize, Sink sink, std::chrono::milliseconds interval)
    : batchSize_(std::max<std::size_t>(batchSize, 1))
    , reserved_(std::min<std::size_t>(batchSize_, 4096))
    , interval_(interval)
    , sink_(std::move(sink))
    , lastSend_(std::chrono::steady_clock::now())
    , partialDue_((lastSend_ + interval_).time_since_epoch().count())
{}

void RecordBatcher::add(std::vector<FolderRecord>&& records)
{
    if (records.empty())
        return;
    std::lock_guard lock(queueMutex_);
    partial_.reserve(reserved_);  // each record is moved once
    for (FolderRecord& record : records) {
        partial_.push_back(std::move(record));
        if (partial_.size() == batchSize_) {
            full_.push_back(std::exchange(partial_, {}));
            partial_.reserve(reserved_);
            fullWaiting_.store(true, std::memory_order_relaxed);
        }
    }
    records.clear();
}

std::vector<std::vector<FolderRecord>> RecordBatcher::takeBatches(bool all)
{
    std::lock_guard lock(queueMutex_);
    if (full_.empty() && partial_.empty())
        return {};
    auto now = std::chrono::steady_clock::now();
    if (!partial_.empty() && (all || now - lastSend_ >= interval_)) {
        // Sent before it is full (a slow drive, the end): it keeps no more
        // room than its records need, as its receiver may keep it.
        if (partial_.size() < partial_.capacity() / 2)
            partial_.shrink_to_fit();
        full_.push_back(std::exchange(partial_, {}));
    }
    if (!full_.empty()) {
        lastSend_ = now;
        partialDue_.store((now + interval_).time_since_epoch().count(), std::memory_order_relaxed);
    }
    fullWaiting_.store(false, std::memory_order_relaxed);
    return std::exchange(full_, {});
}

void RecordBatcher::send(std::vector<std::vector<FolderRecord>>&& batches)
{
    sender_ = std::this_thread::get_id();
    for (auto& batch : batches)
        if (sink_ && !closed_)
            sink_(std::move(batch));
    sender_ = std::thread::id{};
    if (std::function<void()> onClosed = std::exchange(onClosed_, {}))
        closeLocked(onClosed);
}

// Holds sinkMutex_.
void RecordBatcher::closeLocked(const std::function<void()>& onClosed)
{
    for (auto& batch : takeBatches(true))
        if (sink_ && !closed_)
            sink_(std::move(batch));
    closed_ = true;
    if (onClosed)
        onClosed();
}

void RecordBatcher::flushIfDue()
{
    // A stale hint only delays the send to the next call.
    if (!fullWaiting_.load(std::memory_order_relaxed) &&
        std::chrono::steady_clock::now().time_since_epoch().count() < partialDue_.load(std::memory_order_relaxed))
        return;
    std::unique_lock sending(sinkMutex_, std::try_to_lock);
    if (!sending.owns_lock())
        return;
    send(takeBatches(false));
}

void RecordBatcher::flushAll()
{
    std::lock_guard sending(sinkMutex_);
    send(takeBatches(true));
}

void RecordBatcher::close(std::function<void()> onClosed)
{
    if (sender_.load() == std::this_thread::get_id()) {
        onClosed_ = std::move(onClosed);  // the send in progress closes
        return;
    }
    std::lock_guard sending(sinkMutex_);
    closeLocked(onClosed);
}

}  // namespace velmaro::engine
