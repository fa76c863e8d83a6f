#include "treemap/Squarify.h"

#include <algorithm>
#include <vector>

namespace velmaro::treemap {

namespace {

// The worst aspect ratio of a row of areas (sum, smallest, largest) laid
// along a side of the given length.
double worstRatio(double sum, double smallest, double largest, double side)
{
    const double side2 = side * side;
    const double sum2 = sum * sum;
    return std::max(side2 * largest / sum2, sum2 / (side2 * smallest));
}

// Places areas[first, last) as one row along the shorter side of `free`
// and takes the row's strip off `free`.
void placeRow(const double* areas, std::size_t first, std::size_t last, double sum, Rect& free, Rect* out)
{
    if (free.w >= free.h) {  // a column at the left
        const double thickness = free.h > 0 ? sum / free.h : 0;
        double y = free.y;
        for (std::size_t i = first; i < last; ++i) {
            const double h = thickness > 0 ? areas[i] / thickness : 0;
            out[i] = Rect{free.x, y, thickness, h};
            y += h;
        }
        free.x += thickness;
        free.w = std::max(0.0, free.w - thickness);
    } else {  // a row at the top
        const double thickness = free.w > 0 ? sum / free.w : 0;
        double x = free.x;
        for (std::size_t i = first; i < last; ++i) {
            const double w = thickness > 0 ? areas[i] / thickness : 0;
            out[i] = Rect{x, free.y, w, thickness};
            x += w;
        }
        free.y += thickness;
        free.h = std::max(0.0, free.h - thickness);
    }
}

}  // namespace

std::size_t squarify(const double* weights, std::size_t count, double total, const Rect& bounds,
                     double minArea, Rect* out)
{
    if (count == 0 || total <= 0 || bounds.w <= 0 || bounds.h <= 0)
        return 0;
    const double scale = bounds.area() / total;
    const double floor = std::max(minArea, 1e-12);
    std::size_t shown = 0;
    while (shown < count && weights[shown] * scale >= floor)
        ++shown;
    thread_local std::vector<double> areas;  // reused: one layout calls this once per tile
    areas.resize(shown);
    for (std::size_t i = 0; i < shown; ++i)
        areas[i] = weights[i] * scale;

    Rect free = bounds;
    std::size_t i = 0;
    while (i < shown) {
        const double side = std::min(free.w, free.h);
        double sum = areas[i], smallest = areas[i], largest = areas[i];
        double worst = worstRatio(sum, smallest, largest, side);
        std::size_t j = i + 1;
        for (; j < shown; ++j) {
            const double s = sum + areas[j];
            const double next = worstRatio(s, std::min(smallest, areas[j]), largest, side);
            if (next > worst)
                break;
            sum = s;
            smallest = std::min(smallest, areas[j]);
            worst = next;
        }
        placeRow(areas.data(), i, j, sum, free, out);
        i = j;
    }
    return shown;
}

}  // namespace velmaro::treemap
