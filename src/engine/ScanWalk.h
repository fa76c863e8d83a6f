#pragma once
// One walk of one folder tree: the worker pool behind FolderScanner.
//
// Each worker takes a folder from the shared queue, opens it relative to its
// parent's descriptor (or, when that descriptor was not kept, step by step
// from the root without following any symlink), lists it, closes it and
// queues its subfolders. The descriptors kept for queued subfolders are
// capped by RLIMIT_NOFILE, so trees of any depth work with few descriptors.
// The folder tree and the record batch are guarded by one mutex; the sink
// runs outside it. A WorkerPacer decides how many workers take folders at
// once: one per core while they keep the cores busy, all while they wait.
//
// Cancel never waits for a worker: cancel() sets the flag the workers read
// before every open, cuts short every folder whose listing is still
// outstanding (queued, or being opened or read by a worker that may be stuck
// in a system call), hands out every record that thereby finishes (the
// root's included), closes the sink and signals done. A worker that comes
// back later finds its folder settled and drops what it read.
//
// Lifetime: the workers are detached and each holds the walk alive, so a
// walk whose workers are stuck is freed when the last one returns.

#include "engine/DirReader.h"
#include "engine/FolderScanner.h"
#include "engine/FolderTree.h"
#include "engine/RecordBatcher.h"
#include "engine/SpinningMutex.h"
#include "engine/WorkQueue.h"
#include "engine/WorkerPacer.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmaro::engine {

class DirHandle;

class ScanWalk : public std::enable_shared_from_this<ScanWalk> {
public:
    ScanWalk(const std::string& root, const FolderScanner::Options& options, FolderScanner::BatchSink onBatch,
             FolderScanner::DoneSink onDone);
    ~ScanWalk();
    ScanWalk(const ScanWalk&) = delete;
    ScanWalk& operator=(const ScanWalk&) = delete;

    // Starts the workers; the walk must be owned by a shared_ptr.
    void start();
    // Returns at once (see above). Safe from any thread, also from a sink.
    void cancel();
    ScanProgress progress() const;
    // Waits until done has been signalled.
    void wait();

private:
    struct Item {
        FolderTree::Index node = FolderTree::kNone;  // kNone: the root
        std::shared_ptr<DirHandle> parent;           // may be empty
        const char* name = nullptr;                  // the tree's copy, '\0'-terminated, never moves
    };

    // What one worker keeps from folder to folder, so that each listing
    // reuses the room the last one made.
    struct Worker {
        unsigned index = 0;                 // its stack in the queue
        std::unique_ptr<DirReader> reader;  // made once the root's volume is known
        DirReader::Result result;
        std::vector<Item> items;
        std::vector<FolderRecord> records;
    };

    void work(unsigned index);
    void lowerPriority() const;
    void handle(Item& item, Worker& worker);
    void handleRoot(Worker& worker);
    int openFolder(Item& item);
    bool onOtherVolume(int fd) const;
    bool rootIsFileSystemFolder(int rootFd) const;
    void list(FolderTree::Index node, int fd, Worker& worker);
    void finishListing(FolderTree::Index node, const FolderTree::Listing& listing);
    void drop(FolderTree::Index node, FolderTree::Drop why, int error);
    void finish();
    void signalDone();
    void settle(std::vector<FolderRecord>&& records);

    const unsigned workers_;
    const int niceIncrement_;
    const int handleCap_;
    FolderScanner::DoneSink onDone_;
    RecordBatcher batcher_;
    WorkQueue<Item> queue_;
    WorkerPacer pacer_;  // how many workers take folders at once

    SpinningMutex treeMutex_;  // guards tree_; records go to batcher_ under it (keeps post-order)
    FolderTree tree_;
    FolderIdentity volume_;  // of the root; written before any subfolder is queued
    int rootFd_ = -1;        // O_PATH descriptor of the root

    std::atomic<bool> cancelled_{false};
    std::atomic<int> liveHandles_{0};
    std::atomic<uint64_t> folders_{0};
    DirReader::Counters counters_;
    std::atomic<unsigned> running_{0};
    std::atomic<bool> doneSignalled_{false};
    std::atomic<bool> done_{false};
    std::mutex doneMutex_;
    std::condition_variable doneChanged_;
};

}  // namespace velmaro::engine
