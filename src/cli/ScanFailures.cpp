#include "cli/ScanFailures.h"

#include "cli/Messages.h"
#include "engine/ErrorText.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace velmaro::cli {

namespace {

using Paths = std::unordered_set<std::string_view>;

// "/a/b/" gives "/a/"; "/" gives "".
std::string_view parentOf(std::string_view path)
{
    if (path.size() <= 1)
        return std::string_view();
    const std::size_t slash = path.rfind('/', path.size() - 2);
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

void reportFailure(const std::string& path, int error)
{
    Messages::error(path, engine::errorFromErrno(error ? error : EIO).text);
}

// Reports the subfolders of `folder` (on its device) that have no record and
// still cannot be opened. Returns how many it reported.
int reportUnopenedChildren(const engine::FolderRecord& folder, const Paths& scanned)
{
    DIR* dir = ::opendir(folder.path.c_str());
    if (!dir)
        return 0;
    const int fd = ::dirfd(dir);
    struct stat own {};
    ::fstat(fd, &own);
    int reported = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat st {};
        if (name == "." || name == ".." || ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISDIR(st.st_mode) || st.st_dev != own.st_dev)
            continue;
        const std::string path = folder.path + name + "/";
        if (scanned.count(path))
            continue;
        const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child >= 0) {
            ::close(child);  // readable now (or new since the scan)
            continue;
        }
        reportFailure(path, errno);
        ++reported;
    }
    ::closedir(dir);
    return reported;
}

}  // namespace

bool ScanFailures::report(const RecordList& records, bool cutShort)
{
    std::vector<const engine::FolderRecord*> failed;
    Paths failedParents;
    for (const engine::FolderRecord& record : records) {
        if (record.sizeState != engine::SizeState::Failed)
            continue;
        failed.push_back(&record);
        failedParents.insert(parentOf(record.path));
    }
    Paths scanned;
    if (!failed.empty()) {
        for (const engine::FolderRecord& record : records)
            scanned.insert(record.path);
    }
    std::sort(failed.begin(), failed.end(), [](auto a, auto b) { return a->path < b->path; });
    for (const engine::FolderRecord* record : failed) {
        if (failedParents.count(record->path))
            continue;  // the failure lies deeper and is reported there
        if (reportUnopenedChildren(*record, scanned) == 0)
            reportFailure(record->path, record->error);
    }
    if (cutShort)
        Messages::note("Suche abgebrochen: die Liste ist unvollständig.");
    return cutShort || !failed.empty();
}

}  // namespace velmaro::cli
