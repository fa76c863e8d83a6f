#pragma once
// Twips (1/1440 inch) <-> pixels at the screen's logical DPI.

namespace velmaro::platform {

// Pixels per twip factor: logicalDpi / 1440 (96 dpi: 15 twips per pixel).
double twipsPerPixel();
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);

}  // namespace velmaro::platform
