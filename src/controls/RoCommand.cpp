#include "controls/RoCommand.h"

#include "platform/Fonts.h"
#include "platform/Resources.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace velmaro {

const QColor RoCommand::kNearWhite(247, 247, 239);
const QColor RoCommand::kRed(255, 0, 0);
const QColor RoCommand::kLightRed(255, 192, 192);
const QColor RoCommand::kPressed(224, 224, 215);
const QColor RoCommand::kDisabled(245, 244, 234);

namespace {

QCursor buttonCursor()
{
    ensureResources();
    const QPixmap picture(QStringLiteral(":/velmaro/cursor.png"));
    if (picture.isNull())
        return QCursor(Qt::PointingHandCursor);
    // The picture is a pointing hand whose fingertip sits at (10, 1).
    return QCursor(picture, 10, 1);
}

}  // namespace

RoCommand::RoCommand(const QString& caption, const QColor& back, QWidget* parent)
    : QAbstractButton(parent)
    , back_(back)
{
    setText(caption);
    if (!caption.isEmpty())
        setAccessibleName(caption);
    setFont(design_ = buttonFont());
    setFocusPolicy(Qt::StrongFocus);
    setCursor(buttonCursor());
    setAttribute(Qt::WA_Hover);
}

void RoCommand::setBackColor(const QColor& c)
{
    back_ = c;
    update();
}

QColor RoCommand::currentBackColor() const
{
    if (!isEnabled())
        return kDisabled;
    if (isDown())
        return kPressed;
    return back_;
}

void RoCommand::setSymbol(const QPixmap& pixmap)
{
    symbol_ = pixmap;
    updateGeometry();
    update();
}

QSize RoCommand::sizeHint() const
{
    const QSize textSize = fontMetrics().size(Qt::TextSingleLine, text());
    QSize size(textSize.width() + 16, textSize.height() + 12);
    if (!symbol_.isNull())
        size = size.expandedTo(symbol_.deviceIndependentSize().toSize() + QSize(8, 8));
    return size.expandedTo(QSize(24, 24));
}

QFont RoCommand::fittingFont(const QFont& start, int width) const
{
    // The substitute for the designed face runs wider: shrink the caption in
    // quarter points (down to 6 pt at the desktop's text scale) rather than
    // cut it off.
    QFont f = start;
    const double floor = scaledPoints(6.0);
    while (f.pointSizeF() - 0.25 >= floor && QFontMetrics(f).horizontalAdvance(text()) > width)
        f.setPointSizeF(f.pointSizeF() - 0.25);
    return f;
}

void RoCommand::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect box = rect();
    painter.fillRect(box, currentBackColor());
    // 1-pixel 3-D border: light over dark when up, reversed when pressed.
    const QColor light(255, 255, 255);
    const QColor dark(128, 128, 128);
    const bool sunken = isDown();
    painter.setPen(sunken ? dark : light);
    painter.drawLine(box.topLeft(), box.topRight());
    painter.drawLine(box.topLeft(), box.bottomLeft());
    painter.setPen(sunken ? light : dark);
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomRight());
    const QRect inner = captionRect().translated(sunken ? 1 : 0, sunken ? 1 : 0);
    if (!symbol_.isNull()) {
        const QSize s = symbol_.deviceIndependentSize().toSize();
        const QPoint at(inner.center().x() - s.width() / 2 + 1, inner.center().y() - s.height() / 2 + 1);
        if (!isEnabled())
            painter.setOpacity(0.4);
        painter.drawPixmap(at, symbol_);
        painter.setOpacity(1.0);
    }
    if (!text().isEmpty()) {
        painter.setPen(isEnabled() ? QColor(Qt::black) : QColor(160, 160, 160));
        painter.setFont(fittingFont(font(), inner.width()));
        painter.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, text());
    }
    if (hasFocus())
        paintFocusRing(painter);
}

// Inside the 3-D border and the focus ring: the ring never crosses the caption.
QRect RoCommand::captionRect() const
{
    return rect().adjusted(3, 3, -3, -3);
}

void RoCommand::paintFocusRing(QPainter& painter) const
{
    // Two pixels wide, white under black dots: clear on red, light red and
    // white; just inside the 3-D border, around the caption's room.
    for (int inset : {1, 2}) {
        const QRectF ring = QRectF(rect()).adjusted(inset + 0.5, inset + 0.5, -inset - 0.5, -inset - 0.5);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(ring);
        QPen dots(Qt::black, 1, Qt::CustomDashLine);
        dots.setDashPattern({1, 1});
        dots.setDashOffset(inset);
        painter.setPen(dots);
        painter.drawRect(ring);
    }
}

void RoCommand::fitCaptionsTogether(const QList<RoCommand*>& buttons)
{
    double points = 0;
    for (const RoCommand* b : buttons) {
        const double fits = b->fittingFont(b->design_, b->captionRect().width()).pointSizeF();
        points = points == 0 ? fits : std::min(points, fits);
    }
    for (RoCommand* b : buttons) {
        QFont f = b->font();
        f.setPointSizeF(points);
        b->setFont(f);
    }
}

void RoCommand::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        if (isEnabled())
            click();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

}  // namespace velmaro
