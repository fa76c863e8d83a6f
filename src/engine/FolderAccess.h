#pragma once
// The engine's small POSIX toolkit, shared by the scan, the deletes and the
// file view's listing (no Qt). With FdGuard (one owner per descriptor),
// FolderIdentity (identity and the one mount rule) and DirOpener (opening
// below a folder without links or mount crossings) it is all the engine
// does with the file system.
//
// One error convention: a function that gives a descriptor returns it, or
// -1 with errno set (DirOpener: a negative errno); every other function
// returns 0 or an errno value. Nothing follows a symlink in the last
// component.

#include "engine/FolderIdentity.h"

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velmaro::engine {

// One name read from a folder, with the type the folder listing reports
// (DT_UNKNOWN when the file system does not say).
struct Entry {
    std::string name;
    unsigned char type = 0;
    uint64_t inode = 0;
};

// Opens the folder `name` in `dirFd` with O_DIRECTORY|O_NOFOLLOW, read-only,
// without updating its access time where allowed. Returns the descriptor or
// -1 with errno set (ELOOP/ENOTDIR when `name` is not a real folder).
int openFolderAt(int dirFd, const char* name);

// Reads every entry of the open folder `fd` except "." and "..".
// Returns 0 or an errno value.
int readEntries(int fd, std::vector<Entry>& out);

// Splits a path without trailing '/' into parent and last component:
// "/a/b" -> "/a", "b"; "/a" -> "/", "a"; "a" -> ".", "a".
void splitPath(const std::string& path, std::string& parent, std::string& base);

// Removes trailing '/' (but "/" stays "/").
std::string stripTrailingSlashes(const std::string& path);

}  // namespace velmaro::engine
