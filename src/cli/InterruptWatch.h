#pragma once
// Ctrl-C (SIGINT) for the command line. No Qt.
//
// Contract:
//  - Construct it on the main thread before any other thread is started:
//    it blocks SIGINT in the calling thread (threads started later inherit
//    that) and waits for the signal on a thread of its own, so the handler
//    may do anything a normal function may (no async-signal limits).
//  - The first Ctrl-C while a stop action is set runs that action once
//    (e.g. FolderScanner::cancel) and clears it. A Ctrl-C with no stop
//    action set (a second Ctrl-C, or one during output) ends the process at
//    once with exit code 130, as a shell expects of an interrupted program.
//  - The destructor ends the watcher thread and unblocks SIGINT again.

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace velmaro::cli {

class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // What the next Ctrl-C does; an empty function restores "end the process".
    // Waits for a stop action that is running, so once this returns the old
    // action is neither running nor will run.
    void setStopAction(std::function<void()> action);
    // True once a Ctrl-C has run a stop action.
    bool interrupted() const { return interrupted_.load(); }

private:
    void watch();

    std::mutex mutex_;
    std::function<void()> action_;
    std::atomic<bool> interrupted_{false};
    std::atomic<bool> closing_{false};
    std::thread thread_;
};

}  // namespace velmaro::cli
