#include "about/VersionStrip.h"

#include "platform/Fonts.h"

#include <QLinearGradient>
#include <QPainter>

namespace velmaro {

const QColor VersionStrip::kFrom(224, 224, 224);
const QColor VersionStrip::kTo(255, 0, 0);

VersionStrip::VersionStrip(QWidget* parent)
    : QLabel(parent)
{
    setFont(formFont(8.25, true));
}

void VersionStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, kFrom);
    gradient.setColorAt(1, kTo);
    p.fillRect(rect(), gradient);

    // Turn the painter so that the text runs upwards from the bottom edge,
    // centred across the strip's width.
    p.translate(0, height());
    p.rotate(-90);
    p.setPen(Qt::white);
    p.setFont(font());
    const QRect textArea(0, 0, height(), width());
    p.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

}  // namespace velmaro
