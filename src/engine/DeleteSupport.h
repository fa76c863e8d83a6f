#pragma once
// Small descriptor-based building blocks of the safe deletion (no Qt).
// All functions report failures through errno-style return values and never
// follow a symlink in the last component.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velmaro::engine::deletion {

// What identifies a folder while the walk holds no descriptor for it.
struct Identity {
    dev_t dev = 0;
    ino_t ino = 0;
    uint64_t mountId = 0;
    bool hasMountId = false;  // the kernel reported a mount id
    bool mountRoot = false;   // the kernel says: root of a mount
};

// One name read from a folder, with the type the folder listing reports
// (DT_UNKNOWN when the file system does not say).
struct Entry {
    std::string name;
    unsigned char type = 0;
};

// Fills `id` for the open descriptor `fd`. Returns 0 or an errno value.
int readIdentity(int fd, Identity& id);

// True when both describe the same folder (device and inode).
bool sameFolder(const Identity& a, const Identity& b);

// True when `child` lies on another mount than `top` (another device, another
// mount id, or the root of a mount, e.g. a bind mount of the same file system).
bool onOtherMount(const Identity& child, const Identity& top);

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

}  // namespace velmaro::engine::deletion
