#pragma once
// Opening folders for listing without ever following a symlink.
//
// Every function returns an open descriptor (O_RDONLY|O_DIRECTORY|O_CLOEXEC,
// with O_NOATIME where the file system allows it, so listing the folder does
// not change its access time) or a negative errno. None changes the working
// directory.

#include <string>
#include <string_view>

namespace velmaro::engine {

class DirOpener {
public:
    // Opens the folder the user named. Symlinks in `path` itself are the
    // user's choice and are resolved.
    static int openRoot(const std::string& path);
    // Opens the entry `name` of the folder `parentFd`; fails with ELOOP or
    // ENOTDIR when the entry is a symlink or no folder.
    static int openChild(int parentFd, const char* name);
    // Opens `relative` ("a/b/c", no leading or trailing '/') below `rootFd`,
    // however long the path: no component may be a symlink and the walk may
    // not cross into another mount. Holds at most two descriptors at a time.
    static int openBelow(int rootFd, std::string_view relative);
    // An O_PATH descriptor of the same folder (for openBelow).
    static int reopenAsPath(int fd);

private:
    static int openResolved(int dirFd, const std::string& path, bool forListing);
    static int openStepwise(int dirFd, std::string_view path, bool forListing);
};

}  // namespace velmaro::engine
