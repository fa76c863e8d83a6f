#include "cli/ScanFailures.h"

#include "cli/Messages.h"
#include "engine/ErrorText.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <unordered_set>

namespace velmaro::cli {

namespace {

// "/a/b/" gives "/a/"; "/" gives "".
std::string_view parentOf(std::string_view path)
{
    if (path.size() <= 1)
        return std::string_view();
    const std::size_t slash = path.rfind('/', path.size() - 2);
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

}  // namespace

bool ScanFailures::report(const std::vector<engine::FolderRecord>& records, bool cutShort)
{
    std::vector<const engine::FolderRecord*> failed;
    std::unordered_set<std::string_view> failedParents;
    for (const engine::FolderRecord& record : records) {
        if (record.sizeState != engine::SizeState::Failed)
            continue;
        failed.push_back(&record);
        failedParents.insert(parentOf(record.path));
    }
    std::sort(failed.begin(), failed.end(), [](auto a, auto b) { return a->path < b->path; });
    for (const engine::FolderRecord* record : failed) {
        if (failedParents.count(record->path))
            continue;  // the failure lies deeper and is reported there
        const engine::ErrorInfo info = engine::errorFromErrno(record->error ? record->error : EIO);
        Messages::error(record->path, "Inhalt nicht vollständig lesbar: " + info.text);
    }
    if (cutShort)
        Messages::note("Suche abgebrochen: die Liste ist unvollständig.");
    return cutShort || !failed.empty();
}

}  // namespace velmaro::cli
