#include "controls/RoLabel.h"

#include <QDesktopServices>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace velmaro {

namespace {

RoLabel::UrlOpener& opener()
{
    static RoLabel::UrlOpener function;
    return function;
}

}  // namespace

RoLabel::RoLabel(const QString& caption, QWidget* parent)
    : QLabel(caption, parent)
{}

void RoLabel::setUrlOpener(UrlOpener function)
{
    opener() = std::move(function);
}

void RoLabel::setKind(Kind kind)
{
    kind_ = kind;
    const bool link = kind == WebLink || kind == MailLink;
    QFont f = font();
    f.setUnderline(link);
    setFont(f);
    if (link)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    update();
}

void RoLabel::setGradient(const QColor& from, const QColor& to)
{
    from_ = from;
    to_ = to;
    gradient_ = true;
    setAutoFillBackground(false);
    update();
}

QString RoLabel::target() const
{
    const QString address = text().trimmed();
    if (kind_ == MailLink)
        return address.startsWith(QLatin1String("mailto:")) ? address : QStringLiteral("mailto:") + address;
    if (kind_ == WebLink && !address.contains(QLatin1String("://")))
        return QStringLiteral("https://") + address;
    return address;
}

void RoLabel::paintEvent(QPaintEvent* event)
{
    if (gradient_) {
        QPainter painter(this);
        QLinearGradient fill(rect().topLeft(), rect().topRight());
        fill.setColorAt(0.0, from_);
        fill.setColorAt(1.0, to_);
        painter.fillRect(rect(), fill);
    }
    QLabel::paintEvent(event);
}

void RoLabel::enterEvent(QEnterEvent* event)
{
    hovered_ = true;
    if (kind_ != Plain) {
        normalText_ = palette().color(QPalette::WindowText);
        QPalette hot = palette();
        hot.setColor(QPalette::WindowText, hover_);
        setPalette(hot);
    }
    QLabel::enterEvent(event);
}

void RoLabel::leaveEvent(QEvent* event)
{
    if (hovered_ && kind_ != Plain) {
        QPalette normal = palette();
        normal.setColor(QPalette::WindowText, normalText_);
        setPalette(normal);
    }
    hovered_ = false;
    QLabel::leaveEvent(event);
}

void RoLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    if (kind_ != WebLink && kind_ != MailLink)
        return;
    const QString url = target();
    emit linkClicked(url);
    const QUrl address(url);
    if (opener())
        opener()(address);
    else
        QDesktopServices::openUrl(address);
}

}  // namespace velmaro
