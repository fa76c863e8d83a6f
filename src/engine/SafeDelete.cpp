#include "engine/SafeDelete.h"

#include "engine/DeleteSupport.h"
#include "engine/FdGuard.h"
#include "engine/TreeDeleter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace velmaro::engine {

namespace {

using deletion::FdGuard;

void fail(DeleteResult& result, int err, const std::string& path)
{
    if (result.ok) {
        result.ok = false;
        result.error = err;
        result.failedPath = path;
    }
}

bool isFileSystemRoot(const deletion::Identity& id)
{
    struct stat root {};
    return ::stat("/", &root) == 0 && root.st_dev == id.dev && root.st_ino == id.ino;
}

bool isDotName(const std::string& base)
{
    return base == "." || base == "..";
}

// The top is a symlink: never followed; removed as a link only when the whole
// tree is to go, otherwise left alone.
void handleLinkTop(int parentFd, const std::string& base, const std::string& linkPath,
                   const DeleteOptions& options, DeleteResult& result)
{
    if (options.mode != DeleteMode::Everything || !options.removeTop) {
        fail(result, ELOOP, linkPath);
        return;
    }
    if (options.onEntry)
        options.onEntry(linkPath);
    if (::unlinkat(parentFd, base.c_str(), 0) == 0)
        ++result.removedFiles;
    else
        fail(result, errno, linkPath);
}

void deleteTreeChecked(const std::string& folder, const DeleteOptions& options, DeleteResult& result)
{
    const std::string path = deletion::stripTrailingSlashes(folder);
    if (path == "/")
        return fail(result, kRefusedRoot, "/");
    const std::string display = path + "/";
    std::string parent, base;
    deletion::splitPath(path, parent, base);
    if (path.empty() || isDotName(base))
        return fail(result, EINVAL, folder);
    FdGuard parentFd(::open(parent.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat st {};
    if (!parentFd.valid() || ::fstatat(parentFd.get(), base.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return fail(result, errno, display);
    if (S_ISLNK(st.st_mode))
        return handleLinkTop(parentFd.get(), base, path, options, result);
    FdGuard topFd(deletion::openFolderAt(parentFd.get(), base.c_str()));
    if (!topFd.valid())
        return fail(result, errno, display);
    deletion::Identity topId;
    if (int err = deletion::readIdentity(topFd.get(), topId))
        return fail(result, err, display);
    if (isFileSystemRoot(topId))
        return fail(result, kRefusedRoot, display);
    deletion::TreeDeleter deleter(options, result);
    deleter.run(parentFd.get(), base, topFd.release(), topId, display);
}

void deleteFileChecked(const std::string& path, DeleteResult& result)
{
    const std::string stripped = deletion::stripTrailingSlashes(path);
    if (stripped.empty())
        return fail(result, EINVAL, path);
    std::string parent, base;
    deletion::splitPath(stripped, parent, base);
    if (stripped == "/" || isDotName(base))
        return fail(result, EISDIR, path);
    FdGuard parentFd(::open(parent.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat st {};
    if (!parentFd.valid() || ::fstatat(parentFd.get(), base.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return fail(result, errno, path);
    if (S_ISDIR(st.st_mode))
        return fail(result, EISDIR, path);
    if (stripped.size() != path.size())  // "file/" names a folder that is not there
        return fail(result, ENOTDIR, path);
    if (::unlinkat(parentFd.get(), base.c_str(), 0) != 0)
        return fail(result, errno, path);
    result.removedFiles = 1;
}

// Runs `work` and turns any exception into a failed result.
template <typename Work>
DeleteResult guarded(const std::string& path, Work work)
{
    DeleteResult result;
    try {
        work(result);
    } catch (const std::bad_alloc&) {
        fail(result, ENOMEM, path);
    } catch (...) {
        fail(result, ECANCELED, path);
    }
    return result;
}

}  // namespace

DeleteResult deleteTree(const std::string& folder, const DeleteOptions& options)
{
    return guarded(folder, [&](DeleteResult& r) { deleteTreeChecked(folder, options, r); });
}

DeleteResult deleteFile(const std::string& path)
{
    return guarded(path, [&](DeleteResult& r) { deleteFileChecked(path, r); });
}

}  // namespace velmaro::engine
