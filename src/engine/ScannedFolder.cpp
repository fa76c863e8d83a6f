#include "engine/ScannedFolder.h"

#include "engine/FolderAccess.h"
#include "engine/DirOpener.h"
#include "engine/FdGuard.h"
#include "engine/FolderDeletion.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace velmaro::engine {

namespace {

constexpr int kHolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

bool hasIdentity(int fd, const FolderIdentity& expected, int& error)
{
    FolderIdentity seen;
    if ((error = readIdentity(fd, "", seen)) != 0)
        return false;
    if (seen.sameAs(expected))
        return true;
    error = kChangedSinceScan;
    return false;
}

// A symlink, another mount or a file where the scan saw a folder.
int resolveError(int err)
{
    return err == ELOOP || err == EXDEV || err == ENOTDIR ? kChangedSinceScan : err;
}

// Opens the folder that holds the scanned folder and names the scanned
// folder in it. Returns the holder's descriptor or -1 with `error` set.
int openHolder(const ScannedFolder& folder, std::string& base, int& error)
{
    const std::string root = stripTrailingSlashes(folder.root);
    if (root.empty() || root.front() != '/' || folder.path.compare(0, folder.root.size(), folder.root) != 0) {
        error = EINVAL;
        return -1;
    }
    const std::string relative = stripTrailingSlashes(folder.path.substr(folder.root.size()));
    if (relative.empty() || relative == "/") {  // the scanned root itself
        if (root == "/") {
            error = kRefusedRoot;
            return -1;
        }
        std::string parent;
        splitPath(root, parent, base);
        const int fd = deletion::openLongPath(parent, kHolderFlags);
        error = fd < 0 ? errno : 0;
        return fd;
    }
    FdGuard rootFd(deletion::openLongPath(root, kHolderFlags));
    if (!rootFd.valid()) {
        error = errno;
        return -1;
    }
    if (!hasIdentity(rootFd.get(), folder.rootId, error))
        return -1;
    std::string parentRelative;
    splitPath(relative, parentRelative, base);
    if (parentRelative == ".")
        return rootFd.release();
    const int fd = DirOpener::openBelow(rootFd.get(), parentRelative);
    error = fd < 0 ? resolveError(-fd) : 0;
    return fd < 0 ? -1 : fd;
}

}  // namespace

int openScannedFolder(const ScannedFolder& folder, int& error)
{
    std::string base;
    FdGuard holder(openHolder(folder, base, error));
    if (!holder.valid())
        return -1;
    FdGuard fd(openFolderAt(holder.get(), base.c_str()));
    if (!fd.valid()) {
        error = resolveError(errno);
        return -1;
    }
    if (!hasIdentity(fd.get(), folder.id, error))
        return -1;
    error = 0;
    return fd.release();
}

DeleteResult deleteScannedTree(const ScannedFolder& folder, const DeleteOptions& options)
{
    return deletion::guarded(folder.path, [&](DeleteResult& result) {
        std::string base;
        int error = 0;
        FdGuard holder(openHolder(folder, base, error));
        if (!holder.valid())
            return deletion::failResult(result, error, folder.path);
        deletion::deleteFolderAt(holder.get(), base, folder.path, &folder.id, options, result);
    });
}

}  // namespace velmaro::engine
