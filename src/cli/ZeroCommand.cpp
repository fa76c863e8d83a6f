#include "cli/ZeroCommand.h"

#include "cli/ExitCode.h"
#include "cli/FolderScan.h"
#include "cli/InterruptWatch.h"
#include "cli/ListPrinter.h"
#include "cli/Messages.h"
#include "cli/Output.h"
#include "cli/RawText.h"
#include "cli/RecordOrder.h"
#include "cli/RootFolder.h"
#include "cli/ScanFailures.h"
#include "cli/ZeroPass.h"
#include "cli/ZeroReport.h"
#include "engine/ErrorText.h"
#include "engine/SafeDelete.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace velmaro::cli {

namespace {

using Rows = std::vector<const engine::FolderRecord*>;

void printPaths(const Rows& rows)
{
    std::string out;
    for (const engine::FolderRecord* record : rows) {
        RawText::appendEscaped(out, record->path);
        out += '\n';
    }
    Output::write(out);
    Output::flush();
}

// The listing without --delete (also after a scan stopped by Ctrl-C).
void printList(const CliOptions& options, const ScanOutcome& scan, const Rows& rows)
{
    if (options.json)
        ListPrinter(ListPrinter::Form::Json, stdout).print(scan.root, scan.records, rows, scan.cutShort);
    else
        printPaths(rows);
}

// The zero-byte pass; Ctrl-C stops it. Returns true when every folder went.
bool deleteFolders(const CliOptions& options, const ScanOutcome& scan, const Rows& rows,
                   InterruptWatch& interrupts)
{
    const auto root = std::find_if(scan.records.begin(), scan.records.end(),
                                   [](const engine::FolderRecord& r) { return r.root; });
    if (root == scan.records.end())
        return rows.empty();
    std::atomic<bool> cancel{false};
    interrupts.setStopAction([&cancel] { cancel = true; });
    const ZeroPassResult result = ZeroPass::run(scan.root, *root, rows, cancel);
    interrupts.setStopAction(nullptr);
    ZeroReport::print(scan.root, result, options.json);
    return result.kept.empty() && result.notReached == 0;
}

}  // namespace

int ZeroCommand::run(const CliOptions& options)
{
    InterruptWatch interrupts;  // before the scan starts any thread
    if (options.deleteZero) {
        if (RootFolder::namesDotOrDotDot(options.folder)) {
            Messages::error(options.folder, "\".\" und \"..\" werden nicht bereinigt");
            return kExitUnusable;
        }
        const RootFolder::Resolved root = RootFolder::resolve(options.folder);
        if (root.error == 0 && RootFolder::isFileSystemRoot(root.path)) {
            Messages::error(root.path, engine::errorFromErrno(engine::kRefusedRoot).text);
            return kExitUnusable;
        }
    }
    const std::optional<ScanOutcome> scan = FolderScan::runNamed(options.folder, options.workers, interrupts);
    if (!scan)
        return kExitUnusable;
    RecordOrder::Selection selection;
    selection.zeroOnly = true;
    const Rows rows = RecordOrder::select(scan->records, selection);
    const bool scanFailed = ScanFailures::report(scan->records, scan->cutShort);
    if (!options.deleteZero || scan->cutShort) {
        if (options.deleteZero)
            Messages::note("nichts gelöscht.");
        printList(options, *scan, rows);
        return scanFailed ? kExitFailures : kExitDone;
    }
    const bool allGone = deleteFolders(options, *scan, rows, interrupts);
    return scanFailed || !allGone ? kExitFailures : kExitDone;
}

}  // namespace velmaro::cli
