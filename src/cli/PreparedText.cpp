#include "cli/PreparedText.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace velmaro::cli {

PreparedText::~PreparedText()
{
    for (const Block& block : blocks_)
        ::munmap(block.data, block.size);
}

PreparedText::Place PreparedText::add(std::string_view piece)
{
    if (blocks_.empty() || blocks_.back().size - blocks_.back().used < piece.size())
        blocks_.push_back(allocate(piece.size()));
    Block& block = blocks_.back();
    std::memcpy(block.data + block.used, piece.data(), piece.size());
    const Place place{uint32_t(blocks_.size() - 1), uint32_t(block.used), uint32_t(piece.size())};
    block.used += piece.size();
    return place;
}

// A block of kBlockBytes (more for a larger piece), aligned to kBlockBytes
// so that the system can back it with one huge page.
PreparedText::Block PreparedText::allocate(std::size_t atLeast)
{
    const std::size_t size = (atLeast + kBlockBytes - 1) / kBlockBytes * kBlockBytes;
    void* const mapped =
        ::mmap(nullptr, size + kBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    char* const start = static_cast<char*>(mapped);
    const auto misalignment = reinterpret_cast<std::uintptr_t>(start) % kBlockBytes;
    char* const aligned = misalignment ? start + (kBlockBytes - misalignment) : start;
    if (aligned > start)
        ::munmap(start, std::size_t(aligned - start));
    if (char* const end = start + size + kBlockBytes; end > aligned + size)
        ::munmap(aligned + size, std::size_t(end - (aligned + size)));
    ::madvise(aligned, size, MADV_HUGEPAGE);  // a plain block where refused
    return Block{aligned, size, 0};
}

}  // namespace velmaro::cli
