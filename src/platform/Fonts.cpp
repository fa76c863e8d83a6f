#include "platform/Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace velmaro {

void installFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    QString sans = QStringLiteral("DejaVu Sans");
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const QString general = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
        if (!general.isEmpty() && general != QLatin1String("MS Sans Serif"))
            sans = general;
    }
    // The designed dialogs were laid out for a narrow UI font; a condensed
    // face keeps headings and count lines clear of their neighbours.
    const QString condensed = QStringLiteral("DejaVu Sans Condensed");
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
        QFontDatabase::families().contains(condensed))
        sans = condensed;
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), sans);
}

}  // namespace velmaro

namespace velmaro {

namespace {

constexpr double kUsualDesktopPoints = 9.0;
constexpr double kLargestScale = 4.0;

// The desktop font's size in points; a font given in pixels is converted at
// the screen's logical dpi.
double desktopPoints()
{
    const QFont desktop = QApplication::font();
    if (desktop.pointSizeF() > 0)
        return desktop.pointSizeF();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen && screen->logicalDotsPerInch() > 0 ? screen->logicalDotsPerInch() : 96.0;
    return desktop.pixelSize() > 0 ? desktop.pixelSize() * 72.0 / dpi : kUsualDesktopPoints;
}

}  // namespace

double textScale()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 1.0;
    return std::clamp(desktopPoints() / kUsualDesktopPoints, 1.0, kLargestScale);
}

double scaledPoints(double designedPoints)
{
    return designedPoints * textScale();
}

QFont formFont(double points, bool bold)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(scaledPoints(points));
    font.setBold(bold);
    return font;
}

QFont buttonFont(double points)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(scaledPoints(points));
    return font;
}

}  // namespace velmaro
