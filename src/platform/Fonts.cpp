#include "platform/Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

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

QFont formFont(double points, bool bold)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace velmaro
