#include "folderlist/FolderListModel.h"

#include "rows/LocaleText.h"

#include <QApplication>
#include <QDateTime>
#include <QFont>
#include <QIcon>
#include <QStyle>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>

namespace velmaro {

namespace {

constexpr int kColumns = 5;
constexpr int kPublishAtOnce = 1000;  // up to this many rows views hear of every batch

QString dateText(qint64 ms)
{
    if (ms == FolderRow::kNoTime)
        return QString();
    return platform::generalDateText(QDateTime::fromMSecsSinceEpoch(ms));
}

QString fullDateTip(qint64 ms)
{
    if (ms == FolderRow::kNoTime)
        return QString();
    return platform::fullDateText(QDateTime::fromMSecsSinceEpoch(ms));
}

QIcon folderIcon()
{
    static const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    return icon;
}

}  // namespace

struct FolderListModel::Job {
    std::atomic<bool> cancel{false};
};

struct FolderListModel::Link {
    QMutex mutex;
    FolderListModel* model = nullptr;  // null once the model is gone
};

FolderListModel::FolderListModel(QObject* parent)
    : QAbstractTableModel(parent)
    , publishTimer_(new QTimer(this))
    , sorter_(std::make_shared<ListSorter>())
    , link_(std::make_shared<Link>())
{
    link_->model = this;
    publishTimer_->setSingleShot(true);
    connect(publishTimer_, &QTimer::timeout, this, &FolderListModel::publish);
}

FolderListModel::~FolderListModel()
{
    QMutexLocker lock(&link_->mutex);
    link_->model = nullptr;
    if (job_)
        job_->cancel = true;
}

int FolderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : published_;
}

int FolderListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
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
// a layout of all its rows and a repaint.
void FolderListModel::schedulePublish()
{
    if (publishTimer_->isActive())
        return;
    publishTimer_->start(std::max(250, int(order_.size() / 50)));
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= published_)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return cellText(index.row(), index.column());
    case Qt::ToolTipRole: return toolTip(index.row(), index.column());
    case Qt::FontRole:
        if (index.column() == 2 && roundsToZero(index.row())) {
            QFont italic;  // only this is set: the rest comes from the view
            italic.setItalic(true);
            return italic;
        }
        return QVariant();
    case Qt::DecorationRole:
        if (index.column() == 0 && qobject_cast<QApplication*>(QCoreApplication::instance()))
            return folderIcon();
        return QVariant();
    case Qt::TextAlignmentRole:
        if (index.column() == 2)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default: return QVariant();
    }
}

QVariant FolderListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const titles[kColumns] = {"Ordnername", "kompletter Pfad", "Ordnergröße in KByte",
                                                 "erstellt am", "letzte Änderung"};
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return QString::fromUtf8(titles[section]);
    return QVariant();
}

std::optional<FolderRow> FolderListModel::rowAt(int displayRow) const
{
    if (displayRow < 0 || displayRow >= int(order_.size()))
        return std::nullopt;
    return store_.row(order_[std::size_t(displayRow)]);
}

QByteArray FolderListModel::rawPathAt(int displayRow) const
{
    if (displayRow < 0 || displayRow >= int(order_.size()))
        return QByteArray();
    return store_.table().rawPath(order_[std::size_t(displayRow)]);
}

bool FolderListModel::zeroByteAt(int displayRow) const
{
    if (displayRow < 0 || displayRow >= int(order_.size()))
        return false;
    return store_.table()[order_[std::size_t(displayRow)]].is(FolderSlot::kZeroByte);
}

QString FolderListModel::cellText(int displayRow, int column) const
{
    if (displayRow < 0 || displayRow >= int(order_.size()))
        return QString();
    const quint32 slot = order_[std::size_t(displayRow)];
    switch (column) {
    case 0: return store_.name(slot);
    case 1: return store_.path(slot);
    case 2: return store_.sizeText(slot);
    case 3: return dateText(store_.table()[slot].createdMs);
    case 4: return dateText(store_.table()[slot].accessedMs);
    default: return QString();
    }
}

quint32 FolderListModel::slotAt(int displayRow) const
{
    if (displayRow < 0 || displayRow >= int(order_.size()))
        return FolderSlot::kNoParent;
    return order_[std::size_t(displayRow)];
}

int FolderListModel::displayRowOf(quint32 slot) const
{
    const auto found = std::find(order_.begin(), order_.end(), slot);
    return found == order_.end() ? -1 : int(found - order_.begin());
}

double FolderListModel::shareOfParent(int displayRow) const
{
    if (displayRow < 0 || displayRow >= int(order_.size()))
        return -1;
    const FolderSlots& table = store_.table();
    const FolderSlot& s = table[order_[std::size_t(displayRow)]];
    if (!s.is(FolderSlot::kSizeKnown))
        return -1;
    if (s.is(FolderSlot::kRoot))
        return 1;
    if (s.parent == FolderSlot::kNoParent)
        return -1;
    const FolderSlot& parent = table[s.parent];
    if (!parent.is(FolderSlot::kRow) || !parent.is(FolderSlot::kSizeKnown))
        return -1;
    if (parent.bytes == 0)
        return 0;
    return std::min(1.0, double(s.bytes) / double(parent.bytes));
}

bool FolderListModel::roundsToZero(int displayRow) const
{
    if (displayRow < 0 || displayRow >= int(order_.size()))
        return false;
    const FolderSlot& s = store_.table()[order_[std::size_t(displayRow)]];
    return s.is(FolderSlot::kSizeKnown) && s.text == 0 && s.bytes > 0 &&
           FolderRowBuilder::hundredthsOfKB(s.bytes) == 0;
}

QString FolderListModel::toolTip(int displayRow, int column) const
{
    if (displayRow < 0 || displayRow >= int(order_.size()))
        return QString();
    const FolderSlot& s = store_.table()[order_[std::size_t(displayRow)]];
    switch (column) {
    case 2:
        if (!s.is(FolderSlot::kSizeKnown))
            return cellText(displayRow, column);
        if (s.is(FolderSlot::kZeroByte))
            return platform::exactBytesText(s.bytes) + QStringLiteral(" (0 Byte Ordner)");
        return platform::sizeWithBytesText(s.bytes);
    case 3: return fullDateTip(s.createdMs);
    case 4: return fullDateTip(s.accessedMs);
    default: return cellText(displayRow, column);
    }
}

std::optional<engine::ScannedFolder> FolderListModel::scannedFolder(int displayRow) const
{
    const quint32 root = store_.rootSlot();
    if (displayRow < 0 || displayRow >= int(order_.size()) || root == FolderSlot::kNoParent)
        return std::nullopt;
    const quint32 slot = order_[std::size_t(displayRow)];
    const FolderSlots& table = store_.table();
    return engine::ScannedFolder{table.rawPath(root).toStdString(), store_.identity(root),
                                 table.rawPath(slot).toStdString(), store_.identity(slot)};
}

void FolderListModel::clear()
{
    beginResetModel();
    store_.clear();
    std::vector<quint32>().swap(order_);
    published_ = 0;
    placed_ = 0;
    publishTimer_->stop();
    ++generation_;
    if (job_) {
        job_->cancel = true;  // its order is of the old rows: land() drops it
        job_.reset();
    }
    sorter_ = std::make_shared<ListSorter>();
    endResetModel();
}

bool FolderListModel::append(const RowBatch& batch)
{
    const std::size_t first = order_.size();
    if (!store_.append(batch, order_))
        return false;
    added(first);
    return true;
}

void FolderListModel::added(std::size_t first)
{
    if (order_.size() == first)
        return;
    if (sortColumn_ < 0)
        placed_ = order_.size();
    if (published_ < kPublishAtOnce)
        publish();
    else
        schedulePublish();  // the new rows are the unannounced tail
    if (sortColumn_ >= 0)
        requestSort();
}

bool FolderListModel::sorting() const
{
    return sortColumn_ >= 0 && placed_ < order_.size();
}

void FolderListModel::sort(int column, Qt::SortOrder order)
{
    if (column >= kColumns)
        return;
    publish();
    sortColumn_ = column < 0 ? -1 : column;
    sortOrder_ = order;
    ++generation_;
    placed_ = 0;
    if (sortColumn_ >= 0) {
        requestSort();
        return;
    }
    std::vector<quint32> bySlot = order_;
    std::sort(bySlot.begin(), bySlot.end());
    applyOrder(std::move(bySlot));
    placed_ = order_.size();
    emit sorted();
}

// Sorts all rows: at once when few, else on a worker thread (one at a time;
// a sort asked for meanwhile follows when it is done).
void FolderListModel::requestSort()
{
    if (job_ || !sorting())
        return;
    ListSorter::Request request{sortColumn_, sortOrder_, store_.table(), order_};
    const std::size_t covered = order_.size();
    if (covered <= std::size_t(kSortAtOnce)) {
        static const std::atomic<bool> kGoOn{false};
        land(nullptr, generation_, sorter_->sort(request, kGoOn), covered);
        return;
    }
    job_ = std::make_shared<Job>();
    QThreadPool::globalInstance()->start([job = job_, link = link_, sorter = sorter_,
                                          request = std::move(request), generation = generation_, covered]() {
        std::vector<quint32> order = sorter->sort(request, job->cancel);
        QMutexLocker lock(&link->mutex);
        if (!link->model)
            return;
        QMetaObject::invokeMethod(
            link->model,
            [model = link->model, job, generation, covered, order = std::move(order)]() mutable {
                model->land(job.get(), generation, std::move(order), covered);
            },
            Qt::QueuedConnection);
    });
}

// A sort is done: its order covers the first `covered` display rows of the
// time it started; rows added since stay after them.
void FolderListModel::land(const Job* job, quint64 generation, std::vector<quint32>&& order,
                           std::size_t covered)
{
    if (job) {
        if (job != job_.get())
            return;  // of an earlier list
        job_.reset();
    }
    if (generation == generation_ && order.size() == covered && covered <= order_.size()) {
        publish();
        order.insert(order.end(), order_.begin() + qsizetype(covered), order_.end());
        applyOrder(std::move(order));
        placed_ = covered;
    }
    if (sorting())
        requestSort();
    else
        emit sorted();
}

// Installs a new display order, keeping selection and current row on their rows.
void FolderListModel::applyOrder(std::vector<quint32>&& order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<quint32> moved;
    moved.reserve(std::size_t(before.size()));
    for (const QModelIndex& index : before)
        moved.push_back(order_[std::size_t(index.row())]);
    order_ = std::move(order);
    if (!before.isEmpty()) {
        std::vector<int> displayOf(store_.slotCount(), -1);
        for (std::size_t row = 0; row < order_.size(); ++row)
            displayOf[order_[row]] = int(row);
        QModelIndexList after;
        after.reserve(before.size());
        for (int i = 0; i < before.size(); ++i)
            after.append(index(displayOf[moved[std::size_t(i)]], before[i].column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace velmaro
