#include "platform/Twips.h"

#include "platform/Fonts.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace velmaro::platform {

namespace {

double logicalDpi()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 96.0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || screen->logicalDotsPerInch() <= 0)
        return 96.0;
    return screen->logicalDotsPerInch();
}

}  // namespace

double twipsPerPixel()
{
    return 1440.0 / (logicalDpi() * textScale());
}

int twipsToPixels(double twips)
{
    return int(std::lround(twips / twipsPerPixel()));
}

double pixelsToTwips(int pixels)
{
    return pixels * twipsPerPixel();
}

}  // namespace velmaro::platform
