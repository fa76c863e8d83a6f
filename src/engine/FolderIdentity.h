#pragma once
// What identifies a folder independently of its path: device, inode and the
// mount it was seen on. A scan records it for every folder so that a later
// delete can prove it is acting on the folder the user saw. No Qt.

#include <cstdint>

namespace velmaro::engine {

struct FolderIdentity {
    uint64_t dev = 0;         // st_dev (makedev of the statx major/minor)
    uint64_t ino = 0;         // st_ino
    uint64_t mountId = 0;     // statx mount id, where hasMountId
    bool hasMountId = false;  // the kernel reported a mount id

    // Same device and inode, and the same mount where both sides know it.
    bool sameAs(const FolderIdentity& other) const
    {
        if (dev != other.dev || ino != other.ino)
            return false;
        return !hasMountId || !other.hasMountId || mountId == other.mountId;
    }
};

}  // namespace velmaro::engine
