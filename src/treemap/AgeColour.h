#pragma once
// The colour scale of the map: how long ago a folder was last used (or
// made), from recent to old, on a logarithmic time axis:
//   a day or less  blue          1 week   light blue
//   1 month        pale yellow   1 year   orange
//   5 years and more  red; in between the colours blend.
// An age below zero (a time in the future, a clock set wrong) counts as
// zero. An unknown time (NaN) has a grey of its own. Pure functions; no Qt.

#include <cstdint>

namespace velmaro::treemap {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

class AgeColour {
public:
    static constexpr double kDay = 86400.0;  // seconds
    static constexpr int kStops = 5;
    static constexpr Rgb kUnknown{190, 190, 190};

    // The age in seconds at stop i (0 .. kStops - 1) and its colour.
    static double stopAge(int i);
    static Rgb stopColour(int i);
    // Where an age lies on the scale: 0 (a day or less) .. 1 (five years or more).
    static double position(double ageSeconds);
    static Rgb of(double ageSeconds);
};

}  // namespace velmaro::treemap
