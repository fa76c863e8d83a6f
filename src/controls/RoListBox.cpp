#include "controls/RoListBox.h"

#include "controls/FocusMark.h"
#include "controls/RowDelegate.h"
#include "controls/SizeBarDelegate.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace velmaro {

namespace {

constexpr int kWidthsTwips[] = {1800, 3500, 1800, 2000, 2000};
constexpr int kNameColumn = 0;
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
    FocusMark::attach(this);

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
        if ((column == kPathColumn || column == kNameColumn) && !stretching_)
            pathSizedByUser_ = true;
    });
    addSortActions();

    connect(model_, &QAbstractItemModel::rowsInserted, this, &RoListBox::fitSizeColumn);
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
    const int designed =
        std::max(platform::twipsToPixels(kWidthsTwips[column]), header()->sectionSizeHint(column));
    return column == kSizeColumn ? std::max(designed, widestSizeText()) : designed;
}

// A twelve-digit size with two decimals, or the widest failure text in the
// list, with the margins of a cell.
int RoListBox::widestSizeText() const
{
    const QLocale locale;
    QStringList texts{QString(12, locale.zeroDigit().at(0)) + locale.decimalPoint() +
                      QString(2, locale.zeroDigit().at(0))};
    for (const QString& text : model_->sizeStandIns())
        texts << text;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features = QStyleOptionViewItem::HasDisplay;
    int widest = 0;
    for (const QString& text : texts) {
        option.text = text;
        widest = std::max(widest,
                          style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).width());
    }
    return widest;
}

// A failure text not seen before may need a wider size column.
void RoListBox::fitSizeColumn()
{
    const int need = minimumColumnWidth(kSizeColumn);
    if (columnWidth(kSizeColumn) < need) {
        setColumnWidth(kSizeColumn, need);
        stretchPathColumn();
    }
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
    setContextMenuPolicy(Qt::DefaultContextMenu);  // contextMenuEvent: the actions above
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

// The viewport also narrows when the vertical scroll bar appears.
bool RoListBox::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize)
        stretchPathColumn();
    return QTableView::viewportEvent(event);
}

// Where every column fits, the path takes the free width; where not, it
// gives way (down to its header) so that name and size stay in view, and in
// a list narrower still the name gives way too (down to its header).
void RoListBox::stretchPathColumn()
{
    if (pathSizedByUser_)
        return;
    const int free = viewport()->width();
    const int size = columnWidth(kSizeColumn);
    const int pathFloor = header()->sectionSizeHint(kPathColumn);
    const int name = std::max(header()->sectionSizeHint(kNameColumn),
                              std::min(minimumColumnWidth(kNameColumn), free - size - pathFloor));
    const int dates = columnWidth(3) + columnWidth(4);
    const int path =
        std::max(pathFloor, std::min(std::max(minimumColumnWidth(kPathColumn), free - name - size - dates),
                                     free - name - size));
    stretching_ = true;
    setColumnWidth(kNameColumn, name);
    setColumnWidth(kPathColumn, path);
    stretching_ = false;
}

void RoListBox::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        openContextMenuByKeyboard();
        return;
    }
    openContextMenu(event->globalPos(), false);
}

// Below the current row (or in the middle of the list without one), with
// its first entry active, so that the keyboard and a screen reader start there.
void RoListBox::openContextMenuByKeyboard()
{
    QRect row = visualRect(currentIndex());
    row = row.isValid() ? row.intersected(viewport()->rect()) : QRect();
    const QPoint at =
        row.isValid() ? QPoint(std::max(0, row.left()) + 8, row.bottom()) : viewport()->rect().center();
    openContextMenu(viewport()->mapToGlobal(at), true);
}

void RoListBox::openContextMenu(const QPoint& globalPos, bool byKeyboard)
{
    if (actions().isEmpty())
        return;
    // A window of its own: assistive technology finds it among the
    // program's windows while it shows (platform::AccessibleApplication).
    QMenu menu;
    menu.setObjectName(QStringLiteral("Kontextmenü"));
    menu.setAccessibleDescription(menu.objectName());
    menu.setAccessibleName(QStringLiteral("Kontextmenü der Ordnerliste"));
    menu.addActions(actions());
    if (byKeyboard)
        menu.setActiveAction(menu.actions().first());
    menu.exec(globalPos);
}

void RoListBox::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    // A click selects its own row; the keyboard starts on the first one.
    if (event->reason() != Qt::MouseFocusReason && SelectedIndex() == 0 && RowCount() > 0)
        SelectRow(1);
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
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (event->key() == Qt::Key_Menu || shiftF10) {
        openContextMenuByKeyboard();
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
