#pragma once
// The windows ask for "Verdana" and "MS Sans Serif": "Verdana" is drawn with DejaVu Sans,
// "MS Sans Serif" with the desktop's general UI font (its condensed DejaVu
// face where that is installed). Call installFontSubstitutions() once after
// the QApplication exists (main and widget tests).

#include <QFont>

namespace velmaro {

void installFontSubstitutions();

// The form font of every window: "MS Sans Serif" at `points` (8.25 as
// designed), whatever size the desktop's font has.
QFont formFont(double points = 8.25, bool bold = false);

}  // namespace velmaro
