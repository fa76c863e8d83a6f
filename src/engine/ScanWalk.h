#pragma once
// One walk of one folder tree: the worker pool behind FolderScanner.
//
// Each worker takes a folder from the shared queue, opens it relative to its
// parent's descriptor (or, when that descriptor was not kept, step by step
// from the root without following any symlink), lists it, closes it and
// queues its subfolders. The descriptors kept for queued subfolders are
// capped by RLIMIT_NOFILE, so trees of any depth work with few descriptors.
// The folder tree and the record batch are guarded by one mutex; the sink
// runs outside it.
//
// Cancel: a flag read before every open. cancel() sets it and waits only
// for opens already under way, so no folder is opened after it returns.

#include "engine/DirReader.h"
#include "engine/FolderScanner.h"
#include "engine/FolderTree.h"
#include "engine/RecordBatcher.h"
#include "engine/WorkQueue.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmaro::engine {

class DirHandle;

class ScanWalk {
public:
    ScanWalk(const std::string& root, const FolderScanner::Options& options,
             FolderScanner::BatchSink onBatch, FolderScanner::DoneSink onDone);
    // Cancels and waits.
    ~ScanWalk();
    ScanWalk(const ScanWalk&) = delete;
    ScanWalk& operator=(const ScanWalk&) = delete;

    void start();
    void cancel();
    ScanProgress progress() const;
    bool done() const { return done_.load(); }
    // Joins the workers (a worker calling it is not waited for).
    void wait();

private:
    struct Item {
        FolderTree::Index node = FolderTree::kNone;  // kNone: the root
        std::shared_ptr<DirHandle> parent;           // may be empty
    };

    void work();
    void lowerPriority() const;
    void handle(Item& item, std::unique_ptr<DirReader>& reader);
    void handleRoot(std::unique_ptr<DirReader>& reader);
    int openFolder(Item& item);
    bool onOtherVolume(int fd) const;
    void list(FolderTree::Index node, int fd, std::unique_ptr<DirReader>& reader);
    void finishListing(FolderTree::Index node, const FolderTree::Listing& listing);
    void drop(FolderTree::Index node, FolderTree::Drop why, int error);
    bool beginOpen();
    void endOpen();
    void finish();

    const unsigned workers_;
    const int niceIncrement_;
    const int handleCap_;
    FolderScanner::DoneSink onDone_;
    RecordBatcher batcher_;
    WorkQueue<Item> queue_;

    std::mutex treeMutex_;  // guards tree_; records go to batcher_ under it (keeps post-order)
    FolderTree tree_;
    DirReader::Volume volume_;  // of the root; written before any subfolder is queued
    int rootFd_ = -1;           // O_PATH descriptor of the root

    std::atomic<bool> cancelled_{false};
    std::atomic<int> opening_{0};
    std::atomic<int> liveHandles_{0};
    std::atomic<uint64_t> folders_{0};
    DirReader::Counters counters_;
    std::atomic<unsigned> running_{0};
    std::atomic<bool> done_{false};

    std::mutex joinMutex_;
    std::vector<std::thread> threads_;
};

}  // namespace velmaro::engine
