#pragma once
// The file view's list model: one row per file (FileRow), the columns the
// window adds (header texts; cells 0..3 are name, size, date, time), a
// check box per row in the first column, and a sort order by name.
//
// - Rows arrive in the order of FileListe (ascending by name); descending
//   shows them reversed. The order stays when rows are replaced.
// - Rows are addressed in display order (0-based); every row keeps its raw
//   name, so an action always finds the file the row shows.
// - The name is shown decoded (QFile::decodeName) on one line: a newline or
//   CR shows as U+23CE, a tab as U+2192, other control characters as U+FFFD
//   (symbols that the common desktop fonts have). Size, date and time texts are made on demand.
// - Setting the sort order keeps selection and current row on their files.

#include "fileview/FileRow.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace velmaro {

class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FileListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void addColumn(const QString& header);
    void clearRows();
    void setRows(std::vector<FileRow>&& rows);

    Qt::SortOrder sortOrder() const { return order_; }
    void setSortOrder(Qt::SortOrder order);

    // Row in display order; nullptr when out of range.
    const FileRow* rowAt(qint64 displayRow) const;
    // Text of cell `column` (0 name, 1 size, 2 date, 3 time) of a display row.
    QString cellText(qint64 displayRow, int column) const;
    // The tooltip of a size, date or time cell: the readable size with the
    // exact bytes ("1,5 GB (1.610.612.736 Bytes)"), the full date and time
    // with a four-digit year; empty where the cell is empty. A name shows as
    // tooltip only where it is cut (RowDelegate).
    QString toolTip(qint64 displayRow, int column) const;
    bool isChecked(qint64 displayRow) const;
    void setChecked(qint64 displayRow, bool on);
    void checkAll();

    static QString displayName(const QByteArray& rawName);

private:
    size_t storageRow(qint64 displayRow) const;

    QStringList headers_;
    std::vector<FileRow> rows_;
    Qt::SortOrder order_ = Qt::AscendingOrder;
};

}  // namespace velmaro
