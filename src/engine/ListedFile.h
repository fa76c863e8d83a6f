#pragma once
// One file as a folder listing saw it: its bare name (raw bytes) and what
// its status said then. Deleting it later acts on that file only, and only
// while it is unchanged (deleteListedFile). No Qt.

#include "engine/ObjectStamp.h"

#include <cstdint>
#include <string>

struct statx;

namespace velmaro::engine {

// What tells the listed file from another one under the same name, or from
// the same file changed since: inode, stamp (birth or change time), size
// and change time. Facts that were never read (kind None) match nothing.
struct FileFacts {
    uint64_t inode = 0;
    ObjectStamp stamp;
    uint64_t size = 0;
    uint64_t changed = 0;  // change time, packed as ObjectStamp::pack

    bool operator==(const FileFacts&) const = default;
};

// The facts of a statx result asked for with fileFactsMask().
FileFacts factsOf(const struct statx& st);
unsigned fileFactsMask();

struct ListedFile {
    std::string name;
    FileFacts facts;
};

}  // namespace velmaro::engine
