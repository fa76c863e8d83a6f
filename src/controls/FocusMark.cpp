#include "controls/FocusMark.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QPainter>

namespace velmaro {

FocusMark::FocusMark(QAbstractItemView* view)
    : QWidget(view)
    , view_(view)
{
    setObjectName(QStringLiteral("FocusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(view->rect());
    view->installEventFilter(this);

    QPalette colours = view->palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight, QColor(210, 210, 210));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(Qt::black));
    view->setPalette(colours);
    raise();
}

FocusMark* FocusMark::attach(QAbstractItemView* view)
{
    return new FocusMark(view);
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_) {
        switch (event->type()) {
        case QEvent::Resize: setGeometry(view_->rect()); break;
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            raise();
            update();
            break;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusMark::paintEvent(QPaintEvent*)
{
    if (!view_->hasFocus())
        return;
    QPainter painter(this);
    const QColor ring = view_->palette().color(QPalette::Active, QPalette::Highlight);
    const QRect box = rect();
    painter.fillRect(QRect(box.left(), box.top(), box.width(), kWidth), ring);
    painter.fillRect(QRect(box.left(), box.bottom() + 1 - kWidth, box.width(), kWidth), ring);
    painter.fillRect(QRect(box.left(), box.top(), kWidth, box.height()), ring);
    painter.fillRect(QRect(box.right() + 1 - kWidth, box.top(), kWidth, box.height()), ring);
}

}  // namespace velmaro
