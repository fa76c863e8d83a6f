#pragma once
// The windows ask for "Verdana" and "MS Sans Serif": "Verdana" is drawn with DejaVu Sans,
// "MS Sans Serif" with the desktop's general UI font (its condensed DejaVu
// face where that is installed). Call installFontSubstitutions() once after
// the QApplication exists (main and widget tests).
//
// Text size: the windows grow with the desktop's font as a whole. The
// desktop's font size (QApplication::font(), as the platform theme sets
// it) over the usual desktop size of 9 pt is the text scale; every form
// font and every twips length (platform/Twips) is multiplied by it, so a
// 12 pt desktop font gives windows a third larger with a third larger text.
// The scale is never below 1 (the designed size is the smallest) and never
// above 4. It is read afresh on every call: a window takes the scale of the
// moment it is built or laid out.

#include <QFont>

namespace velmaro {

void installFontSubstitutions();

// The desktop's text scale (see above); 1 without a QApplication.
double textScale();
// A designed point size at the desktop's text scale.
double scaledPoints(double designedPoints);

// The form font of every window: "MS Sans Serif" at `points` (8.25 as
// designed) times textScale().
QFont formFont(double points = 8.25, bool bold = false);
// The buttons' font: "Verdana" at `points` times textScale().
QFont buttonFont(double points = 8.25);

}  // namespace velmaro
