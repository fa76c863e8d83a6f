#pragma once
// One file as a folder listing saw it: its bare name (raw bytes) and inode.
// Deleting it later acts on that inode only (deleteListedFile). No Qt.

#include <cstdint>
#include <string>

namespace velmaro::engine {

struct ListedFile {
    std::string name;
    uint64_t inode = 0;
};

}  // namespace velmaro::engine
