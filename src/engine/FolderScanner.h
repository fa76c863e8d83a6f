#pragma once
// The parallel folder walk: start / cancel / progress / done.
//
// Contract:
//  - start() returns at once; the walk runs on a bounded pool of worker
//    threads (Options::workers). One scanner runs one walk at a time.
//  - Every folder that could be opened gets exactly one FolderRecord. A record
//    is handed to the BatchSink once its whole subtree is finished (sizes are
//    summed bottom-up), in batches of up to Options::batchSize records. The
//    sink is called from worker threads, never concurrently with itself.
//  - The root gives a record too; a root that cannot be opened gives none,
//    and so does a root on a pseudo file system (proc, sysfs, ...).
//  - A folder that cannot be opened gives no record, and every folder above
//    it is Failed with that errno (its size cannot be formed).
//  - A folder that can be opened but whose entries cannot be listed gets a
//    record (Failed, with the errno) and no descent; every folder above it
//    is Failed as well. Failed wins over Incomplete.
//  - A folder or file removed while the walk runs is simply not there: no
//    record, no failure above it.
//  - Times are read before a folder is listed, and folders are opened with
//    O_NOATIME where allowed, so a scan never reports its own access.
//  - Symlinks are never followed; folders on another device than the root
//    (mount points) are neither entered nor listed; pseudo file systems are
//    never entered.
//  - cancel() returns at once, never waiting for a worker (one may be stuck
//    in a system call on a hung mount). Before it returns, every folder
//    already found has its record (subtrees cut short are Incomplete and
//    never zero-byte), the last batch and DoneSink have been delivered, and
//    no sink is called any more: whatever a worker reads later is dropped.
//  - DoneSink is called exactly once, after the last batch, from a worker
//    thread or from cancel().
//  - The destructor cancels; it does not wait. Workers still stuck end on
//    their own and touch neither the sinks nor the scanner.

#include "engine/FolderRecord.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmaro::engine {

struct ScanProgress {
    uint64_t folders = 0;  // folders found so far
    uint64_t files = 0;    // non-folder entries seen so far
    uint64_t bytes = 0;    // their st_size so far
};

class FolderScanner {
public:
    struct Options {
        // Also the command line's default. One worker per core runs while
        // they keep the cores busy (a warm cache); all of them while they
        // wait on the drive (WorkerPacer): from a cold cache 8 workers on 2
        // cores take a quarter less time than 2.
        unsigned workers = 8;
        // Records a batch holds at most: the records of a batch wait in memory
        // with their full paths until it is handed over (256: a quarter MB less
        // at the peak than 1,024, at the same speed).
        std::size_t batchSize = 256;
        // Workers run this much nicer than the caller, so a user interface
        // on the same cores stays responsive during the walk (0: unchanged).
        int niceIncrement = 10;
        // false: every record but the root's leaves `path` empty; its place
        // in the walk (index, parent, name) tells the path. Spares building
        // a path per folder under the walk's lock, for a reader that puts
        // paths together itself or needs few of them.
        bool recordPaths = true;
    };
    using BatchSink = std::function<void(std::vector<FolderRecord>&&)>;
    using DoneSink = std::function<void()>;

    FolderScanner();
    explicit FolderScanner(Options options);
    ~FolderScanner();
    FolderScanner(const FolderScanner&) = delete;
    FolderScanner& operator=(const FolderScanner&) = delete;

    // Starts walking `root` (absolute; a trailing '/' is optional).
    void start(const std::string& root, BatchSink onBatch, DoneSink onDone);
    // Stops the walk; returns at once (see above). Safe from any thread.
    void cancel();
    // Running totals; safe from any thread.
    ScanProgress progress() const;
    // Blocks until DoneSink has been called.
    void wait();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace velmaro::engine
