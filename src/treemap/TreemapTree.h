#pragma once
// The tree a treemap is laid out from, in compressed rows: node n's
// children are kids[first[n] .. first[n + 1]), ordered by weight, largest
// first; weight[n] is the node's whole weight (the sum of its children's
// for an inner node). A child of weight 0 is not shown. Plain data; no Qt.

#include <cstdint>
#include <vector>

namespace velmaro::treemap {

struct TreemapTree {
    std::vector<double> weight;
    std::vector<std::uint32_t> first;  // size: nodes + 1
    std::vector<std::uint32_t> kids;

    std::uint32_t nodeCount() const { return std::uint32_t(weight.size()); }
    std::uint32_t childCount(std::uint32_t node) const { return first[node + 1] - first[node]; }
};

}  // namespace velmaro::treemap
