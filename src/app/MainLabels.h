#pragma once
// The main window's labels that size themselves to their text, laid out so
// that none covers another control:
// - the three headings take the width of their text;
// - LabelVerzeichnis starts at its designed left, or after its heading
//   "Stammverzeichnis" where that is wider, and ends at the folder list's
//   right edge (a longer path elides);
// - the two count lines share one left edge and one size: they end before
//   the first bottom button (cmd_OrdnerNull), move left from their designed
//   edge up to the logo where the text needs it, and only then shrink.

#include <QRect>

namespace velmaro {

class FitLabel;

class MainLabels {
public:
    FitLabel* headings[3] = {nullptr, nullptr, nullptr};  // Label(0..2)
    FitLabel* root = nullptr;                             // LabelVerzeichnis
    FitLabel* counts[2] = {nullptr, nullptr};             // Label_Info(0..1)

    // `list` is the folder list's geometry, `logo` the logo's with its focus
    // ring, `buttonLeft` the left edge of cmd_OrdnerNull (window pixels).
    void fit(const QRect& list, const QRect& logo, int buttonLeft) const;
    // How many pixels the count lines lack, at their design size, when the
    // first bottom button's left edge is at `buttonLeft`; 0 when they fit.
    int countsShortfall(const QRect& logo, int buttonLeft) const;

private:
    void fitCounts(const QRect& logo, int buttonLeft) const;
    // The leftmost edge the count lines may move to.
    int countsLeftmost(const QRect& logo) const;
};

}  // namespace velmaro
