#pragma once
// The shared to-do list of a worker pool. Last in, first out, so the walk
// goes deep first: subtrees finish early and few folders wait half-done.
//
// pop() hands out an item and counts its taker as busy until taskDone().
// It blocks while the list is empty but someone is still busy (a busy
// worker may add items), and returns false once the list is empty and no
// worker is busy: then all the work is done, and every pop() returns false.

#include <condition_variable>
#include <mutex>
#include <vector>

namespace velmaro::engine {

template <typename Item>
class WorkQueue {
public:
    void push(std::vector<Item>&& items)
    {
        if (items.empty())
            return;
        {
            std::lock_guard lock(mutex_);
            for (Item& item : items)
                items_.push_back(std::move(item));
        }
        if (items.size() == 1)
            ready_.notify_one();
        else
            ready_.notify_all();
    }

    bool pop(Item& out)
    {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return !items_.empty() || busy_ == 0; });
        if (items_.empty())
            return false;
        out = std::move(items_.back());
        items_.pop_back();
        ++busy_;
        return true;
    }

    // Removes every item not yet handed out (they are destroyed).
    void drain()
    {
        std::vector<Item> dropped;
        {
            std::lock_guard lock(mutex_);
            dropped.swap(items_);
        }
        ready_.notify_all();
    }

    void taskDone()
    {
        std::lock_guard lock(mutex_);
        if (--busy_ == 0 && items_.empty())
            ready_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<Item> items_;
    unsigned busy_ = 0;
};

}  // namespace velmaro::engine
