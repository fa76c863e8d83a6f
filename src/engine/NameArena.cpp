#include "engine/NameArena.h"

#include <algorithm>
#include <cstring>

namespace velmaro::engine {

std::string_view NameArena::store(std::string_view name)
{
    if (name.empty())
        return {};
    if (name.size() + 1 > capacity_ - used_) {
        // Names are short (NAME_MAX); a rare oversized one gets a chunk of its own.
        std::size_t size = std::max(kChunkSize, name.size() + 1);
        chunks_.push_back(std::unique_ptr<char[]>(new char[size]));  // not zero-filled: untouched until used
        used_ = 0;
        capacity_ = size;
    }
    char* dest = chunks_.back().get() + used_;
    std::memcpy(dest, name.data(), name.size());
    dest[name.size()] = '\0';
    used_ += name.size() + 1;
    return {dest, name.size()};
}

}  // namespace velmaro::engine
