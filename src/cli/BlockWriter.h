#pragma once
// Writes large blocks of text to a stream on a thread of its own, in the
// order they were put, so that the caller fills the next block while the
// system (and whoever reads a pipe) takes the last one. The writing goes
// through Output, which remembers a failed write. No Qt.
//
// Contract: put() and finish() from one thread; nothing else writes to the
// stream until finish() returned. At most kQueued blocks wait at a time:
// put() waits for the writer beyond that, so memory stays at a few blocks.
// The thread starts with the first put(); the destructor finishes.

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmaro::cli {

class BlockWriter {
public:
    explicit BlockWriter(std::FILE* out);
    ~BlockWriter();
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    // Takes the text of `block` for writing; leaves `block` empty, with the
    // room of a block written before where there is one.
    void put(std::string& block);
    // Returns once every block put has been written.
    void finish();

    static constexpr std::size_t kQueued = 2;

private:
    void run();

    std::FILE* const out_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> queued_;
    std::vector<std::string> spare_;  // written blocks, for their room
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace velmaro::cli
