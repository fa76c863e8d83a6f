#include "fileview/FileListModel.h"

#include "fileview/FileDateText.h"
#include "fileview/FileSizeText.h"
#include "rows/LocaleText.h"

#include <QDateTime>
#include <QFile>

namespace velmaro {

FileListModel::FileListModel(QObject* parent)
    : QAbstractTableModel(parent)
{}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(headers_.size());
}

QString FileListModel::displayName(const QByteArray& rawName)
{
    QString name = QFile::decodeName(rawName);
    for (QChar& c : name) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r')
            c = QChar(0x23CE);  // RETURN SYMBOL
        else if (u == u'\t')
            c = QChar(0x2192);  // RIGHTWARDS ARROW
        else if (u < 0x20 || u == 0x7f)
            c = QChar(0xFFFD);
    }
    return name;
}

size_t FileListModel::storageRow(qint64 displayRow) const
{
    return order_ == Qt::AscendingOrder ? size_t(displayRow) : rows_.size() - 1 - size_t(displayRow);
}

const FileRow* FileListModel::rowAt(qint64 displayRow) const
{
    if (displayRow < 0 || displayRow >= qint64(rows_.size()))
        return nullptr;
    return &rows_[storageRow(displayRow)];
}

QString FileListModel::cellText(qint64 displayRow, int column) const
{
    const FileRow* row = rowAt(displayRow);
    if (!row)
        return QString();
    const bool timeKnown = row->changedMs != FileRow::kUnknown;
    switch (column) {
    case 0: return displayName(row->rawName);
    case 1: return row->length == FileRow::kUnknown ? QString() : FileSizeText::of(row->length);
    case 2: return timeKnown ? FileDateText::date(QDateTime::fromMSecsSinceEpoch(row->changedMs)) : QString();
    case 3: return timeKnown ? FileDateText::time(QDateTime::fromMSecsSinceEpoch(row->changedMs)) : QString();
    default: return QString();
    }
}

QString FileListModel::toolTip(qint64 displayRow, int column) const
{
    const FileRow* row = rowAt(displayRow);
    if (!row)
        return QString();
    if (column == 1)
        return row->length < 0 ? cellText(displayRow, column) : platform::sizeWithBytesText(quint64(row->length));
    if ((column == 2 || column == 3) && row->changedMs != FileRow::kUnknown)
        return platform::fullDateText(QDateTime::fromMSecsSinceEpoch(row->changedMs));
    return QString();
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return QVariant();
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::ToolTipRole && index.column() > 0) {
        const QString tip = toolTip(index.row(), index.column());
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    if (role == Qt::CheckStateRole && index.column() == 0)
        return isChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
    return QVariant();
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < headers_.size())
        return headers_.at(section);
    return QVariant();
}

void FileListModel::addColumn(const QString& header)
{
    const int at = int(headers_.size());
    beginInsertColumns(QModelIndex(), at, at);
    headers_.append(header);
    endInsertColumns();
}

void FileListModel::clearRows()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void FileListModel::setRows(std::vector<FileRow>&& rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void FileListModel::setSortOrder(Qt::SortOrder order)
{
    if (order == order_)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    const int last = int(rows_.size()) - 1;
    for (const QModelIndex& i : from)
        to.append(i.isValid() ? index(last - i.row(), i.column()) : i);
    order_ = order;
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

bool FileListModel::isChecked(qint64 displayRow) const
{
    const FileRow* row = rowAt(displayRow);
    return row && row->checked;
}

void FileListModel::setChecked(qint64 displayRow, bool on)
{
    if (!rowAt(displayRow))
        return;
    rows_[storageRow(displayRow)].checked = on;
    const QModelIndex i = index(int(displayRow), 0);
    emit dataChanged(i, i, {Qt::CheckStateRole});
}

void FileListModel::checkAll()
{
    if (rows_.empty())
        return;
    for (FileRow& r : rows_)
        r.checked = true;
    emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, 0), {Qt::CheckStateRole});
}

}  // namespace velmaro
