#pragma once
// What tells a file-system object from a later one that was given the same
// inode number: ext4 and others hand a freed inode number out again at
// once, so device + inode alone do not prove "the same object". No Qt.
//
// The stamp is the birth time where the file system records one (and it is
// not 0), else the change time. A birth time never changes; a change time
// changes with every change of the object (for a folder: every entry added
// or removed), so a Change stamp proves "the same and unchanged".

#include <cstdint>

struct statx;

namespace velmaro::engine {

struct ObjectStamp {
    enum class Kind : uint8_t {
        None,    // nothing read (never equal to a stamp that was read)
        Birth,   // statx birth time
        Change,  // statx change time: the file system has no birth time
    };
    Kind kind = Kind::None;
    uint64_t value = 0;  // the time as nanoseconds since the epoch (wrapping)

    bool operator==(const ObjectStamp&) const = default;

    // A time packed into `value`: equal times give equal values.
    static uint64_t pack(int64_t seconds, uint32_t nanoseconds)
    {
        return static_cast<uint64_t>(seconds) * 1000000000u + nanoseconds;
    }
};

// The stamp of a statx result asked for with STATX_BTIME | STATX_CTIME.
ObjectStamp stampOf(const struct statx& st);

// The statx mask that stampOf() needs.
unsigned stampMask();

}  // namespace velmaro::engine
