#pragma once
// An axis-aligned rectangle in floating-point pixels: left, top, width,
// height. Plain data; no Qt.

namespace velmaro::treemap {

struct Rect {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;

    double area() const { return w * h; }
    double right() const { return x + w; }
    double bottom() const { return y + h; }
};

}  // namespace velmaro::treemap
