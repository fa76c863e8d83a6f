#pragma once
// The delegate of the folder list's size column: behind the size text, a
// pale bar whose length is the row's share of its parent folder's size
// (FolderListModel::shareOfParent; the scanned folder's bar is full). Rows
// without a share (an incomplete or failed size) get no bar. On a selected
// row the bar is a thin line along the bottom of the cell, so the
// highlight and its text stay as they are. The text, its alignment and
// tooltips are RowDelegate's.

#include "controls/RowDelegate.h"

namespace velmaro {

class SizeBarDelegate : public RowDelegate {
    Q_OBJECT
public:
    static constexpr int kSelectedLine = 3;  // pixels

    explicit SizeBarDelegate(QObject* parent = nullptr);

    // The bar's rectangle in a cell for a share (empty for none).
    static QRect barRect(const QRect& cell, double share, bool selected);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace velmaro
