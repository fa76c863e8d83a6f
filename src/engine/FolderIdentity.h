#pragma once
// What identifies a folder independently of its path: device, inode and the
// mount it was seen on. A scan records it for every folder so that a later
// delete can prove it is acting on the folder the user saw. No Qt.

#include <cstdint>

struct statx;

namespace velmaro::engine {

struct FolderIdentity {
    uint64_t dev = 0;         // st_dev (makedev of the statx major/minor)
    uint64_t ino = 0;         // st_ino
    uint64_t mountId = 0;     // statx mount id, where hasMountId
    bool hasMountId = false;  // the kernel reported a mount id
    bool mountRoot = false;   // seen as the root of a mount (not part of the identity)

    // Same device and inode, and the same mount where both sides know it.
    bool sameAs(const FolderIdentity& other) const
    {
        if (dev != other.dev || ino != other.ino)
            return false;
        return !hasMountId || !other.hasMountId || mountId == other.mountId;
    }
};

// The identity of a statx result (asked for with STATX_INO | STATX_MNT_ID).
FolderIdentity identityOf(const struct statx& st);

// Reads the identity of `name` in `dirFd` without following a symlink; ""
// reads `dirFd` itself. Returns 0 or an errno value.
int readIdentity(int dirFd, const char* name, FolderIdentity& out);

// The one mount rule of the scan, the deletes and the file listing: a folder
// lies on another mount than `top` when it is the root of a mount, or when
// its mount id differs (where both are known), else when its device
// differs. A btrfs subvolume (another device, the same mount) is no other
// mount.
bool onOtherMount(const FolderIdentity& folder, const FolderIdentity& top);

}  // namespace velmaro::engine
