#include "app/controls/FolderListModel.h"

#include "platform/LocaleText.h"

#include <QApplication>
#include <QCollator>
#include <QDateTime>
#include <QIcon>
#include <QLocale>
#include <QStyle>
#include <algorithm>
#include <numeric>

namespace velmaro {

namespace {

constexpr int kColumns = 5;

QString dateText(qint64 ms)
{
    if (ms == FolderRow::kNoTime)
        return QString();
    return platform::generalDateText(QDateTime::fromMSecsSinceEpoch(ms));
}

QIcon folderIcon()
{
    static const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    return icon;
}

}  // namespace

FolderListModel::FolderListModel(QObject* parent) : QAbstractTableModel(parent) {}

int FolderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(order_.size());
}

int FolderListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(order_.size()))
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return cellText(index.row(), index.column());
    case Qt::DecorationRole:
        if (index.column() == 0 && qobject_cast<QApplication*>(QCoreApplication::instance()))
            return folderIcon();
        return QVariant();
    case Qt::TextAlignmentRole:
        if (index.column() == 2)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant FolderListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const titles[kColumns] = {"Ordnername", "kompletter Pfad",
                                                 "Ordnergröße in KByte", "erstellt am",
                                                 "letzte Änderung"};
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return QString::fromUtf8(titles[section]);
    return QVariant();
}

const FolderRow* FolderListModel::rowAt(int displayRow) const
{
    if (displayRow < 0 || displayRow >= int(order_.size()))
        return nullptr;
    return &rows_[size_t(order_[size_t(displayRow)])];
}

QString FolderListModel::cellText(int displayRow, int column) const
{
    const FolderRow* row = rowAt(displayRow);
    if (!row)
        return QString();
    switch (column) {
    case 0: return row->name;
    case 1: return row->path;
    case 2: return row->sizeText;
    case 3: return dateText(row->createdMs);
    case 4: return dateText(row->accessedMs);
    default: return QString();
    }
}

void FolderListModel::clear()
{
    beginResetModel();
    std::vector<FolderRow>().swap(rows_);
    std::vector<int>().swap(order_);
    std::vector<QCollatorSortKey>().swap(keys_[0]);
    std::vector<QCollatorSortKey>().swap(keys_[1]);
    zeroCount_ = 0;
    endResetModel();
}

void FolderListModel::append(std::vector<FolderRow>&& rows)
{
    if (rows.empty())
        return;
    const int first = int(order_.size());
    const int count = int(rows.size());
    beginInsertRows(QModelIndex(), first, first + count - 1);
    for (FolderRow& row : rows) {
        if (row.zeroByte)
            ++zeroCount_;
        order_.push_back(int(rows_.size()));
        rows_.push_back(std::move(row));
    }
    endInsertRows();
    rows.clear();
    if (sortColumn_ < 0)
        return;
    if (first == 0) {
        sort(sortColumn_, sortOrder_);
        return;
    }
    // Keep the list in its sort order: sort the new rows, merge them in.
    std::vector<int> order = order_;
    ensureKeys(sortColumn_);
    sortRange(order.begin() + first, order.end());
    std::inplace_merge(order.begin(), order.begin() + first, order.end(),
                       [this](int a, int b) { return before(a, b); });
    applyOrder(std::move(order));
}

void FolderListModel::ensureKeys(int column)
{
    if (column != 0 && column != 1)
        return;
    std::vector<QCollatorSortKey>& keys = keys_[column];
    if (keys.size() == rows_.size())
        return;
    QCollator collator{QLocale()};
    collator.setNumericMode(false);
    keys.reserve(rows_.size());
    for (size_t i = keys.size(); i < rows_.size(); ++i)
        keys.push_back(collator.sortKey(column == 0 ? rows_[i].name : rows_[i].path));
}

bool FolderListModel::lessThan(int column, int a, int b) const
{
    const FolderRow& x = rows_[size_t(a)];
    const FolderRow& y = rows_[size_t(b)];
    switch (column) {
    case 0:
    case 1: return keys_[column][size_t(a)].compare(keys_[column][size_t(b)]) < 0;
    case 2: return x.bytes < y.bytes;
    case 3: return x.createdMs < y.createdMs;
    case 4: return x.accessedMs < y.accessedMs;
    default: return a < b;
    }
}

bool FolderListModel::before(int a, int b) const
{
    if (sortColumn_ == 2) {
        // Failure texts go last in both directions.
        const bool ka = rows_[size_t(a)].sizeKnown;
        const bool kb = rows_[size_t(b)].sizeKnown;
        if (ka != kb)
            return ka;
        if (!ka)
            return false;
    }
    return sortOrder_ == Qt::AscendingOrder ? lessThan(sortColumn_, a, b) : lessThan(sortColumn_, b, a);
}

void FolderListModel::sortRange(std::vector<int>::iterator first, std::vector<int>::iterator last)
{
    std::stable_sort(first, last, [this](int a, int b) { return before(a, b); });
}

void FolderListModel::sort(int column, Qt::SortOrder order)
{
    if (column >= kColumns)
        return;
    sortColumn_ = column;
    sortOrder_ = order;
    std::vector<int> permutation = order_;
    if (column < 0) {
        std::iota(permutation.begin(), permutation.end(), 0);  // order of arrival
    } else {
        ensureKeys(column);
        sortRange(permutation.begin(), permutation.end());
    }
    applyOrder(std::move(permutation));
}

// Installs a new display order, keeping selection and current row on their rows.
void FolderListModel::applyOrder(std::vector<int>&& order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> storage;
    storage.reserve(size_t(before.size()));
    for (const QModelIndex& index : before)
        storage.push_back(order_[size_t(index.row())]);
    order_ = std::move(order);
    if (!before.isEmpty()) {
        std::vector<int> displayOf(order_.size());
        for (size_t row = 0; row < order_.size(); ++row)
            displayOf[size_t(order_[row])] = int(row);
        QModelIndexList after;
        after.reserve(before.size());
        for (int i = 0; i < before.size(); ++i)
            after.append(index(displayOf[size_t(storage[size_t(i)])], before[i].column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace velmaro
