#pragma once
// The shared to-do list of a worker pool: a stack per worker. A worker puts
// the items it finds on its own stack and takes from its top, so it goes
// deep first (subtrees finish early and few folders wait half-done) and
// mostly works on folders no other worker touches. A worker whose stack is
// empty takes the oldest item of the fullest other stack: the largest piece
// of work there is, so taking it is rare.
//
// pop() hands out an item and counts its taker as busy until taskDone().
// It blocks while every stack is empty but someone is still busy (a busy
// worker may add items), and returns false once all are empty and no
// worker is busy: then all the work is done, and every pop() returns false.

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

namespace velmaro::engine {

template <typename Item>
class WorkQueue {
public:
    explicit WorkQueue(unsigned workers = 1)
        : stacks_(std::max(workers, 1u))
    {}

    // Puts `items` on top of the stack of `worker` (0 .. workers - 1).
    void push(std::vector<Item>&& items, unsigned worker = 0)
    {
        if (items.empty())
            return;
        bool someoneWaits;
        {
            std::lock_guard lock(mutex_);
            auto& stack = stacks_[worker % stacks_.size()];
            for (Item& item : items)
                stack.push_back(std::move(item));
            queued_ += items.size();
            someoneWaits = waiting_ > 0;
        }
        if (!someoneWaits)
            return;
        if (items.size() == 1)
            ready_.notify_one();
        else
            ready_.notify_all();
    }

    bool pop(Item& out, unsigned worker = 0)
    {
        std::unique_lock lock(mutex_);
        while (queued_ == 0 && busy_ > 0) {
            ++waiting_;
            ready_.wait(lock);
            --waiting_;
        }
        if (queued_ == 0)
            return false;
        auto& own = stacks_[worker % stacks_.size()];
        if (!own.empty()) {
            out = std::move(own.back());
            own.pop_back();
        } else {
            auto& fullest =
                *std::max_element(stacks_.begin(), stacks_.end(),
                                  [](const auto& a, const auto& b) { return a.size() < b.size(); });
            out = std::move(fullest.front());
            fullest.pop_front();
        }
        --queued_;
        ++busy_;
        return true;
    }

    // Removes every item not yet handed out (they are destroyed).
    void drain()
    {
        std::vector<std::deque<Item>> dropped(stacks_.size());
        {
            std::lock_guard lock(mutex_);
            dropped.swap(stacks_);
            stacks_.resize(dropped.size());
            queued_ = 0;
        }
        ready_.notify_all();
    }

    void taskDone()
    {
        // Waiters only need to hear of the last busy worker; the lock taken
        // then orders the count against a waiter's check before it sleeps.
        if (busy_.fetch_sub(1, std::memory_order_acq_rel) != 1)
            return;
        bool wake;
        {
            std::lock_guard lock(mutex_);
            wake = queued_ == 0 && waiting_ > 0;
        }
        if (wake)
            ready_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<std::deque<Item>> stacks_;
    std::size_t queued_ = 0;
    std::atomic<unsigned> busy_{0};  // changed under mutex_ but for taskDone()
    unsigned waiting_ = 0;
};

}  // namespace velmaro::engine
