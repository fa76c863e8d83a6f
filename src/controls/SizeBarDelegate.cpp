#include "controls/SizeBarDelegate.h"

#include "folderlist/FolderListModel.h"

#include <QPainter>
#include <cmath>

namespace velmaro {

namespace {

const QColor kBar(186, 212, 240);  // pale blue on the list's light yellow

}  // namespace

SizeBarDelegate::SizeBarDelegate(QObject* parent)
    : RowDelegate(parent)
{}

QRect SizeBarDelegate::barRect(const QRect& cell, double share, bool selected)
{
    if (!(share > 0) || cell.width() <= 2)
        return QRect();
    const QRect inner = cell.adjusted(1, 1, -1, -1);
    const int length = std::max(1, int(std::lround(std::min(share, 1.0) * inner.width())));
    if (selected)
        return QRect(inner.left(), inner.bottom() - kSelectedLine + 1, length, kSelectedLine);
    return QRect(inner.left(), inner.top(), length, inner.height());
}

void SizeBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* model = qobject_cast<const FolderListModel*>(index.model());
    const double share = model ? model->shareOfParent(index.row()) : -1;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QRect bar = barRect(option.rect, share, selected);
    if (!bar.isEmpty() && !selected)
        painter->fillRect(bar, kBar);
    RowDelegate::paint(painter, option, index);
    if (!bar.isEmpty() && selected)
        painter->fillRect(bar, option.palette.color(QPalette::HighlightedText));
}

}  // namespace velmaro
