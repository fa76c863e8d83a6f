#include "engine/DirOpener.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velmaro::engine {

namespace {

constexpr int kListFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr int kPathFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// Bytes resolved per openat2 call: well below PATH_MAX, far above NAME_MAX.
constexpr std::size_t kStepBytes = 3072;

int result(int fd)
{
    return fd < 0 ? -errno : fd;
}

// O_NOATIME is allowed to the owner only; anybody else opens without it.
template <typename Open>
int withNoAtime(int flags, Open open)
{
    int fd = open(flags | O_NOATIME);
    if (fd < 0 && errno == EPERM)
        fd = open(flags);
    return result(fd);
}

}  // namespace

int DirOpener::openRoot(const std::string& path)
{
    return withNoAtime(O_RDONLY | O_DIRECTORY | O_CLOEXEC,
                       [&](int flags) { return ::open(path.c_str(), flags); });
}

namespace {

// Cleared for good once the kernel turns out to have no openat2.
std::atomic<bool> haveOpenat2{true};

bool lacksOpenat2(int result)
{
    if (result != -ENOSYS && result != -E2BIG)
        return false;
    haveOpenat2 = false;
    return true;
}

}  // namespace

bool DirOpener::mountsChecked()
{
    return haveOpenat2.load(std::memory_order_relaxed);
}

int DirOpener::openChild(int parentFd, const char* name)
{
    if (haveOpenat2.load(std::memory_order_relaxed)) {
        int fd = openResolved(parentFd, name, true);
        if (!lacksOpenat2(fd))
            return fd;
    }
    return withNoAtime(kListFlags, [&](int flags) { return ::openat(parentFd, name, flags); });
}

int DirOpener::reopenAsPath(int fd)
{
    return result(::openat(fd, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
}

int DirOpener::openBelow(int rootFd, std::string_view relative)
{
    if (relative.empty())
        return withNoAtime(O_RDONLY | O_DIRECTORY | O_CLOEXEC,
                           [&](int flags) { return ::openat(rootFd, ".", flags); });
    int current = rootFd;
    while (true) {
        bool last = relative.size() <= kStepBytes;
        std::size_t cut = last ? relative.size() : relative.rfind('/', kStepBytes);
        if (cut == std::string_view::npos || cut == 0)
            cut = relative.find('/');  // cannot happen with names <= NAME_MAX
        std::string_view piece = relative.substr(0, cut);
        int fd = -ENOSYS;
        if (haveOpenat2.load(std::memory_order_relaxed))
            fd = openResolved(current, std::string(piece).c_str(), last);
        if (lacksOpenat2(fd) || fd == -EAGAIN)
            fd = openStepwise(current, piece, last);
        if (current != rootFd)
            ::close(current);
        if (fd < 0 || last)
            return fd;
        current = fd;
        relative.remove_prefix(cut + 1);
    }
}

// One openat2 call: no symlink anywhere, no mount crossed, never above dirFd.
int DirOpener::openResolved(int dirFd, const char* path, bool forListing)
{
    auto open = [&](int flags) {
        open_how how{};
        how.flags = static_cast<uint64_t>(flags);
        how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_NO_XDEV | RESOLVE_BENEATH;
        return static_cast<int>(::syscall(SYS_openat2, dirFd, path, &how, sizeof how));
    };
    if (forListing)
        return withNoAtime(kListFlags, open);
    return result(open(kPathFlags));
}

// The same, one component at a time, for kernels without openat2.
int DirOpener::openStepwise(int dirFd, std::string_view path, bool forListing)
{
    int current = dirFd;
    while (true) {
        std::size_t slash = path.find('/');
        std::string name(path.substr(0, slash));
        bool last = slash == std::string_view::npos;
        int fd = last && forListing ? openChild(current, name.c_str())
                                    : result(::openat(current, name.c_str(), kPathFlags));
        if (current != dirFd)
            ::close(current);
        if (fd < 0 || last)
            return fd;
        current = fd;
        path.remove_prefix(slash + 1);
    }
}

}  // namespace velmaro::engine
