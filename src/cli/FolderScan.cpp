#include "cli/FolderScan.h"

#include "cli/InterruptWatch.h"
#include "cli/Messages.h"
#include "cli/ProgressLine.h"
#include "cli/RootFolder.h"
#include "engine/ErrorText.h"
#include "engine/FolderScanner.h"

#include <condition_variable>
#include <iterator>
#include <mutex>

namespace velmaro::cli {

ScanOutcome FolderScan::run(const std::string& root, unsigned workers, InterruptWatch& interrupts)
{
    engine::FolderScanner::Options options;
    options.workers = workers;
    options.niceIncrement = 0;  // no window to keep responsive
    engine::FolderScanner scanner(options);

    ScanOutcome outcome;
    outcome.root = root;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    interrupts.setStopAction([&scanner] { scanner.cancel(); });
    scanner.start(
        root,
        [&](std::vector<engine::FolderRecord>&& batch) {
            std::lock_guard lock(mutex);
            outcome.records.insert(outcome.records.end(), std::make_move_iterator(batch.begin()),
                                   std::make_move_iterator(batch.end()));
        },
        [&] {
            std::lock_guard lock(mutex);
            done = true;
            finished.notify_all();
        });

    ProgressLine progress;
    {
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, std::chrono::milliseconds(250), [&] { return done; })) {
            lock.unlock();
            progress.update(scanner.progress());
            lock.lock();
        }
    }
    scanner.wait();
    interrupts.setStopAction(nullptr);
    progress.finish();
    outcome.cutShort = interrupts.interrupted();
    return outcome;
}

std::optional<ScanOutcome> FolderScan::runNamed(const std::string& given, unsigned workers,
                                                InterruptWatch& interrupts)
{
    const RootFolder::Resolved root = RootFolder::resolve(given);
    if (root.error) {
        Messages::error(given, engine::errorFromErrno(root.error).text);
        return std::nullopt;
    }
    ScanOutcome outcome = run(root.path, workers, interrupts);
    if (outcome.records.empty() && !outcome.cutShort) {
        const RootFolder::Resolved again = RootFolder::resolve(root.path);
        Messages::error(root.path, again.error ? engine::errorFromErrno(again.error).text
                                               : "Pseudo-Dateisystem, wird nicht durchsucht");
        return std::nullopt;
    }
    return outcome;
}

}  // namespace velmaro::cli
