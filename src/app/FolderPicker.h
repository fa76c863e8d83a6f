#pragma once
// The main window's drive list (Drive1) and folder tree (Dir1): which folder
// the next search starts from.
//
// - Both controls are created as direct children of the window given to the
//   constructor (the window places them by object name); the picker owns the
//   tree's file-system model and names no control itself.
// - Dir1 starts at the process's current folder on its drive and shows that
//   drive as its only top item; every other volume stays hidden. The name
//   column is never elided: the tree scrolls sideways.
// - While the folders above the current one load, the tree keeps the current
//   folder in view, until the user clicks, scrolls or types in the tree.
//   The deeper the current folder, the less each level indents (down to 8
//   pixels), so that its name starts within the left three fifths of the
//   tree and every name above it stays readable from its first letter; only
//   a folder deeper still makes the tree scroll sideways. A name cut at the
//   right edge shows in full as a tooltip.
// - Drive1: choosing a drive that cannot be read keeps the previous drive and
//   says so in a message box (style 64); the tree stays. Returning to a drive
//   shows the folder that was last open on it.
// - When the tree's current folder (or one above it) vanishes, the tree moves
//   to its parent instead of a neighbour.

#include "app/FolderChoice.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QModelIndex;
class QTimer;
class QTreeView;
class QWidget;

namespace velmaro {

class FolderPicker : public QObject {
    Q_OBJECT
public:
    // Creates Drive1 and Dir1 on `window` and opens the start folder.
    explicit FolderPicker(QWidget& window);

    QComboBox* drive1() const { return drive1_; }
    QTreeView* dir1() const { return dir1_; }

    // The folder open in the folder tree, display form ending in "/".
    QString dir1Path() const;
    // Opens `path` in the folder tree (and selects its drive).
    void setDir1Path(const QString& path);
    // The same for raw bytes: dir1Raw() is then exactly `raw`, even where the
    // tree cannot show it.
    void setDir1Raw(const QByteArray& raw);
    // The folder the next search starts from, raw, ending in "/"; empty when
    // the folder chosen in the tree cannot be named (see FolderChoice).
    QByteArray dir1Raw() const { return choice_.raw(); }
    // A folder tree was deleted: if the chosen folder was in it, the tree
    // moves to the deleted folder's parent.
    void folderDeleted(const QByteArray& raw);
    // The drive whose folder tree Dir1 shows.
    QString currentDrive() const { return currentDrive_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDriveList();
    void buildTree();
    // Shows `drive` in Dir1 with `folder` (on that drive) as the current folder.
    void showDrive(const QString& drive, const QString& folder);
    void selectDriveInList(const QString& drive);
    void hideOtherVolumes(const QModelIndex& parent, int first, int last);
    void keepCurrentFolderInView();
    void revealCurrentFolder();
    void fitIndentation(const QModelIndex& current);
    // Where the current folder's name should start at the latest (pixels).
    int nameRoom() const;
    static constexpr int kLeastIndentation = 8;  // pixels per level
    void setDir1Current(const QModelIndex& index);
    void onDir1RowsRemoved(const QModelIndex& parent, int first, int last);
    void onDriveChanged(int index);

    QWidget& window_;
    QComboBox* drive1_ = nullptr;
    QTreeView* dir1_ = nullptr;
    QFileSystemModel* dirModel_ = nullptr;
    QTimer* scrollTimer_ = nullptr;
    FolderChoice choice_;       // the folder the next search starts from
    bool settingDir1_ = false;  // the program, not the user, moves Dir1's current folder
    QString currentDrive_;
    QHash<QString, QString> lastFolder_;  // drive -> the folder last open on it
    bool followCurrent_ = false;          // keep Dir1's current folder in view while it loads
};

}  // namespace velmaro
