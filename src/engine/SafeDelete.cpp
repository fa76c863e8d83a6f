#include "engine/SafeDelete.h"

#include "engine/FolderAccess.h"
#include "engine/FdGuard.h"
#include "engine/FolderDeletion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velmaro::engine {

namespace {

using deletion::failResult;

bool isDotName(const std::string& base)
{
    return base == "." || base == "..";
}

void deleteTreeChecked(const std::string& folder, const DeleteOptions& options, DeleteResult& result)
{
    const std::string path = stripTrailingSlashes(folder);
    if (path == "/")
        return failResult(result, kRefusedRoot, "/");
    std::string parent, base;
    splitPath(path, parent, base);
    if (path.empty() || isDotName(base))
        return failResult(result, EINVAL, folder);
    FdGuard parentFd(deletion::openLongPath(parent, O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!parentFd.valid())
        return failResult(result, errno, path + "/");
    deletion::deleteFolderAt(parentFd.get(), base, path + "/", nullptr, options, result);
}

}  // namespace

int deleteListedFile(int dirFd, const std::string& name, const FileFacts& facts)
{
    struct statx st {};
    if (name.empty() || name.find('/') != std::string::npos || isDotName(name))
        return EINVAL;
    if (::statx(dirFd, name.c_str(), AT_SYMLINK_NOFOLLOW, fileFactsMask(), &st) != 0)
        return errno;
    if (!(factsOf(st) == facts) || !(S_ISREG(st.stx_mode) || S_ISLNK(st.stx_mode)))
        return kChangedSinceListing;
    return ::unlinkat(dirFd, name.c_str(), 0) == 0 ? 0 : errno;
}

DeleteResult deleteTree(const std::string& folder, const DeleteOptions& options)
{
    return deletion::guarded(folder, [&](DeleteResult& r) { deleteTreeChecked(folder, options, r); });
}

}  // namespace velmaro::engine
