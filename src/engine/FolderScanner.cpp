#include "engine/FolderScanner.h"

#include "engine/ScanWalk.h"

#include <mutex>

namespace velmaro::engine {

struct FolderScanner::Impl {
    Options options;
    std::mutex mutex;  // guards `walk` (the pointer, not the walk)
    std::shared_ptr<ScanWalk> walk;

    std::shared_ptr<ScanWalk> current()
    {
        std::lock_guard lock(mutex);
        return walk;
    }
};

FolderScanner::FolderScanner()
    : FolderScanner(Options{})
{}

FolderScanner::FolderScanner(Options options)
    : impl_(std::make_unique<Impl>())
{
    impl_->options = options;
}

FolderScanner::~FolderScanner()
{
    cancel();
}

void FolderScanner::start(const std::string& root, BatchSink onBatch, DoneSink onDone)
{
    std::shared_ptr<ScanWalk> previous;
    {
        std::lock_guard lock(impl_->mutex);
        previous = std::move(impl_->walk);
    }
    if (previous)
        previous->cancel();  // its workers finish on their own
    auto walk = std::make_shared<ScanWalk>(root, impl_->options, std::move(onBatch), std::move(onDone));
    {
        std::lock_guard lock(impl_->mutex);
        impl_->walk = walk;
    }
    walk->start();
}

void FolderScanner::cancel()
{
    if (auto walk = impl_->current())
        walk->cancel();
}

ScanProgress FolderScanner::progress() const
{
    auto walk = impl_->current();
    return walk ? walk->progress() : ScanProgress{};
}

void FolderScanner::wait()
{
    if (auto walk = impl_->current())
        walk->wait();
}

}  // namespace velmaro::engine
