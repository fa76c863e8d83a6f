#include "treemap/AgeColour.h"

#include <algorithm>
#include <cmath>

namespace velmaro::treemap {

namespace {

struct Stop {
    double days;
    Rgb colour;
};

constexpr Stop kScale[AgeColour::kStops] = {
    {1, {44, 123, 182}},     // a day
    {7, {171, 217, 233}},    // a week
    {30, {255, 255, 191}},   // a month
    {365, {253, 174, 97}},   // a year
    {1826, {215, 25, 28}},   // five years
};

double logDays(double ageSeconds)
{
    return std::log(std::max(1.0, ageSeconds / AgeColour::kDay));
}

std::uint8_t blend(std::uint8_t a, std::uint8_t b, double t)
{
    return std::uint8_t(std::lround(a + (b - a) * t));
}

}  // namespace

double AgeColour::stopAge(int i)
{
    return kScale[std::clamp(i, 0, kStops - 1)].days * kDay;
}

Rgb AgeColour::stopColour(int i)
{
    return kScale[std::clamp(i, 0, kStops - 1)].colour;
}

double AgeColour::position(double ageSeconds)
{
    if (std::isnan(ageSeconds))
        return 0;
    return std::clamp(logDays(ageSeconds) / std::log(kScale[kStops - 1].days), 0.0, 1.0);
}

Rgb AgeColour::of(double ageSeconds)
{
    if (std::isnan(ageSeconds))
        return kUnknown;
    const double at = logDays(ageSeconds);
    for (int i = 1; i < kStops; ++i) {
        const double hi = std::log(kScale[i].days);
        if (at <= hi) {
            const double lo = std::log(kScale[i - 1].days);
            const double t = (at - lo) / (hi - lo);
            const Rgb& a = kScale[i - 1].colour;
            const Rgb& b = kScale[i].colour;
            return Rgb{blend(a.r, b.r, t), blend(a.g, b.g, t), blend(a.b, b.b, t)};
        }
    }
    return kScale[kStops - 1].colour;
}

}  // namespace velmaro::treemap
