#include "engine/FolderDeletion.h"

#include "engine/FolderAccess.h"
#include "engine/FdGuard.h"
#include "engine/ScannedFolder.h"
#include "engine/TreeDeleter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velmaro::engine::deletion {

namespace {

// Pieces of a long path resolved per open: well below PATH_MAX.
constexpr std::size_t kPieceBytes = 3072;

bool isFileSystemRoot(const FolderIdentity& id)
{
    struct stat root {};
    return ::stat("/", &root) == 0 && root.st_dev == id.dev && root.st_ino == id.ino;
}

// `base` is lost+found directly in the root of a mount.
bool isInFileSystemRoot(int parentFd, const std::string& base)
{
    FolderIdentity parent;
    return base == "lost+found" && readIdentity(parentFd, "", parent) == 0 && isFileSystemFolder(base, parent);
}

// The top is a symlink: never followed; removed as a link only when the whole
// tree is to go, otherwise left alone.
void removeLinkTop(int parentFd, const std::string& base, const std::string& linkPath,
                   const DeleteOptions& options, DeleteResult& result)
{
    if (options.mode != DeleteMode::Everything || !options.removeTop)
        return failResult(result, ELOOP, linkPath);
    if (options.onEntry)
        options.onEntry(linkPath);
    if (::unlinkat(parentFd, base.c_str(), 0) == 0)
        ++result.removedFiles;
    else
        failResult(result, errno, linkPath);
}

}  // namespace

void failResult(DeleteResult& result, int err, const std::string& path)
{
    if (result.ok) {
        result.ok = false;
        result.error = err;
        result.failedPath = path;
    }
}

void deleteFolderAt(int parentFd, const std::string& base, const std::string& display,
                    const FolderIdentity* expected, const DeleteOptions& options, DeleteResult& result)
{
    struct stat st {};
    if (::fstatat(parentFd, base.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return failResult(result, errno, display);
    if (S_ISLNK(st.st_mode) && !expected) {
        std::string linkPath = display;
        linkPath.pop_back();
        return removeLinkTop(parentFd, base, linkPath, options, result);
    }
    FdGuard topFd(openFolderAt(parentFd, base.c_str()));
    if (!topFd.valid()) {
        const int err = errno;
        const bool replaced = err == ELOOP || err == ENOTDIR;
        return failResult(result, expected && replaced ? kChangedSinceScan : err, display);
    }
    FolderIdentity topId;
    if (int err = readIdentity(topFd.get(), "", topId))
        return failResult(result, err, display);
    if (isFileSystemRoot(topId))
        return failResult(result, kRefusedRoot, display);
    if (options.mode == DeleteMode::ZeroByteOnly && isInFileSystemRoot(parentFd, base))
        return failResult(result, kFileSystemFolder, display);
    if (expected && !topId.unchangedSince(*expected))
        return failResult(result, kChangedSinceScan, display);
    TreeDeleter deleter(options, result);
    deleter.run(parentFd, base, topFd.release(), topId, display);
}

int openLongPath(const std::string& path, int flags)
{
    if (path.size() < kPieceBytes || path.front() != '/')
        return ::open(path.c_str(), flags);
    FdGuard current(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::size_t pos = 1;
    while (current.valid()) {
        const bool last = path.size() - pos <= kPieceBytes;
        std::size_t cut = last ? path.size() : path.rfind('/', pos + kPieceBytes);
        if (cut == std::string::npos || cut <= pos) {
            errno = ENAMETOOLONG;
            return -1;
        }
        const std::string piece = path.substr(pos, cut - pos);
        if (last)
            return ::openat(current.get(), piece.c_str(), flags);
        current.reset(::openat(current.get(), piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        pos = cut + 1;
    }
    return -1;
}

}  // namespace velmaro::engine::deletion
