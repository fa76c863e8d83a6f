#include "map/MapLegend.h"

#include "treemap/AgeColour.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace velmaro {

namespace {

using treemap::AgeColour;

const char* const kStopNames[AgeColour::kStops] = {"1 Tag", "1 Woche", "1 Monat", "1 Jahr", "5 Jahre"};
constexpr int kStrip = 360;  // pixels of the colour strip, at least
constexpr int kBox = 12;  // a colour sample
constexpr int kTop = 2;

QColor qColour(const treemap::Rgb& rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

}  // namespace

MapLegend::MapLegend(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    updateAccessibleName();
}

void MapLegend::setCreationBasis(bool creation)
{
    creation_ = creation;
    updateAccessibleName();
    update();
}

QString MapLegend::heading() const
{
    return creation_ ? QStringLiteral("Erstellt vor:") : QStringLiteral("Letzter Zugriff vor:");
}

void MapLegend::updateAccessibleName()
{
    QStringList stops;
    for (const char* name : kStopNames)
        stops << QString::fromUtf8(name);
    setAccessibleName(QStringLiteral("Farben: ") + heading() + QLatin1Char(' ') + stops.join(QStringLiteral(" – ")) +
                      QStringLiteral(", grau unbekannt, schraffiert Dateien im Ordner selbst"));
}

QSize MapLegend::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return QSize(kStrip + 500, kBox + fm.height() + 8);
}

void MapLegend::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    int x = 4;
    const QString head = heading();
    painter.drawText(QRect(x, kTop, fontMetrics().horizontalAdvance(head), kBox), Qt::AlignVCenter, head);
    x += fontMetrics().horizontalAdvance(head) + 8;
    x = paintScale(painter, x) + 16;
    painter.fillRect(QRect(x, kTop, kBox, kBox), qColour(AgeColour::kUnknown));
    x = paintKeyText(painter, x + kBox + 4, QStringLiteral("unbekannt")) + 16;
    const QColor sample = qColour(AgeColour::stopColour(2));
    painter.fillRect(QRect(x, kTop, kBox, kBox), sample.lighter(115));
    painter.fillRect(QRect(x, kTop, kBox, kBox), QBrush(sample.darker(160), Qt::BDiagPattern));
    paintKeyText(painter, x + kBox + 4, QStringLiteral("Dateien im Ordner selbst"));
}

// The colour strip from `x` on, its stops marked and named below it;
// returns where it ends.
int MapLegend::paintScale(QPainter& painter, int x) const
{
    const QFontMetrics fm = fontMetrics();
    const int strip = std::max(kStrip, fm.horizontalAdvance(QStringLiteral("5 Jahre")) * 7);
    const double span = std::log(AgeColour::stopAge(AgeColour::kStops - 1) / AgeColour::kDay);
    for (int i = 0; i < strip; ++i) {
        const double days = std::exp(span * i / (strip - 1));
        painter.fillRect(QRect(x + i, kTop, 1, kBox), qColour(AgeColour::of(days * AgeColour::kDay)));
    }
    for (int s = 0; s < AgeColour::kStops; ++s) {
        const double at = std::log(AgeColour::stopAge(s) / AgeColour::kDay) / span;
        const int px = x + int(at * (strip - 1));
        painter.drawLine(px, kTop + kBox, px, kTop + kBox + 2);
        const QString name = QString::fromUtf8(kStopNames[s]);
        const int w = fm.horizontalAdvance(name);
        const int left = std::clamp(px - w / 2, x, x + strip - w);
        painter.drawText(QRect(left, kTop + kBox + 2, w, fm.height()), Qt::AlignCenter, name);
    }
    return x + strip;
}

int MapLegend::paintKeyText(QPainter& painter, int x, const QString& text) const
{
    const int w = fontMetrics().horizontalAdvance(text);
    painter.drawText(QRect(x, kTop - 2, w, kBox + 4), Qt::AlignVCenter, text);
    return x + w;
}

}  // namespace velmaro
