#pragma once
// The folder list control: a report view over FolderListModel with the five
// columns "Ordnername", "kompletter Pfad", "Ordnergröße in KByte",
// "erstellt am", "letzte Änderung" (widths 1800, 3500, 1800, 2000, 2000 twips),
// light-yellow background, sort on header click with sort markers.
//
// The operations count rows and columns from 1 in display order:
//  ClearRows (also drops the sort: rows added next show in arrival order
//  until the next sort), AddBatch (while sorted, new rows take
//  their places), RowCount, CellText (empty text when the row names no row),
//  SelectedIndex (0 when nothing is selected: names no row).
// A long list sorts on a worker thread: SortBy returns at once and the rows
// take their new places when folderModel() emits sorted().
// The view keeps no per-row layout (a table with fixed row heights), so
// that rows arriving and a new order cost it little even in a long list.
// The row event (rowActivated) is raised by a double click on a row and by
// Enter on the current row. Focus: the list shows it clearly (FocusMark);
// reached by the keyboard with no row selected, it selects its first row.
//
// View: a column is never narrower than its header text (with room for the
// sort marker); the size column is also as wide as a twelve-digit size and
// every failure text in the list, so no size is ever cut. Where the list is
// wider than its columns (a maximized window) the path column takes the free
// width; where it is narrower, the path column gives way (down to its header
// text) so that the size column lies wholly in view beside the name, and in
// a list narrower still the name column gives way too (down to its header
// text); until the user sizes the name or path column by hand. Paths elide
// in the middle; a cell that is not wholly visible shows its text as a
// tooltip. Behind each size, a bar shows the folder's share of its parent
// (SizeBarDelegate). Keyboard: Left/Right scroll sideways
// by a third of the view, Ctrl+1 .. Ctrl+5 sort by that column as a header
// click does. The context menu holds the list's actions (the sort actions
// and what other parts add with addAction); the right mouse button, the
// Menu key and Shift+F10 open it, the keyboard below the current row with
// its first entry active.

#include "folderlist/FolderListModel.h"

#include <QHeaderView>
#include <QTableView>

namespace velmaro {

class RoListBox : public QTableView {
    Q_OBJECT
public:
    explicit RoListBox(QWidget* parent = nullptr);

    void ClearRows();
    bool AddBatch(const RowBatch& batch);  // see FolderListModel::append
    qint64 RowCount() const;
    QString CellText(qint64 row, int column) const;
    // The row's cells and numbers; empty when the row names no row.
    std::optional<FolderRow> RowAt(qint64 row) const;
    // Cheap for every row: the raw path bytes (empty when the row names no
    // row) and the zero-byte flag.
    QByteArray RawPathAt(qint64 row) const;
    bool ZeroByteAt(qint64 row) const;
    // The row's folder as the scan saw it; empty when the row names no row.
    std::optional<engine::ScannedFolder> ScannedFolderAt(qint64 row) const;
    qint64 SelectedIndex() const;
    void SelectRow(qint64 row);  // 1-based; for keyboard/tests
    qint64 ZeroByteCount() const;
    // Sorts once by `column` (1-based), as after a header click.
    void SortBy(int column, Qt::SortOrder order = Qt::AscendingOrder);
    // The column (1-based) and direction the list is sorted by; 0 when unsorted.
    int sortColumn() const;
    Qt::SortOrder sortOrder() const;
    // The narrowest width of a column (0-based): its designed width or what
    // its header text needs, whichever is more; for the size column also
    // what its widest text needs (see above).
    int minimumColumnWidth(int column) const;
    FolderListModel* folderModel() const { return model_; }
    QHeaderView* header() const { return horizontalHeader(); }

signals:
    void rowActivated();  // the row event

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    // Home and End go to the first and last row, as in a list.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void addSortActions();
    void sortLikeHeaderClick(int column);  // 0-based
    void stretchPathColumn();
    void fitSizeColumn();
    void openContextMenuByKeyboard();
    void openContextMenu(const QPoint& globalPos, bool byKeyboard);
    int widestSizeText() const;
    int rowHeight() const;

    FolderListModel* model_;
    QList<QAction*> sortActions_;
    bool stretching_ = false;
    bool pathSizedByUser_ = false;
};

}  // namespace velmaro
