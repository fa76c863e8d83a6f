#pragma once
// What identifies a folder independently of its path: device, inode, the
// mount it was seen on and its stamp (birth time, or change time where the
// file system has none). A scan records it for every folder so that a later
// delete can prove it is acting on the folder the user saw, not on a new
// one that was given the same inode number. No Qt.

#include "engine/ObjectStamp.h"

#include <cstdint>
#include <string_view>

struct statx;

namespace velmaro::engine {

struct FolderIdentity {
    uint64_t dev = 0;         // st_dev (makedev of the statx major/minor)
    uint64_t ino = 0;         // st_ino
    uint64_t mountId = 0;     // statx mount id, where hasMountId
    bool hasMountId = false;  // the kernel reported a mount id
    bool mountRoot = false;   // seen as the root of a mount (not part of the identity)
    ObjectStamp stamp;        // birth (or change) time

    // The same folder, though its content may have changed since: same
    // device and inode, the same mount where both sides know it, and the
    // same birth time. A change-time stamp is not compared (it moves with
    // every entry added or removed, also by the delete itself), but both
    // sides must have read a stamp of the same kind.
    bool sameAs(const FolderIdentity& other) const
    {
        if (dev != other.dev || ino != other.ino || stamp.kind != other.stamp.kind)
            return false;
        if (stamp.kind == ObjectStamp::Kind::Birth && stamp.value != other.stamp.value)
            return false;
        return !hasMountId || !other.hasMountId || mountId == other.mountId;
    }

    // The same folder and, where only a change time tells it from a new
    // one, unchanged since: sameAs() and the same stamp of any kind.
    bool unchangedSince(const FolderIdentity& other) const
    {
        return sameAs(other) && stamp == other.stamp;
    }
};

// The identity of a statx result (asked for with STATX_INO | STATX_MNT_ID
// and stampMask()).
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

// True for the folder that a file system keeps at its root for its repairs:
// `lost+found` directly in the root of a mount (`parent`). e2fsck needs it
// (mke2fs preallocates it), so it never counts as zero-byte and the
// zero-byte cleanup never removes it.
bool isFileSystemFolder(std::string_view name, const FolderIdentity& parent);

}  // namespace velmaro::engine
