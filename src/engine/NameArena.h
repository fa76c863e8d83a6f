#pragma once
// Append-only storage for folder names: every name is copied once into large
// chunks, so a folder tree costs one small pointer per name instead of one
// heap string. Stored bytes never move; the views stay valid for the
// arena's lifetime. Not thread-safe.

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace velmaro::engine {

class NameArena {
public:
    // Copies `name` (raw bytes, any length) and returns a view of the copy,
    // which is followed by a '\0' (a C string for system calls).
    std::string_view store(std::string_view name);

private:
    static constexpr std::size_t kChunkSize = 256 * 1024;
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t used_ = 0;      // bytes used in the newest chunk
    std::size_t capacity_ = 0;  // size of the newest chunk
};

}  // namespace velmaro::engine
