#include "cli/FolderScan.h"

#include "cli/InterruptWatch.h"
#include "cli/Messages.h"
#include "cli/ProgressLine.h"
#include "cli/RawText.h"
#include "cli/RecordPaths.h"
#include "cli/RootFolder.h"
#include "engine/ErrorText.h"
#include "engine/FolderScanner.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace velmaro::cli {

namespace {

using Batch = std::vector<engine::FolderRecord>;

// Batches handed over from the walk's workers to the calling thread.
struct Handover {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Batch> batches;
    bool done = false;
};

// Moves the batches that arrived into `outcome`, showing each record to
// `onRecord` on the way; counts the incomplete and failed ones.
void take(std::vector<Batch>& arrived, ScanOutcome& outcome, std::size_t& incomplete,
          const FolderScan::RecordSink& onRecord)
{
    for (Batch& batch : arrived) {
        const std::size_t first = outcome.records.size();
        outcome.records.append(std::move(batch));
        for (std::size_t i = first; i < outcome.records.size(); ++i) {
            const engine::FolderRecord& record = outcome.records[i];
            outcome.failed += record.sizeState == engine::SizeState::Failed;
            incomplete += record.sizeState == engine::SizeState::Incomplete;
            if (onRecord)
                onRecord(record);
        }
    }
    arrived.clear();
}

// Outcomes kept until the process ends, the last one first.
struct KeptOutcome {
    ScanOutcome outcome;
    KeptOutcome* next = nullptr;
};
KeptOutcome* kept = nullptr;

}  // namespace

void ScanOutcome::keepUntilExit(ScanOutcome&& outcome)
{
    kept = new KeptOutcome{std::move(outcome), kept};
}

ScanOutcome FolderScan::run(const std::string& root, unsigned workers, InterruptWatch& interrupts,
                            const RecordSink& onRecord, bool recordPaths)
{
    engine::FolderScanner::Options options;
    options.workers = workers;
    options.recordPaths = recordPaths;
    options.niceIncrement = 0;  // no window to keep responsive
    engine::FolderScanner scanner(options);

    ScanOutcome outcome;
    outcome.root = root;
    Handover handover;
    interrupts.setStopAction([&scanner] { scanner.cancel(); });
    scanner.start(
        root,
        [&handover](Batch&& batch) {
            {
                std::lock_guard lock(handover.mutex);
                handover.batches.push_back(std::move(batch));
            }
            // Outside the lock: the woken thread does not find it held.
            handover.changed.notify_all();
        },
        [&handover] {
            std::lock_guard lock(handover.mutex);
            handover.done = true;
            handover.changed.notify_all();
        });

    ProgressLine progress;
    std::vector<Batch> arrived;
    std::size_t incomplete = 0;
    for (bool done = false; !done;) {
        {
            std::unique_lock lock(handover.mutex);
            handover.changed.wait_for(lock, std::chrono::milliseconds(250),
                                      [&] { return handover.done || !handover.batches.empty(); });
            arrived.swap(handover.batches);
            done = handover.done;
        }
        take(arrived, outcome, incomplete, onRecord);
        progress.update(scanner.progress());
    }
    scanner.wait();
    interrupts.setStopAction(nullptr);
    progress.finish();
    // A Ctrl-C that came after the last folder was opened cut nothing short.
    outcome.cutShort = interrupts.interrupted() && (outcome.records.empty() || incomplete > 0);
    if (!recordPaths && outcome.failed > 0)
        RecordPaths::fill(outcome.records);
    return outcome;
}

std::optional<ScanOutcome> FolderScan::runNamed(const std::string& given, unsigned workers,
                                                InterruptWatch& interrupts, const RecordSink& onRecord,
                                                bool recordPaths)
{
    const RootFolder::Resolved root = RootFolder::resolve(given);
    if (root.error) {
        Messages::error(given, RootFolder::reasonOf(root.error));
        return std::nullopt;
    }
    if (root.throughLink)
        Messages::error(given, "führt über eine symbolische Verknüpfung; durchsucht wird \"" +
                                   RawText::escaped(root.path) + "\"");
    ScanOutcome outcome = run(root.path, workers, interrupts, onRecord, recordPaths);
    if (outcome.records.empty() && !outcome.cutShort) {
        const RootFolder::Resolved again = RootFolder::resolve(root.path);
        Messages::error(root.path, again.error ? RootFolder::reasonOf(again.error)
                                               : "Pseudo-Dateisystem, wird nicht durchsucht");
        return std::nullopt;
    }
    return outcome;
}

}  // namespace velmaro::cli
