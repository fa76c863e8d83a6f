#include "app/MainLabels.h"

#include "controls/FitLabel.h"
#include "platform/Twips.h"

#include <algorithm>

namespace velmaro {

using platform::px;

namespace {

constexpr double kGapTwips = 60;  // between a label and the next control
constexpr double kRootLeftTwips = 4170;
constexpr double kCountsLeftTwips = 1500;

}  // namespace

void MainLabels::fit(const QRect& list, const QRect& logo, int buttonLeft) const
{
    for (FitLabel* heading : headings)
        heading->adjustSize();
    const int left = std::max(px(kRootLeftTwips), headings[1]->geometry().right() + 1 + px(kGapTwips));
    root->move(left, root->y());
    root->setMaximumWidth(std::max(0, list.right() + 1 - left));
    root->adjustSize();
    fitCounts(logo, buttonLeft);
}

int MainLabels::countsLeftmost(const QRect& logo) const
{
    return std::min(px(kCountsLeftTwips), logo.right() + 1 + px(kGapTwips));
}

int MainLabels::countsShortfall(const QRect& logo, int buttonLeft) const
{
    const int natural = std::max(counts[0]->naturalWidth(), counts[1]->naturalWidth());
    return std::max(0, natural - (buttonLeft - px(kGapTwips) - countsLeftmost(logo)));
}

void MainLabels::fitCounts(const QRect& logo, int buttonLeft) const
{
    const int gap = px(kGapTwips);
    const int right = buttonLeft - gap;
    const int designedLeft = px(kCountsLeftTwips);
    const int leftmost = countsLeftmost(logo);
    const int natural = std::max(counts[0]->naturalWidth(), counts[1]->naturalWidth());
    const int left = std::clamp(right - natural, leftmost, designedLeft);
    const int room = std::max(0, right - left);
    const double points = std::min(counts[0]->fittingPointSize(room), counts[1]->fittingPointSize(room));
    for (FitLabel* line : counts) {
        line->move(left, line->y());
        line->setMaximumWidth(room);
        line->setMaxPointSize(points);
        line->adjustSize();
        line->fit();
    }
}

}  // namespace velmaro
