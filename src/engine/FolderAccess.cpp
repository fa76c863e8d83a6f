#include "engine/FolderAccess.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace velmaro::engine {

int openFolderAt(int dirFd, const char* name)
{
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(dirFd, name, flags | O_NOATIME);
    if (fd < 0 && errno == EPERM)  // O_NOATIME is only for the owner
        fd = ::openat(dirFd, name, flags);
    return fd;
}

int readEntries(int fd, std::vector<Entry>& out)
{
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        ssize_t n = ::getdents64(fd, buffer.data(), buffer.size());
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        for (ssize_t pos = 0; pos < n;) {
            auto* d = reinterpret_cast<struct dirent64*>(buffer.data() + pos);
            pos += d->d_reclen;
            if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
                continue;
            out.push_back(Entry{d->d_name, d->d_type, d->d_ino});
        }
    }
}

void splitPath(const std::string& path, std::string& parent, std::string& base)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        parent.assign(1, '.');
        base = path;
        return;
    }
    parent.assign(path, 0, slash == 0 ? 1 : slash);
    base.assign(path, slash + 1, std::string::npos);
}

std::string stripTrailingSlashes(const std::string& path)
{
    auto end = path.find_last_not_of('/');
    if (end == std::string::npos)
        return path.empty() ? path : std::string("/");
    return path.substr(0, end + 1);
}

}  // namespace velmaro::engine
