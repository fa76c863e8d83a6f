#include "controls/Line3D.h"

#include <QPainter>

namespace velmaro {

Line3D::Line3D(QWidget* parent)
    : QWidget(parent)
{
    setMinimumHeight(2);
    setFocusPolicy(Qt::NoFocus);
}

void Line3D::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor dark(128, 128, 128);
    const QColor light(255, 255, 255);
    if (width() >= height()) {
        const int y = height() / 2 - 1;
        painter.setPen(dark);
        painter.drawLine(0, y, width() - 1, y);
        painter.setPen(light);
        painter.drawLine(0, y + 1, width() - 1, y + 1);
    } else {
        const int x = width() / 2 - 1;
        painter.setPen(dark);
        painter.drawLine(x, 0, x, height() - 1);
        painter.setPen(light);
        painter.drawLine(x + 1, 0, x + 1, height() - 1);
    }
}

}  // namespace velmaro
