#pragma once
// The file view "frm_DelFile": the files of one folder with size, date and
// time of their last change, a check box per row, and the buttons "Alle",
// "Dateien löschen" and "Zurück". Fixed client size 7605 x 5805 twips,
// centred, no minimize/maximize. Shown modally by cmd_DelFile_Click.
//
// - Load (constructor): builds the controls and adds the four columns
//   "Name", "Größe", "Geändert am", "Geändert um" (once per load).
// - FileListe_PathChange(): the listing. Empties the rows, sets the caption
//   "gefundene Files: <count>", adds one row per FileListe entry with size,
//   date and time (cells stay empty where a file cannot be read). Also runs
//   whenever FileListe's path is set to another folder.
// - Close box and "Zurück" hide the window (it stays loaded). Every showing
//   starts with the keyboard focus in the list.
// - Look: the form font (formFont()); font and size grow with the
//   desktop's font (textScale()). Size,
//   date and time columns are as wide as designed or as their header and
//   cells need; the name column takes the rest of the list (at least its
//   designed width). Rows leave room above capitals' accents; a name that
//   is not wholly visible shows in full as a tooltip.
// - Handlers (public so the keyboard, the mouse and tests reach the same code):
//   ListView_ColumnClick(1..4): "Name" toggles ascending/descending, the
//     other headers do nothing.
//   ListView_DblClick() (double click anywhere on the list, Enter on a row):
//     asks open / properties / cancel for the file of the selected row
//     (its raw name, whatever the sort order).
//   cmd_Löschen_Click(): deletes every checked file and reports failures.
//   roCommand2_Click(): checks every row.
// - Side effects that leave the program (opening a file, the properties
//   view) go through replaceable functions; they default to
//   platform::FileOpener::open and Eigenschaften_zeigen.

#include <QByteArray>
#include <QDialog>
#include <functional>

class QTreeView;

namespace velmaro {

class FileListe;
class FileListModel;
class RoCommand;

class FrmDelFile : public QDialog {
    Q_OBJECT
public:
    // Returns the opener's result code (42 opened, 2, 3, 31, ...).
    using Opener = std::function<int(const QByteArray& file, const QByteArray& folder)>;
    using PropertiesShower = std::function<void(QWidget* owner, const QByteArray& path)>;

    explicit FrmDelFile(QWidget* parent = nullptr);
    ~FrmDelFile() override;

    void FileListe_PathChange();

    FileListe& fileListe() const { return *fileListe_; }
    QTreeView* ListView() const { return listView_; }
    FileListModel* listModel() const { return model_; }
    RoCommand* roCommand2() const { return roCommand2_; }
    RoCommand* cmd_Löschen() const { return cmdLoeschen_; }
    RoCommand* cmd_Ende() const { return cmdEnde_; }

    void ListView_ColumnClick(int column);
    void ListView_DblClick();
    void cmd_Löschen_Click();
    void roCommand2_Click();
    void cmd_Ende_Click();

    // Full raw path of a name in FileListe's folder.
    QByteArray fullPath(const QByteArray& rawName) const;
    void setOpener(Opener opener) { opener_ = std::move(opener); }
    void setPropertiesShower(PropertiesShower shower) { properties_ = std::move(shower); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void wireHandlers();
    void syncSortIndicator();
    void fitColumns();
    qint64 selectedRow() const;
    void openFile(const QByteArray& file);

    FileListe* fileListe_ = nullptr;
    FileListModel* model_ = nullptr;
    QTreeView* listView_ = nullptr;
    RoCommand* roCommand2_ = nullptr;
    RoCommand* cmdLoeschen_ = nullptr;
    RoCommand* cmdEnde_ = nullptr;
    Opener opener_;
    PropertiesShower properties_;
};

}  // namespace velmaro
