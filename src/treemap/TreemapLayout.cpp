#include "treemap/TreemapLayout.h"

#include "treemap/Squarify.h"

#include <algorithm>

namespace velmaro::treemap {

Rect TreemapLayout::contentOf(const Rect& tile, std::uint32_t depth, const LayoutOptions& options)
{
    if (depth == 0)
        return tile;
    const double p = options.padding;
    Rect inner{tile.x + p, tile.y + p, std::max(0.0, tile.w - 2 * p), std::max(0.0, tile.h - 2 * p)};
    if (options.header > 0 && tile.h >= 3 * options.header && tile.w >= 3 * options.header) {
        inner.y += options.header;
        inner.h = std::max(0.0, inner.h - options.header);
    }
    return inner;
}

std::vector<Tile> TreemapLayout::layout(const TreemapTree& tree, std::uint32_t root, const Rect& bounds,
                                        const LayoutOptions& options)
{
    std::vector<Tile> tiles;
    if (root >= tree.nodeCount() || bounds.w < options.minSide || bounds.h < options.minSide)
        return tiles;
    tiles.push_back(Tile{bounds, root, Tile::kNoParent, 0});
    std::vector<double> weights;
    std::vector<Rect> rects;
    const double minArea = options.minSide * options.minSide;
    for (std::size_t t = 0; t < tiles.size(); ++t) {
        const Tile parent = tiles[t];  // a copy: push_back below moves the vector
        const std::uint32_t n = parent.node;
        const std::uint32_t count = tree.childCount(n);
        const Rect content = contentOf(parent.rect, parent.depth, options);
        if (count == 0 || tree.weight[n] <= 0 || content.w < options.minSide || content.h < options.minSide)
            continue;
        const std::uint32_t* kids = tree.kids.data() + tree.first[n];
        weights.resize(count);
        for (std::uint32_t i = 0; i < count; ++i)
            weights[i] = tree.weight[kids[i]];
        rects.resize(count);
        const std::size_t laid = squarify(weights.data(), count, tree.weight[n], content, minArea, rects.data());
        for (std::size_t i = 0; i < laid; ++i) {
            if (rects[i].w >= options.minSide && rects[i].h >= options.minSide)
                tiles.push_back(Tile{rects[i], kids[i], std::uint32_t(t), parent.depth + 1});
        }
    }
    return tiles;
}

}  // namespace velmaro::treemap
