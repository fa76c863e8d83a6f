#include "app/controls/RoListBox.h"

#include "app/controls/RowDelegate.h"
#include "app/controls/SizeBarDelegate.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace velmaro {

namespace {

constexpr int kWidthsTwips[] = {1800, 3500, 1800, 2000, 2000};
constexpr int kPathColumn = 1;
constexpr int kSizeColumn = 2;

}  // namespace

RoListBox::RoListBox(QWidget* parent)
    : QTableView(parent)
    , model_(new FolderListModel(this))
{
    setModel(model_);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setAlternatingRowColors(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    setFont(formFont());
    auto* delegate = new RowDelegate(this);
    delegate->setElideMode(kPathColumn, Qt::ElideMiddle);
    setItemDelegate(delegate);
    setItemDelegateForColumn(kSizeColumn, new SizeBarDelegate(this));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(255, 255, 192));
    colours.setColor(QPalette::AlternateBase, QColor(255, 255, 192));
    colours.setColor(QPalette::Text, colours.color(QPalette::WindowText));
    setPalette(colours);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(rowHeight());
    header()->setStretchLastSection(false);
    header()->setHighlightSections(false);
    header()->setSectionsMovable(true);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    for (int column = 0; column < 5; ++column)
        setColumnWidth(column, minimumColumnWidth(column));
    setSortingEnabled(true);
    connect(header(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column == kPathColumn && !stretching_)
            pathSizedByUser_ = true;
    });
    addSortActions();

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
    // A changed sort indicator sorts (sorting is enabled); an unchanged one
    // would not.
    if (header()->sortIndicatorSection() == column - 1 && header()->sortIndicatorOrder() == order)
        model_->sort(column - 1, order);
    else
        sortByColumn(column - 1, order);
}

int RoListBox::sortColumn() const
{
    return model_->sortColumn() + 1;
}

Qt::SortOrder RoListBox::sortOrder() const
{
    return model_->sortOrder();
}

int RoListBox::minimumColumnWidth(int column) const
{
    // The header's size hint leaves room for the sort marker.
    return std::max(platform::twipsToPixels(kWidthsTwips[column]), header()->sectionSizeHint(column));
}

void RoListBox::addSortActions()
{
    for (int column = 0; column < 5; ++column) {
        auto* action =
            new QAction(model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(), this);
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + column)));
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, column] { sortLikeHeaderClick(column); });
        addAction(action);
        sortActions_.append(action);
    }
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(header(), &QHeaderView::sortIndicatorChanged, this, [this](int section) {
        for (int column = 0; column < sortActions_.size(); ++column)
            sortActions_[column]->setChecked(column == section);
    });
}

void RoListBox::sortLikeHeaderClick(int column)
{
    // As QHeaderView does: the sorted column turns round, another one keeps
    // the direction.
    Qt::SortOrder order = header()->sortIndicatorOrder();
    if (header()->sortIndicatorSection() == column)
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    SortBy(column + 1, order);
}

// Every row is as high as a row with the folder icon and a line of text,
// with room for accents (RowDelegate).
int RoListBox::rowHeight() const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    option.text = QStringLiteral("ÄÖÜgjpqy");
    option.icon = style()->standardIcon(QStyle::SP_DirIcon);
    const QSize size = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    return std::max(size.height(), option.fontMetrics.height() + 2 * RowDelegate::kPadding);
}

QModelIndex RoListBox::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if ((action == MoveHome || action == MoveEnd) && model_->rowCount() > 0) {
        const int column = std::max(0, currentIndex().column());
        return model_->index(action == MoveHome ? 0 : model_->rowCount() - 1, column);
    }
    return QTableView::moveCursor(action, modifiers);
}

void RoListBox::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        verticalHeader()->setDefaultSectionSize(rowHeight());
}

void RoListBox::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    stretchPathColumn();
}

void RoListBox::stretchPathColumn()
{
    if (pathSizedByUser_)
        return;
    int others = 0;
    for (int column = 0; column < model_->columnCount(); ++column)
        others += column == kPathColumn ? 0 : columnWidth(column);
    const int width = std::max(minimumColumnWidth(kPathColumn), viewport()->width() - others);
    stretching_ = true;
    setColumnWidth(kPathColumn, width);
    stretching_ = false;
}

void RoListBox::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) &&
        event->modifiers() == Qt::NoModifier) {
        QScrollBar* bar = horizontalScrollBar();
        const int step = std::max(1, viewport()->width() / 3);
        bar->setValue(bar->value() + (event->key() == Qt::Key_Left ? -step : step));
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (currentIndex().isValid()) {
            emit rowActivated();
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

}  // namespace velmaro
