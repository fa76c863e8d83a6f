#pragma once
// Item delegate of the program's lists and of the folder tree:
// - rows are at least the font's height plus 2 pixels above and below, so
//   accents over capitals (Ä, Ö, Ü) are never clipped;
// - a column can elide in another mode than the view's (paths in the
//   middle, so the end of a long path stays visible);
// - hovering over a cell whose text is not wholly visible (elided, or cut
//   off by the edge of the view) shows the full text as a tooltip. A model
//   that gives its own tooltip keeps it.

#include <QHash>
#include <QStyledItemDelegate>

namespace velmaro {

class RowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kPadding = 2;  // pixels above and below the text

    explicit RowDelegate(QObject* parent = nullptr);

    void setElideMode(int column, Qt::TextElideMode mode);
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    QHash<int, Qt::TextElideMode> elide_;
};

}  // namespace velmaro
