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
    // ENOTDIR when the entry is a symlink or no folder, and with EXDEV when
    // something is mounted on it (where mountsChecked()).
    static int openChild(int parentFd, const char* name);
    // Opens `relative` ("a/b/c", no leading or trailing '/') below `rootFd`,
    // however long the path: no component may be a symlink and the walk may
    // not cross into another mount. Holds at most two descriptors at a time.
    static int openBelow(int rootFd, std::string_view relative);
    // An O_PATH descriptor of the same folder (for openBelow).
    static int reopenAsPath(int fd);
    // True while the kernel resolves paths for us (openat2): then openChild
    // and openBelow refuse to cross into another mount (EXDEV) and the
    // caller need not check the volume of what they opened.
    static bool mountsChecked();

private:
    static int openResolved(int dirFd, const char* path, bool forListing);
    static int openStepwise(int dirFd, std::string_view path, bool forListing);
};

}  // namespace velmaro::engine
