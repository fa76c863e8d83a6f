#pragma once
// Collects finished FolderRecords from the workers and hands them to the
// sink in batches of at most `batchSize`, in the order they were added.
// The sink is never called concurrently with itself. A worker that finds
// the sink busy does not wait for it: the records stay queued for the next
// flush. A batch holds at most about twice the room its records need.

#include "engine/FolderRecord.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velmaro::engine {

class RecordBatcher {
public:
    using Sink = std::function<void(std::vector<FolderRecord>&&)>;

    // `interval`: how long a partial batch may wait before flushIfDue sends it.
    RecordBatcher(std::size_t batchSize, Sink sink, std::chrono::milliseconds interval);

    // Queues records; thread-safe.
    void add(std::vector<FolderRecord>&& records);
    // Sends full batches, and the partial one once `interval` has passed
    // since the last send; returns at once when another thread is sending.
    // Takes no lock while nothing is due (meant to be called after every
    // folder).
    void flushIfDue();
    // Sends everything queued; waits for a send in progress first.
    void flushAll();
    // Sends everything queued, then never calls the sink again (records
    // added later are dropped), then runs `onClosed`. Waits for a send in
    // progress first; called from inside the sink, it returns at once and
    // the send in progress does all this when the sink returns.
    void close(std::function<void()> onClosed);

private:
    // Takes what is to be sent now; with `all`, the partial batch too.
    std::vector<std::vector<FolderRecord>> takeBatches(bool all);
    void send(std::vector<std::vector<FolderRecord>>&& batches);
    void closeLocked(const std::function<void()>& onClosed);

    const std::size_t batchSize_;
    const std::size_t reserved_;  // room made in a new batch up front
    const std::chrono::milliseconds interval_;
    Sink sink_;
    std::mutex sinkMutex_;  // held while the sink runs; taken before queueMutex_
    std::mutex queueMutex_;
    std::vector<FolderRecord> partial_;
    std::vector<std::vector<FolderRecord>> full_;
    std::chrono::steady_clock::time_point lastSend_;
    // Hints for flushIfDue, read without a lock: a full batch waits; when
    // the partial one is due (steady clock, nanoseconds).
    std::atomic<bool> fullWaiting_{false};
    std::atomic<int64_t> partialDue_{0};
    bool closed_ = false;                    // guarded by sinkMutex_
    std::atomic<std::thread::id> sender_{};  // the thread inside send(), if any
    std::function<void()> onClosed_;         // a close asked for from inside the sink
};

}  // namespace velmaro::engine
