// The map's layout as a pure function: proportional areas, tiles inside
// their parents and apart from their siblings, tiny tiles left out with
// their area kept, and the squarified rows themselves.

#include "treemap/Squarify.h"
#include "treemap/TreemapLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace velmaro::treemap;

namespace {

// A random tree of `nodes` nodes: leaves of random weight (a few very
// small), inner weights the sums, children largest first.
TreemapTree randomTree(std::uint32_t nodes, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint32_t> parent(nodes, 0);
    for (std::uint32_t n = 1; n < nodes; ++n)
        parent[n] = std::uniform_int_distribution<std::uint32_t>(0, n - 1)(random);
    std::vector<std::vector<std::uint32_t>> children(nodes);
    for (std::uint32_t n = 1; n < nodes; ++n)
        children[parent[n]].push_back(n);
    TreemapTree tree;
    tree.weight.assign(nodes, 0);
    for (std::uint32_t n = nodes; n-- > 0;) {
        if (children[n].empty()) {
            const bool tiny = random() % 10 == 0;
            tree.weight[n] = tiny ? 1e-3 : double(1 + random() % 100000);
        }
        if (n > 0)
            tree.weight[parent[n]] += tree.weight[n];
    }
    tree.first.push_back(0);
    for (std::uint32_t n = 0; n < nodes; ++n) {
        auto kids = children[n];
        std::sort(kids.begin(), kids.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return tree.weight[a] > tree.weight[b]; });
        tree.kids.insert(tree.kids.end(), kids.begin(), kids.end());
        tree.first.push_back(std::uint32_t(tree.kids.size()));
    }
    return tree;
}

bool inside(const Rect& inner, const Rect& outer)
{
    constexpr double e = 1e-6;
    return inner.x >= outer.x - e && inner.y >= outer.y - e && inner.right() <= outer.right() + e &&
           inner.bottom() <= outer.bottom() + e;
}

double overlap(const Rect& a, const Rect& b)
{
    const double w = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const double h = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

TEST(TreemapLayout, AreasProportionalTilesInsideParentsAndApart)
{
    const TreemapTree tree = randomTree(3000, 7);
    for (const LayoutOptions options : {LayoutOptions{2, 0, 0}, LayoutOptions{2, 1, 14}}) {
        const std::vector<Tile> tiles = TreemapLayout::layout(tree, 0, Rect{0, 0, 1200, 800}, options);
        ASSERT_GT(tiles.size(), 300u);
        std::vector<std::vector<std::size_t>> siblings(tiles.size());
        for (std::size_t t = 1; t < tiles.size(); ++t) {
            const Tile& tile = tiles[t];
            ASSERT_LT(tile.parent, t);
            const Tile& parent = tiles[tile.parent];
            const Rect content = TreemapLayout::contentOf(parent.rect, parent.depth, options);
            EXPECT_TRUE(inside(tile.rect, content)) << "tile " << t;
            const double share = tree.weight[tile.node] / tree.weight[parent.node];
            EXPECT_NEAR(tile.rect.area(), share * content.area(), 0.01 * share * content.area()) << "tile " << t;
            EXPECT_GE(std::min(tile.rect.w, tile.rect.h), options.minSide);
            siblings[tile.parent].push_back(t);
        }
        for (const auto& group : siblings)
            for (std::size_t i = 0; i < group.size(); ++i)
                for (std::size_t j = i + 1; j < group.size(); ++j)
                    ASSERT_LT(overlap(tiles[group[i]].rect, tiles[group[j]].rect), 1e-6);
    }
}

TEST(TreemapLayout, TinyTilesAreLeftOutWithTheirSubtreesAndKeepTheirArea)
{
    // root 0: a big child 1 and a tiny child 2 that has a child 3.
    TreemapTree tree;
    tree.weight = {1e6 + 1, 1e6, 1, 1};
    tree.first = {0, 2, 2, 3, 3};
    tree.kids = {1, 2, 3};
    const std::vector<Tile> tiles = TreemapLayout::layout(tree, 0, Rect{0, 0, 100, 100}, LayoutOptions{2, 0, 0});
    ASSERT_EQ(tiles.size(), 2u);
    EXPECT_EQ(tiles[1].node, 1u);
    // The big child keeps its share; it does not grow into the tiny one's area.
    EXPECT_LT(tiles[1].rect.area(), 1e4 * (1 - 0.5e-6));
    // A rectangle too thin to show is left out even where its area is not tiny.
    tree.weight = {1000, 990, 10, 0};
    const std::vector<Tile> thin = TreemapLayout::layout(tree, 0, Rect{0, 0, 1000, 100}, LayoutOptions{2, 0, 0});
    for (const Tile& tile : thin)
        EXPECT_GE(std::min(tile.rect.w, tile.rect.h), 2.0);
    // Bounds too small for anything: no tiles at all.
    EXPECT_TRUE(TreemapLayout::layout(tree, 0, Rect{0, 0, 1, 50}, LayoutOptions{}).empty());
}

TEST(Squarify, LaysOutRowsAlongTheShorterSide)
{
    // The textbook example: 6, 6, 4, 3, 2, 2, 1 in a 6 x 4 rectangle.
    const double weights[] = {6, 6, 4, 3, 2, 2, 1};
    Rect out[7];
    ASSERT_EQ(squarify(weights, 7, 24, Rect{0, 0, 6, 4}, 0, out), 7u);
    auto near = [](const Rect& r, double x, double y, double w, double h) {
        return std::abs(r.x - x) < 1e-9 && std::abs(r.y - y) < 1e-9 && std::abs(r.w - w) < 1e-9 &&
               std::abs(r.h - h) < 1e-9;
    };
    EXPECT_TRUE(near(out[0], 0, 0, 3, 2));  // a column of 6 and 6 at the left
    EXPECT_TRUE(near(out[1], 0, 2, 3, 2));
    // What is left is 3 wide, 4 high: a row of 4 and 3 along its top.
    EXPECT_TRUE(near(out[2], 3, 0, 12.0 / 7, 7.0 / 3));
    EXPECT_TRUE(near(out[3], 3 + 12.0 / 7, 0, 9.0 / 7, 7.0 / 3));
    double worst = 1;
    for (const Rect& r : out)
        worst = std::max(worst, std::max(r.w / r.h, r.h / r.w));
    EXPECT_LT(worst, 3.0);
    // Weights that do not fill the total leave the rest of the rectangle free.
    const double half[] = {1, 1};
    ASSERT_EQ(squarify(half, 2, 4, Rect{0, 0, 4, 4}, 0, out), 2u);
    EXPECT_NEAR(out[0].area() + out[1].area(), 8, 1e-9);
}
