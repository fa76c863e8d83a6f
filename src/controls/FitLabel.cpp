#include "controls/FitLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace velmaro {

namespace {

constexpr double kStep = 0.25;

QFont sized(QFont font, double points)
{
    font.setPointSizeF(points);
    return font;
}

}  // namespace

FitLabel::FitLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
    , design_(font())
    , floor_(design_.pointSizeF())
    , cap_(floor_)
{
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
}

void FitLabel::setShrinkFloor(double points)
{
    floor_ = std::min(points, design_.pointSizeF());
    fit();
}

void FitLabel::setElideMode(Qt::TextElideMode mode)
{
    elide_ = mode;
    fit();
}

void FitLabel::setMaxPointSize(double points)
{
    cap_ = std::min(points, design_.pointSizeF());
    fit();
}

int FitLabel::naturalWidth() const
{
    return QFontMetrics(design_).horizontalAdvance(text());
}

double FitLabel::fittingPointSize(int width) const
{
    double points = design_.pointSizeF();
    while (points - kStep >= floor_ - 1e-9 &&
           QFontMetrics(sized(design_, points)).horizontalAdvance(text()) > width)
        points -= kStep;
    return points;
}

void FitLabel::fit()
{
    const int room = contentsRect().width();
    const double points = std::min(cap_, fittingPointSize(room));
    if (font().pointSizeF() != points)
        setFont(sized(design_, points));
    elided_ = QFontMetrics(font()).horizontalAdvance(text()) > room;
    fitted_ = text();
    const QString tip = elided_ ? text() : QString();
    if (toolTip() != tip)
        setToolTip(tip);
    update();
}

QSize FitLabel::sizeHint() const
{
    const QMargins m = contentsMargins();
    const QFontMetrics metrics(design_);
    return QSize(metrics.horizontalAdvance(text()) + m.left() + m.right(),
                 metrics.height() + m.top() + m.bottom());
}

QSize FitLabel::minimumSizeHint() const
{
    return QSize(0, sizeHint().height());
}

void FitLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    fit();
}

void FitLabel::paintEvent(QPaintEvent* event)
{
    if (fitted_ != text())  // the text changed since the last fit
        fit();
    if (!elided_) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QRect box = contentsRect();
    const QString shown = QFontMetrics(font()).elidedText(text(), elide_, box.width());
    style()->drawItemText(&painter, box, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}

}  // namespace velmaro
