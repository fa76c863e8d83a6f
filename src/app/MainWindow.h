#pragma once
// The main window "Velmaro": drive list, folder tree, search button, folder
// list, count lines, the four action buttons, the properties button, "Exit",
// the headings and the logo.
//
// Start-up (constructor): empties LabelVerzeichnis and both count labels,
// restores Width/Height/WindowState from the settings store (section
// "Setup"); a value that is not a usable size gives the designed size, and
// a size larger than the screen's free area is cut down to it. The state
// takes effect when the window is shown. The window opens centred, never
// off the screen's top or left edge; Dir1 starts at the process's current
// folder on its drive. Every resize runs the layout pass (MainLayout) and
// keeps the minimum size (the designed one, or the screen's free area where
// that is smaller). Closing (close box or "Exit")
// stores the size when the state is normal, always the state, then closes
// every window; this runs once.
//
// Drive1: choosing a drive that cannot be read keeps the previous drive and
// says so in a message box (style 64); the tree, the list and the labels stay.
// Returning to a drive shows the folder that was last open on it.
// Logo: a click, or Enter/Space once Tab has reached it (after cmd_Info),
// opens the About window "Copyright" modally; with the focus it has a ring.
//
// Fonts and texts: the window and its labels, Drive1 and Dir1 use the form
// font (formFont()), whatever the desktop's font is. Labels size themselves
// to their text without covering another control (MainLabels); a root path
// too long elides in the middle, count lines shrink down to 6 pt, each with
// the full text as tooltip. The three delete/file buttons share one caption
// size. Dir1 scrolls sideways instead of eliding.

#include "app/controls/FitLabel.h"

#include "actions/FolderActionTarget.h"
#include "app/FolderChoice.h"
#include "scan/ScanHost.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QTreeView;
class QFileSystemModel;
class QModelIndex;
class QTimer;

namespace velmaro {

class RoCommand;
class RoListBox;
class ScanRun;

class MainWindow : public QWidget, public ScanHost {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs one scan of the folder named by LabelVerzeichnis (asynchronous:
    // returns at once; the progress window is unloaded when it ends).
    void Verzeichnisse_lesen();
    // Writes the two count lines from the folder list's running totals.
    void OrdnerZähler();

    RoListBox* roListBox_Ordner() const { return list_; }
    QLabel* LabelVerzeichnis() const { return labelVerzeichnis_; }
    QLabel* Label_Info(int index) const { return labelInfo_[index]; }
    RoCommand* cmd_Go() const { return cmdGo_; }
    RoCommand* cmd_OrdnerDel() const { return cmdOrdnerDel_; }
    RoCommand* cmd_OrdnerNull() const { return cmdOrdnerNull_; }
    RoCommand* cmd_DelFile() const { return cmdDelFile_; }
    RoCommand* cmd_Info() const { return cmdInfo_; }
    RoCommand* cmd_Ende() const { return cmdEnde_; }
    QComboBox* Drive1() const { return drive1_; }
    QTreeView* Dir1() const { return dir1_; }
    QLabel* Label(int index) const { return label_[index]; }
    QLabel* Logo() const { return logo_; }
    ScanRun& scanRun() const override { return *scanRun_; }
    // What the folder buttons act on (the list, the counts, rescans).
    FolderActionTarget folderActions();

    // The folder open in the folder tree, display form ending in "/".
    QString dir1Path() const;
    // Raw bytes of LabelVerzeichnis's folder (the root of the current list).
    QByteArray scanRootRaw() const { return scanRootRaw_; }
    // Sets LabelVerzeichnis (display) and the raw root together.
    void setScanRoot(const QByteArray& raw);
    // Opens `path` in the folder tree (and selects its drive); the next
    // search starts there.
    void setDir1Path(const QString& path);
    // The same for raw bytes: the next search starts at exactly `raw`, even
    // where the tree cannot show it.
    void setDir1Raw(const QByteArray& raw);
    // The folder the next search starts from, raw, ending in "/"; empty when
    // the folder chosen in the tree cannot be named (see FolderChoice).
    QByteArray dir1Raw() const { return choice_.raw(); }
    // A folder tree was deleted: if the tree's folder was in it, the tree
    // moves to the deleted folder's parent.
    void folderDeleted(const QByteArray& raw);

    // Outer size in twips (client + 120 / + 435), as the settings store it.
    double outerWidthTwips() const;
    double outerHeightTwips() const;
    void setOuterSizeTwips(double w, double h);
    // The state as the settings store it: 0 normal, 1 minimized, 2 maximized.
    int windowStateCode() const;
    // The drive whose folder tree Dir1 shows.
    QString currentDrive() const { return currentDrive_; }

    // Reads a stored number the way start-up does (C locale, blanks around
    // it allowed); false for text that is not a finite number.
    static bool parseStoredNumber(const QString& text, double* value);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildControls();
    void buildFolderTree();
    void buildButtons();
    void buildLabels();
    void setUpAccessibility();
    void setUpTabOrder();
    void centreOnScreen();
    // The client size the screen's free area leaves (designed frame).
    QSize availableClientSize() const;
    QRect logoWithRing() const;
    void revealCurrentFolder();
    void applyStoredState(const QString& text);
    void adjustLabels();
    void openAbout();
    // Shows `drive` in Dir1 with `folder` (on that drive) as the current folder.
    void showDrive(const QString& drive, const QString& folder);
    void selectDriveInList(const QString& drive);
    void hideOtherVolumes(const QModelIndex& parent, int first, int last);
    void keepCurrentFolderInView();
    void setDir1Current(const QModelIndex& index);
    void onDir1RowsRemoved(const QModelIndex& parent, int first, int last);
    void restoreSettings();
    void storeSettings();
    void applyLayout();
    void onDriveChanged(int index);
    void wireHandlers();
    void cmd_Go_Click();

    QComboBox* drive1_ = nullptr;
    QTreeView* dir1_ = nullptr;
    QFileSystemModel* dirModel_ = nullptr;
    RoListBox* list_ = nullptr;
    FitLabel* labelVerzeichnis_ = nullptr;
    FitLabel* labelInfo_[2] = {nullptr, nullptr};
    FitLabel* label_[3] = {nullptr, nullptr, nullptr};
    QLabel* logo_ = nullptr;
    RoCommand* cmdGo_ = nullptr;
    RoCommand* cmdOrdnerDel_ = nullptr;
    RoCommand* cmdOrdnerNull_ = nullptr;
    RoCommand* cmdDelFile_ = nullptr;
    RoCommand* cmdInfo_ = nullptr;
    RoCommand* cmdEnde_ = nullptr;
    std::unique_ptr<ScanRun> scanRun_;
    QByteArray scanRootRaw_;
    FolderChoice choice_;       // the folder the next search starts from
    bool settingDir1_ = false;  // the program, not the user, moves Dir1's current folder
    QString currentDrive_;
    QHash<QString, QString> lastFolder_;  // drive -> the folder last open on it
    QTimer* scrollTimer_ = nullptr;
    bool followCurrent_ = false;  // keep Dir1's current folder in view while it loads
    bool shutDown_ = false;
};

}  // namespace velmaro
