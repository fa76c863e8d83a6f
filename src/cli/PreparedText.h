#pragma once
// Text kept for later, piece by piece, in large blocks that never move: a
// piece stays where it was put until the store is destroyed. The blocks are
// huge pages where the system gives them (2 MB each, asked for with
// MADV_HUGEPAGE), so filling them costs a page fault per block instead of
// one per 4 KB, and reading the pieces back in another order does not miss
// the address cache at every piece. No Qt.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velmaro::cli {

class PreparedText {
public:
    struct Place {
        uint32_t block = 0;
        uint32_t begin = 0;
        uint32_t length = 0;
    };

    PreparedText() = default;
    ~PreparedText();
    PreparedText(const PreparedText&) = delete;
    PreparedText& operator=(const PreparedText&) = delete;

    // Copies `piece` into the store.
    Place add(std::string_view piece);
    std::string_view at(const Place& place) const
    {
        return {blocks_[place.block].data + place.begin, place.length};
    }

    static constexpr std::size_t kBlockBytes = std::size_t(2) << 20;

private:
    struct Block {
        char* data = nullptr;
        std::size_t size = 0;
        std::size_t used = 0;
    };
    static Block allocate(std::size_t atLeast);

    std::vector<Block> blocks_;
};

}  // namespace velmaro::cli
