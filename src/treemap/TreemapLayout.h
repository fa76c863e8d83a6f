#pragma once
// The nested squarified layout of a subtree: one tile for the root, filling
// the bounds, and below it, inside every tile big enough, its children's
// tiles (Squarify), recursively.
//
// - A tile's children fill its content rectangle: the tile less `padding`
//   on every side and, where the tile is at least three headers high and
//   wide, less a header strip of `header` pixels on top (room for a name).
//   The root's content is the whole bounds.
// - Areas are proportional to weight within the content rectangle.
// - A tile narrower or lower than minSide is not made, nor anything below
//   it; its area stays part of its parent (the others do not grow).
// - Tiles come parents first (breadth first): tiles[0] is the root, and a
//   tile's parent always has a smaller index.
// Pure function of the tree and the options; no Qt.

#include "treemap/TreemapRect.h"
#include "treemap/TreemapTree.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace velmaro::treemap {

struct Tile {
    static constexpr std::uint32_t kNoParent = std::numeric_limits<std::uint32_t>::max();

    Rect rect;
    std::uint32_t node = 0;
    std::uint32_t parent = kNoParent;  // index of the parent's tile
    std::uint32_t depth = 0;           // 0: the root
};

struct LayoutOptions {
    double minSide = 2;
    double padding = 1;
    double header = 0;
};

class TreemapLayout {
public:
    // The content rectangle of a tile at `depth` (see above).
    static Rect contentOf(const Rect& tile, std::uint32_t depth, const LayoutOptions& options);
    static std::vector<Tile> layout(const TreemapTree& tree, std::uint32_t root, const Rect& bounds,
                                    const LayoutOptions& options);
};

}  // namespace velmaro::treemap
