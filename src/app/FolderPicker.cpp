#include "app/FolderPicker.h"

#include "controls/FocusMark.h"
#include "controls/RowDelegate.h"
#include "platform/MsgBox.h"
#include "platform/Volumes.h"
#include "platform/WaitCursor.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

namespace velmaro {

namespace {

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

bool isOnDrive(const QString& folder, const QString& drive)
{
    if (drive == QLatin1String("/"))
        return folder.startsWith(drive);
    return folder == drive || folder.startsWith(drive + QLatin1Char('/'));
}

}  // namespace

FolderPicker::FolderPicker(QWidget& window)
    : QObject(&window)
    , window_(window)
{
    buildDriveList();
    buildTree();
    setDir1Raw(FolderChoice::startFolder());
    connect(drive1_, &QComboBox::currentIndexChanged, this, &FolderPicker::onDriveChanged);
}

void FolderPicker::buildDriveList()
{
    drive1_ = new QComboBox(&window_);
    drive1_->addItems(platform::Volumes::drives());
}

void FolderPicker::buildTree()
{
    dirModel_ = new QFileSystemModel(this);
    dirModel_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    dirModel_->setReadOnly(true);
    dir1_ = new QTreeView(&window_);
    dir1_->setModel(dirModel_);
    dir1_->setHeaderHidden(true);
    for (int column = 1; column < dirModel_->columnCount(); ++column)
        dir1_->hideColumn(column);
    dir1_->setUniformRowHeights(true);
    dir1_->setItemDelegate(new RowDelegate(dir1_));
    FocusMark::attach(dir1_);
    // Names are never elided: the column is as wide as they need (at least
    // the view) and the tree scrolls sideways.
    dir1_->header()->setStretchLastSection(false);
    dir1_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    dir1_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(dirModel_, &QFileSystemModel::rowsInserted, this, &FolderPicker::hideOtherVolumes);
    scrollTimer_ = new QTimer(this);
    scrollTimer_->setSingleShot(true);
    scrollTimer_->setInterval(30);
    connect(scrollTimer_, &QTimer::timeout, this, &FolderPicker::revealCurrentFolder);
    connect(dirModel_, &QFileSystemModel::rowsInserted, this, &FolderPicker::keepCurrentFolderInView);
    connect(dirModel_, &QFileSystemModel::layoutChanged, this, &FolderPicker::keepCurrentFolderInView);
    for (QObject* o : {static_cast<QObject*>(dir1_), static_cast<QObject*>(dir1_->viewport()),
                       static_cast<QObject*>(dir1_->verticalScrollBar())})
        o->installEventFilter(this);

    connect(dir1_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!settingDir1_)
            choice_.setShown(dir1Path());
    });
    connect(dirModel_, &QFileSystemModel::rowsAboutToBeRemoved, this, &FolderPicker::onDir1RowsRemoved);
}

bool FolderPicker::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress)
        followCurrent_ = false;                                  // the user moves around in the folder tree
    if (watched == dir1_->viewport() && type == QEvent::Resize)  // the name column fills the view at least
        dir1_->header()->setMinimumSectionSize(static_cast<QResizeEvent*>(event)->size().width());
    return QObject::eventFilter(watched, event);
}

QString FolderPicker::dir1Path() const
{
    const QModelIndex index = dir1_->currentIndex();
    QString path = index.isValid() ? dirModel_->filePath(index) : currentDrive_;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

void FolderPicker::setDir1Raw(const QByteArray& raw)
{
    setDir1Path(QFile::decodeName(raw));
    choice_.setRaw(raw);
}

void FolderPicker::folderDeleted(const QByteArray& raw)
{
    if (FolderChoice::isWithin(choice_.raw(), raw))
        setDir1Raw(FolderChoice::parentOf(raw));
}

void FolderPicker::setDir1Current(const QModelIndex& index)
{
    const bool before = settingDir1_;
    settingDir1_ = true;
    dir1_->setCurrentIndex(index);
    settingDir1_ = before;
}

// The tree's folder is about to vanish (deleted by anyone): the tree moves
// to its parent rather than letting the view pick a neighbour.
void FolderPicker::onDir1RowsRemoved(const QModelIndex& parent, int first, int last)
{
    for (QModelIndex i = dir1_->currentIndex(); i.isValid(); i = i.parent()) {
        if (i.parent() == parent && i.row() >= first && i.row() <= last) {
            setDir1Current(parent);
            choice_.setShown(dir1Path());
            return;
        }
    }
}

void FolderPicker::setDir1Path(const QString& path)
{
    const QString folder = withoutTrailingSlash(QDir::cleanPath(path));
    const QString drive = withoutTrailingSlash(platform::Volumes::driveOf(folder));
    if (!currentDrive_.isEmpty() && dir1_->currentIndex().isValid())
        lastFolder_.insert(currentDrive_, withoutTrailingSlash(dir1Path()));
    currentDrive_ = drive;
    selectDriveInList(drive);
    showDrive(drive, folder);
    choice_.setShown(folder);
}

void FolderPicker::selectDriveInList(const QString& drive)
{
    const QSignalBlocker block(drive1_);
    int index = drive1_->findText(drive);
    if (index < 0) {
        drive1_->addItem(drive);
        index = drive1_->count() - 1;
    }
    drive1_->setCurrentIndex(index);
}

void FolderPicker::showDrive(const QString& drive, const QString& folder)
{
    dirModel_->setRootPath(drive);
    const QModelIndex driveIndex = dirModel_->index(drive);
    const QModelIndex top = driveIndex.parent();
    dir1_->setRootIndex(top);
    hideOtherVolumes(top, 0, dirModel_->rowCount(top) - 1);
    QModelIndex target = dirModel_->index(folder);
    if (!target.isValid() || !isOnDrive(folder, drive))
        target = driveIndex;
    setDir1Current(target);
    dir1_->scrollTo(target);
    dir1_->expand(target);
    followCurrent_ = true;
}

void FolderPicker::revealCurrentFolder()
{
    const QModelIndex current = dir1_->currentIndex();
    fitIndentation(current);
    dir1_->scrollTo(current, QAbstractItemView::PositionAtCenter);
    // The names above a deep folder stay readable from their first letter:
    // the tree scrolls sideways only for a folder so deep that even the
    // least indentation puts its name beyond the room it has, and then just
    // so far that the name starts a third into the view.
    QScrollBar* bar = dir1_->horizontalScrollBar();
    bar->setValue(0);
    const int start = dir1_->visualRect(current).left();
    if (start > nameRoom())
        bar->setValue(start - dir1_->viewport()->width() / 3);
}

// The levels indent less the deeper the current folder is (never less than
// kLeastIndentation), so that its name starts within nameRoom().
void FolderPicker::fitIndentation(const QModelIndex& current)
{
    int depth = 0;
    for (QModelIndex i = current; i.isValid() && i != dir1_->rootIndex(); i = i.parent())
        ++depth;
    dir1_->resetIndentation();
    const int standard = dir1_->indentation();
    if (depth > 0)
        dir1_->setIndentation(std::clamp(nameRoom() / depth, kLeastIndentation, standard));
}

int FolderPicker::nameRoom() const
{
    return dir1_->viewport()->width() * 3 / 5;
}

void FolderPicker::keepCurrentFolderInView()
{
    // The folders above the current one are listed in the background and
    // sorted late, which moves the rows: follow until the user takes over.
    if (followCurrent_)
        scrollTimer_->start();
}

void FolderPicker::hideOtherVolumes(const QModelIndex& parent, int first, int last)
{
    // The tree shows the chosen drive as its only top item.
    if (parent != dir1_->rootIndex())
        return;
    for (int row = first; row <= last; ++row) {
        const QString path = withoutTrailingSlash(dirModel_->filePath(dirModel_->index(row, 0, parent)));
        dir1_->setRowHidden(row, parent, path != currentDrive_);
    }
}

void FolderPicker::onDriveChanged(int index)
{
    const QString drive = drive1_->itemText(index);
    if (drive.isEmpty() || drive == currentDrive_)
        return;
    bool readable = false;
    {
        platform::WaitCursorGuard wait;
        readable = platform::Volumes::isReadable(drive);
    }
    if (!readable) {
        selectDriveInList(currentDrive_);
        platform::MsgBox(QStringLiteral("Das Laufwerk ") + drive +
                             QStringLiteral(" kann nicht gelesen werden."),
                         platform::kBoxInfo, QString(), &window_);
        return;
    }
    lastFolder_.insert(currentDrive_, withoutTrailingSlash(dir1Path()));
    currentDrive_ = drive;
    showDrive(drive, lastFolder_.value(drive, drive));
    choice_.setShown(dir1Path());
}

}  // namespace velmaro
