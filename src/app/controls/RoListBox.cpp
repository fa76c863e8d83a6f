#include "app/controls/RoListBox.h"

#include "platform/Twips.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace velmaro {

namespace {

constexpr int kWidthsTwips[] = {1800, 3500, 1800, 2000, 2000};

}  // namespace

RoListBox::RoListBox(QWidget* parent) : QTreeView(parent), model_(new FolderListModel(this))
{
    setModel(model_);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setAllColumnsShowFocus(true);
    setAlternatingRowColors(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QFont listFont(QStringLiteral("MS Sans Serif"));
    listFont.setPointSizeF(8.25);
    setFont(listFont);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(255, 255, 192));
    colours.setColor(QPalette::AlternateBase, QColor(255, 255, 192));
    colours.setColor(QPalette::Text, colours.color(QPalette::WindowText));
    setPalette(colours);

    header()->setStretchLastSection(false);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    for (int column = 0; column < 5; ++column)
        setColumnWidth(column, platform::twipsToPixels(kWidthsTwips[column]));
    setSortingEnabled(true);

    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit rowActivated();
    });
}

void RoListBox::ClearRows()
{
    model_->clear();
    // A new list starts in arrival order: a scan adds its rows unsorted and
    // sorts once at its end, instead of merging every batch into an order.
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    model_->sort(-1);
}

void RoListBox::AddRow(FolderRow row)
{
    std::vector<FolderRow> batch;
    batch.push_back(std::move(row));
    model_->append(std::move(batch));
}

void RoListBox::AddRows(std::vector<FolderRow>&& rows)
{
    model_->append(std::move(rows));
}

bool RoListBox::AddBatch(const RowBatch& batch)
{
    return model_->append(batch);
}

qint64 RoListBox::RowCount() const
{
    return model_->totalRows();
}

QString RoListBox::CellText(qint64 row, int column) const
{
    if (row < 1 || row > RowCount() || column < 1 || column > 5)
        return QString();
    return model_->cellText(int(row - 1), column - 1);
}

std::optional<FolderRow> RoListBox::RowAt(qint64 row) const
{
    if (row < 1 || row > RowCount())
        return std::nullopt;
    return model_->rowAt(int(row - 1));
}

QByteArray RoListBox::RawPathAt(qint64 row) const
{
    if (row < 1 || row > RowCount())
        return QByteArray();
    return model_->rawPathAt(int(row - 1));
}

bool RoListBox::ZeroByteAt(qint64 row) const
{
    return row >= 1 && row <= RowCount() && model_->zeroByteAt(int(row - 1));
}

std::optional<engine::ScannedFolder> RoListBox::ScannedFolderAt(qint64 row) const
{
    if (row < 1 || row > RowCount())
        return std::nullopt;
    return model_->scannedFolder(int(row - 1));
}

qint64 RoListBox::SelectedIndex() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void RoListBox::SelectRow(qint64 row)
{
    if (row < 1 || row > RowCount()) {
        selectionModel()->clearSelection();
        return;
    }
    model_->publish();
    const QModelIndex index = model_->index(int(row - 1), 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

qint64 RoListBox::ZeroByteCount() const
{
    return model_->zeroByteCount();
}

void RoListBox::SortBy(int column, Qt::SortOrder order)
{
    sortByColumn(column - 1, order);
}

void RoListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (currentIndex().isValid()) {
            emit rowActivated();
            event->accept();
            return;
        }
    }
    QTreeView::keyPressEvent(event);
}

}  // namespace velmaro
