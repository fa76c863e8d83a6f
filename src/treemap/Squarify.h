#pragma once
// Squarified treemap of one level: rectangles for weights, each with an area
// proportional to its weight, as close to squares as the greedy row method
// gets them (rows along the shorter side of what is left).
//
// squarify(weights, count, total, bounds, minArea, out):
// - weights: count values, largest first, each >= 0;
// - total: the weight that fills `bounds` (normally the sum of weights);
// - an item whose area would be below minArea ends the layout: it and every
//   item after it (no larger) get no rectangle, and their area stays free
//   (the rectangles laid out do not grow to fill it);
// - writes the rectangles of the first n items to out[0 .. n) and returns n.
// Pure function; out must hold count rectangles.

#include "treemap/TreemapRect.h"

#include <cstddef>

namespace velmaro::treemap {

std::size_t squarify(const double* weights, std::size_t count, double total, const Rect& bounds,
                     double minArea, Rect* out);

}  // namespace velmaro::treemap
