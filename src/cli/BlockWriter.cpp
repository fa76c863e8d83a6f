#include "cli/BlockWriter.h"

#include "cli/Output.h"

namespace velmaro::cli {

BlockWriter::BlockWriter(std::FILE* out)
    : out_(out)
{}

BlockWriter::~BlockWriter()
{
    finish();
}

void BlockWriter::put(std::string& block)
{
    std::string room;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return queued_.size() < kQueued; });
        queued_.push_back(std::move(block));
        if (!spare_.empty()) {
            room = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    changed_.notify_all();
    if (!thread_.joinable())
        thread_ = std::thread([this] { run(); });
    room.clear();
    block = std::move(room);
}

void BlockWriter::finish()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    stopping_ = false;
}

void BlockWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queued_.empty() || stopping_; });
        if (queued_.empty())
            return;  // stopping, and everything is written
        std::string block = std::move(queued_.front());
        queued_.pop_front();
        lock.unlock();
        changed_.notify_all();  // room in the queue
        Output::write(out_, block.data(), block.size());
        lock.lock();
        spare_.push_back(std::move(block));
    }
}

}  // namespace velmaro::cli
