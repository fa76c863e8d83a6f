#include "cli/InterruptWatch.h"

#include <csignal>
#include <pthread.h>
#include <unistd.h>

namespace velmaro::cli {

namespace {

sigset_t interruptSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    return set;
}

}  // namespace

InterruptWatch::InterruptWatch()
{
    const sigset_t set = interruptSet();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    thread_ = std::thread([this] { watch(); });
}

InterruptWatch::~InterruptWatch()
{
    closing_ = true;
    ::pthread_kill(thread_.native_handle(), SIGINT);
    thread_.join();
    const sigset_t set = interruptSet();
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void InterruptWatch::setStopAction(std::function<void()> action)
{
    std::lock_guard lock(mutex_);
    action_ = std::move(action);
}

void InterruptWatch::watch()
{
    const sigset_t set = interruptSet();
    for (;;) {
        int signal = 0;
        if (::sigwait(&set, &signal) != 0)
            continue;
        if (closing_)
            return;
        // The action runs under the lock, so setStopAction() cannot return
        // (and the caller free what the action uses) while it runs.
        std::lock_guard lock(mutex_);
        if (!action_)
            ::_exit(130);
        interrupted_ = true;
        action_();
        action_ = nullptr;
    }
}

}  // namespace velmaro::cli
