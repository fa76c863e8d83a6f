#pragma once
// The main window "Velmaro": drive list, folder tree, search button, folder
// list, count lines, the four action buttons, the properties button, "Exit",
// the headings and the logo.
//
// Start-up (constructor): empties LabelVerzeichnis and both count labels,
// restores the stored size and state (WindowPlacement) and opens centred;
// Drive1 and Dir1 are the FolderPicker's. Every resize runs the layout pass
// (MainLayout) and keeps the minimum size (the designed one, wider where the
// count lines would not fit in it at their size, or the screen's free area
// where that is smaller). Closing (close box or "Exit") stores the
// size and state, then closes every window; this runs once.
//
// Logo: a click, or Enter/Space once Tab has reached it (after cmd_Info),
// opens the About window "Copyright" modally; with the focus it has a ring.
//
// Fonts and texts: the window and its labels, Drive1 and Dir1 use the form
// font (formFont()), grown with the desktop's font as the whole window is
// (textScale()). Labels size themselves
// to their text without covering another control (MainLabels); a root path
// too long elides in the middle. Count lines keep their size: the minimum
// width grows where they need it; where the screen is too small for that,
// the three wide bottom buttons give up width to them (down to half), and
// only then do they shrink (down to 6 pt) with the full text as tooltip. The three delete/file buttons share
// one caption size. Dir1 scrolls sideways instead of eliding.
//
// Scans run through the program's scan session (ScanSession), handed in at
// construction: the window attaches its list, count lines and root to it
// and detaches when it goes.
//
// The map window follows the list: a finished scan refreshes it, a deleted
// folder leaves it at once.

#include "app/MainLabels.h"
#include "controls/FitLabel.h"

#include "actions/FolderActionTarget.h"
#include "app/FolderPicker.h"
#include "app/WindowPlacement.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QTreeView;

namespace velmaro {

class RoCommand;
class RoListBox;
class ScanSession;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(ScanSession& scans, QWidget* parent = nullptr);
    ~MainWindow() override;

    RoListBox* roListBox_Ordner() const { return list_; }
    QLabel* LabelVerzeichnis() const { return labelVerzeichnis_; }
    QLabel* Label_Info(int index) const { return labelInfo_[index]; }
    RoCommand* cmd_Go() const { return cmdGo_; }
    RoCommand* cmd_OrdnerDel() const { return cmdOrdnerDel_; }
    RoCommand* cmd_OrdnerNull() const { return cmdOrdnerNull_; }
    RoCommand* cmd_DelFile() const { return cmdDelFile_; }
    RoCommand* cmd_Info() const { return cmdInfo_; }
    RoCommand* cmd_Ende() const { return cmdEnde_; }
    QComboBox* Drive1() const { return picker_->drive1(); }
    QTreeView* Dir1() const { return picker_->dir1(); }
    QLabel* Label(int index) const { return label_[index]; }
    QLabel* Logo() const { return logo_; }
    // What the folder buttons act on (the list, the counts, rescans).
    FolderActionTarget folderActions();

    // Raw bytes of LabelVerzeichnis's folder (the root of the current list).
    QByteArray scanRootRaw() const { return scanRootRaw_; }
    // Sets LabelVerzeichnis (display) and the raw root together.
    void setScanRoot(const QByteArray& raw);

    // Drive1 and Dir1: the folder the next search starts from.
    FolderPicker* picker() const { return picker_; }
    QByteArray dir1Raw() const { return picker_->dir1Raw(); }
    // A folder tree (raw path) is gone: the picker and the map forget it.
    void folderDeleted(const QByteArray& raw);
    // Opens the map ("Übersicht") of the selected row's folder; nothing
    // when no row is selected. Also the list's context menu entry
    // "Übersicht des Ordners" (Ctrl+M).
    void openMap();

    // Stored size and state (see WindowPlacement).
    WindowPlacement& placement() { return placement_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildControls();
    void buildButtons();
    void buildLabels();
    void setUpAccessibility();
    void setUpTabOrder();
    QRect logoWithRing() const;
    void adjustLabels();
    void makeRoomForCounts();
    MainLabels mainLabels() const;
    // The designed minimum client size, wider by what the count lines lack
    // there (the screen may allow less).
    QSize wantedMinimum() const;
    void openAbout();
    void applyLayout();
    void wireHandlers();
    void cmd_Go_Click();
    void addMapAction();

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
    FolderPicker* picker_ = nullptr;
    WindowPlacement placement_{*this};
    QPointer<ScanSession> scans_;  // the program's: outlives the window in the program
    QByteArray scanRootRaw_;
    bool shutDown_ = false;
    int countsShortfall_ = 0;  // pixels the count lines lack at the designed minimum
};

}  // namespace velmaro
