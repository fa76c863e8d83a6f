#include "cli/ListCommand.h"

#include "cli/ExitCode.h"
#include "cli/FolderScan.h"
#include "cli/InterruptWatch.h"
#include "cli/ListPrinter.h"
#include "cli/PathOrderBuilder.h"
#include "cli/RecordOrder.h"
#include "cli/ScanFailures.h"

#include <cstdio>

namespace velmaro::cli {

int ListCommand::run(const CliOptions& options)
{
    InterruptWatch interrupts;  // before the scan starts any thread
    const auto form = options.json ? ListPrinter::Form::Json
                                   : (options.bytes ? ListPrinter::Form::Bytes : ListPrinter::Form::Window);
    const bool byPath = options.sort == SortKey::Path && !options.reverse;
    ListPrinter printer(form, stdout, byPath ? ListPrinter::RowOrder::ByPath : ListPrinter::RowOrder::Other);
    // Every folder's row in path order: the printer puts the paths together
    // from the names, and the path order is built from the walk's numbers
    // and names while it runs, so the walk need not build a path per folder.
    const bool pathsFromNames = byPath && form != ListPrinter::Form::Json && options.top == 0 && !options.zeroOnly;
    PathOrderBuilder pathOrder;
    // Rows are formatted while the walk runs, unless only a few are shown.
    FolderScan::RecordSink prepare;
    if (options.top == 0) {
        prepare = [&printer, &pathOrder, pathsFromNames](const engine::FolderRecord& record) {
            printer.prepare(record);
            if (pathsFromNames)
                pathOrder.add(record);
        };
    }
    std::optional<ScanOutcome> scan =
        FolderScan::runNamed(options.folder, options.workers, interrupts, prepare, !pathsFromNames);
    if (!scan)
        return kExitUnusable;
    const std::vector<uint32_t> positions = pathsFromNames ? pathOrder.positions() : std::vector<uint32_t>();
    std::vector<const engine::FolderRecord*> rows;
    if (positions.empty()) {
        RecordOrder::Selection selection;
        selection.sort = options.sort;
        selection.reverse = options.reverse;
        selection.zeroOnly = options.zeroOnly;
        selection.top = options.top;
        rows = RecordOrder::select(scan->records, selection);
    }
    printer.print(scan->root, scan->records, rows, scan->cutShort, positions);
    const bool reported = (scan->failed > 0 || scan->cutShort) && ScanFailures::report(scan->records, scan->cutShort);
    const int code = reported ? kExitFailures : kExitDone;
    ScanOutcome::keepUntilExit(std::move(*scan));
    return code;
}

}  // namespace velmaro::cli
