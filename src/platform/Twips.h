#pragma once
// Twips (1/1440 inch) <-> pixels at the screen's logical DPI, grown with the
// desktop's text scale (textScale(), platform/Fonts) as the fonts are: a
// window keeps its proportions to its text at every desktop font size.

namespace velmaro::platform {

// Twips per pixel: 1440 / (logicalDpi * textScale()) (96 dpi, usual
// desktop font: 15 twips per pixel; 12 pt desktop font: 11.25).
double twipsPerPixel();
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);
// Short for twipsToPixels in layout code.
inline int px(double twips)
{
    return twipsToPixels(twips);
}

}  // namespace velmaro::platform
