#include "controls/RowDelegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace velmaro {

RowDelegate::RowDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{}

void RowDelegate::setElideMode(int column, Qt::TextElideMode mode)
{
    elide_.insert(column, mode);
}

void RowDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const auto mode = elide_.constFind(index.column());
    if (mode != elide_.constEnd())
        option->textElideMode = *mode;
}

QSize RowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), option.fontMetrics.height() + 2 * kPadding));
    return size;
}

bool RowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                            const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !view || !index.isValid() ||
        index.data(Qt::ToolTipRole).isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    // Cut: elided in its cell, or running past an edge of the view.
    const int need = sizeHint(option, index).width();
    const bool cut = need > option.rect.width() || option.rect.left() < 0 ||
                     option.rect.left() + need > view->viewport()->width();
    if (text.isEmpty() || !cut) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
    return true;
}

}  // namespace velmaro
