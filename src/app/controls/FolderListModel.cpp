#include "app/controls/FolderListModel.h"

#include "platform/LocaleText.h"

#include <QApplication>
#include <QDateTime>
#include <QIcon>
#include <QLocale>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <numeric>

namespace velmaro {

namespace {

constexpr int kColumns = 5;
constexpr int kPublishAtOnce = 20000;  // up to this many rows views hear of every batch

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

FolderListModel::FolderListModel(QObject* parent)
    : QAbstractTableModel(parent), publishTimer_(new QTimer(this))
{
    publishTimer_->setSingleShot(true);
    connect(publishTimer_, &QTimer::timeout, this, &FolderListModel::publish);
}

int FolderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : published_;
}

void FolderListModel::publish()
{
    publishTimer_->stop();
    const int total = int(order_.size());
    if (published_ >= total)
        return;
    beginInsertRows(QModelIndex(), published_, total - 1);
    published_ = total;
    endInsertRows();
}

// Later, and the longer the list the later: each announcement costs a view
// time in proportion to all its rows.
void FolderListModel::schedulePublish()
{
    if (publishTimer_->isActive())
        return;
    publishTimer_->start(std::max(100, int(order_.size() / 2000)));
}

int FolderListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= published_)
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

std::optional<engine::ScannedFolder> FolderListModel::scannedFolder(int displayRow) const
{
    const FolderRow* row = rowAt(displayRow);
    if (!row || rootRow_ < 0)
        return std::nullopt;
    const FolderRow& root = rows_[size_t(rootRow_)];
    return engine::ScannedFolder{root.rawPath.toStdString(), root.id, row->rawPath.toStdString(), row->id};
}

void FolderListModel::clear()
{
    beginResetModel();
    std::vector<FolderRow>().swap(rows_);
    std::vector<int>().swap(order_);
    std::vector<quint64>().swap(sortKeys_);
    ranking_[0].clear();
    ranking_[1].clear();
    zeroCount_ = 0;
    rootRow_ = -1;
    published_ = 0;
    publishTimer_->stop();
    endResetModel();
}

void FolderListModel::append(std::vector<FolderRow>&& rows)
{
    if (rows.empty())
        return;
    const int first = int(order_.size());
    for (FolderRow& row : rows) {
        if (row.zeroByte)
            ++zeroCount_;
        if (row.isRoot)
            rootRow_ = int(rows_.size());
        order_.push_back(int(rows_.size()));
        rows_.push_back(std::move(row));
    }
    rows.clear();
    if (sortColumn_ < 0) {
        if (published_ < kPublishAtOnce)
            publish();
        else
            schedulePublish();  // unsorted: the new rows are the unannounced tail
        return;
    }
    publish();
    // Sorted: the new rows take their places (sorted among themselves, then
    // merged; on equal keys the rows already shown come first).
    updateSortKeys(quint32(first));
    std::vector<int> order = order_;
    const auto byKey = [this](int a, int b) { return sortKeys_[size_t(a)] < sortKeys_[size_t(b)]; };
    std::stable_sort(order.begin() + first, order.end(), byKey);
    std::inplace_merge(order.begin(), order.begin() + first, order.end(), byKey);
    applyOrder(std::move(order));
}

quint64 FolderListModel::sortKeyOf(quint32 row) const
{
    constexpr quint64 kLast = std::numeric_limits<quint64>::max();
    const FolderRow& r = rows_[row];
    const bool up = sortOrder_ == Qt::AscendingOrder;
    switch (sortColumn_) {
    case 0:
    case 1: {
        const quint64 rank = ranking_[sortColumn_].rank(row);
        return up ? rank : 0xffffffffULL - rank;
    }
    case 2: {
        if (!r.sizeKnown)
            return kLast;  // failure texts last in both directions
        const quint64 bytes = std::min<quint64>(r.bytes, kLast - 1);
        return up ? bytes : (kLast - 1) - bytes;
    }
    case 3:
    case 4: {
        const qint64 ms = sortColumn_ == 3 ? r.createdMs : r.accessedMs;
        const quint64 time = quint64(ms) ^ (quint64(1) << 63);  // kNoTime -> 0
        return up ? time : ~time;
    }
    default:
        return row;
    }
}

void FolderListModel::updateSortKeys(quint32 first)
{
    const quint32 count = quint32(rows_.size());
    if (sortColumn_ == 0 || sortColumn_ == 1) {
        const int column = sortColumn_;
        ranking_[column].update(count, [this, column](quint32 row) -> QStringView {
            return column == 0 ? QStringView(rows_[row].name) : QStringView(rows_[row].path);
        });
        first = 0;  // inserting rows can renumber every rank
    }
    sortKeys_.resize(count);
    for (quint32 row = first; row < count; ++row)
        sortKeys_[row] = sortKeyOf(row);
}

void FolderListModel::sort(int column, Qt::SortOrder order)
{
    if (column >= kColumns)
        return;
    publish();
    sortColumn_ = column < 0 ? -1 : column;
    sortOrder_ = order;
    std::vector<int> permutation(order_.size());
    if (sortColumn_ < 0) {
        std::vector<quint64>().swap(sortKeys_);
        std::iota(permutation.begin(), permutation.end(), 0);  // order of arrival
        applyOrder(std::move(permutation));
        return;
    }
    updateSortKeys(0);
    struct Item {
        quint64 key;
        quint32 position;  // display row before this sort: keeps the sort stable
    };
    std::vector<Item> items(order_.size());
    for (size_t i = 0; i < items.size(); ++i)
        items[i] = Item{sortKeys_[size_t(order_[i])], quint32(i)};
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        return a.key != b.key ? a.key < b.key : a.position < b.position;
    });
    for (size_t i = 0; i < items.size(); ++i)
        permutation[i] = order_[items[i].position];
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
