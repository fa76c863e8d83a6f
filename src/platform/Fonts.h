#pragma once
// The windows ask for "Verdana" and "MS Sans Serif": "Verdana" is drawn with DejaVu Sans,
// "MS Sans Serif" with the desktop's general UI font. Call once after the
// QApplication exists (main and widget tests).

namespace velmaro {

void installFontSubstitutions();

}  // namespace velmaro
