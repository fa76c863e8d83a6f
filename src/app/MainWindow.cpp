#include "app/MainWindow.h"

#include "actions/DeleteFolders.h"
#include "actions/Eigenschaften.h"
#include "app/MainLabels.h"
#include "app/MainLayout.h"
#include "app/controls/RoCommand.h"
#include "app/controls/RoListBox.h"
#include "app/controls/RowDelegate.h"
#include "fileview/FileViewOpener.h"
#include "platform/Fonts.h"
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "platform/MsgBox.h"
#include "platform/Resources.h"
#include "platform/Settings.h"
#include "platform/Twips.h"
#include "platform/Volumes.h"
#include "platform/WaitCursor.h"
#include "scan/ScanRun.h"
#include "scan/ScanStarter.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cmath>

namespace velmaro {

namespace {

const QString kSetup = QStringLiteral("Setup");
constexpr int kFocusRing = 2;  // pixels around the logo

int px(double twips)
{
    return platform::twipsToPixels(twips);
}

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

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent)
{
    ensureResources();
    setObjectName(FormNames::Velmaro());
    setAccessibleDescription(objectName());
    setWindowTitle(QStringLiteral("Velmaro"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/velmaro/velmaro-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/velmaro/velmaro-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/velmaro/velmaro-32@2x.png"), QSize(64, 64));
    setWindowIcon(icon);
    // Every other window and message box shows it too.
    QGuiApplication::setWindowIcon(icon);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setMinimumSize(QSize(px(MainLayout::kMinClientWidth), px(MainLayout::kMinClientHeight))
                       .boundedTo(availableClientSize()));
    setFont(formFont());

    buildControls();
    scanRun_ = std::make_unique<ScanRun>([this] {
        ScanTarget t;
        t.list = list_;
        t.info0 = labelInfo_[0];
        t.info1 = labelInfo_[1];
        t.rootRaw = scanRootRaw_;
        return t;
    });
    wireHandlers();

    // Start-up: the status labels show nothing until a scan writes them.
    labelVerzeichnis_->clear();
    labelInfo_[0]->clear();
    labelInfo_[1]->clear();
    restoreSettings();
    centreOnScreen();
    applyLayout();
    cmdEnde_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    buildFolderTree();
    list_ = new RoListBox(this);
    buildButtons();
    buildLabels();
    setUpAccessibility();
    for (const Placement& p : MainLayout::designed()) {
        if (QWidget* w = findChild<QWidget*>(p.control, Qt::FindDirectChildrenOnly))
            w->setGeometry(px(p.rect.left), px(p.rect.top), px(p.rect.width), px(p.rect.height));
    }
    setUpTabOrder();
    // Buttons stay above labels; the three of one size share a caption size.
    for (RoCommand* b : {cmdEnde_, cmdGo_, cmdOrdnerDel_, cmdOrdnerNull_, cmdDelFile_, cmdInfo_})
        b->raise();
    RoCommand::fitCaptionsTogether({cmdOrdnerNull_, cmdOrdnerDel_, cmdDelFile_});
    adjustLabels();
}

void MainWindow::buildFolderTree()
{
    drive1_ = new QComboBox(this);
    drive1_->addItems(platform::Volumes::drives());

    dirModel_ = new QFileSystemModel(this);
    dirModel_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    dirModel_->setReadOnly(true);
    dir1_ = new QTreeView(this);
    dir1_->setModel(dirModel_);
    dir1_->setHeaderHidden(true);
    for (int column = 1; column < dirModel_->columnCount(); ++column)
        dir1_->hideColumn(column);
    dir1_->setUniformRowHeights(true);
    dir1_->setItemDelegate(new RowDelegate(dir1_));
    // Names are never elided: the column is as wide as they need (at least
    // the view) and the tree scrolls sideways.
    dir1_->header()->setStretchLastSection(false);
    dir1_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    dir1_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(dirModel_, &QFileSystemModel::rowsInserted, this, &MainWindow::hideOtherVolumes);
    scrollTimer_ = new QTimer(this);
    scrollTimer_->setSingleShot(true);
    scrollTimer_->setInterval(30);
    connect(scrollTimer_, &QTimer::timeout, this, &MainWindow::revealCurrentFolder);
    connect(dirModel_, &QFileSystemModel::rowsInserted, this, &MainWindow::keepCurrentFolderInView);
    connect(dirModel_, &QFileSystemModel::layoutChanged, this, &MainWindow::keepCurrentFolderInView);
    for (QObject* o : {static_cast<QObject*>(dir1_), static_cast<QObject*>(dir1_->viewport()),
                       static_cast<QObject*>(dir1_->verticalScrollBar())})
        o->installEventFilter(this);

    connect(dir1_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!settingDir1_)
            choice_.setShown(dir1Path());
    });
    connect(dirModel_, &QFileSystemModel::rowsAboutToBeRemoved, this, &MainWindow::onDir1RowsRemoved);
    setDir1Raw(FolderChoice::startFolder());
}

void MainWindow::buildButtons()
{
    cmdEnde_ = new RoCommand(QStringLiteral("Exit"), RoCommand::kNearWhite, this);
    cmdGo_ = new RoCommand(QStringLiteral("Unterordner suchen"), RoCommand::kNearWhite, this);
    cmdOrdnerDel_ = new RoCommand(QStringLiteral("Ordner löschen"), RoCommand::kRed, this);
    cmdOrdnerNull_ = new RoCommand(QStringLiteral("0 Byte Ordner löschen"), RoCommand::kRed, this);
    cmdDelFile_ = new RoCommand(QStringLiteral("Ordnerdateien zeigen"), RoCommand::kLightRed, this);
    cmdInfo_ = new RoCommand(QString(), RoCommand::kNearWhite, this);
    cmdInfo_->setSymbol(picture(QStringLiteral("properties.png")));
}

void MainWindow::buildLabels()
{
    const char* headings[] = {"Laufwerk", "Stammverzeichnis", "Verzeichnis"};
    for (int i = 0; i < 3; ++i)
        label_[i] = new FitLabel(QString::fromUtf8(headings[i]), this);
    labelVerzeichnis_ = new FitLabel(QStringLiteral("Pfad..."), this);
    labelVerzeichnis_->setElideMode(Qt::ElideMiddle);
    labelInfo_[0] = new FitLabel(QStringLiteral("Anzahl"), this);
    labelInfo_[1] = new FitLabel(QStringLiteral("leere Ordner"), this);
    for (FitLabel* line : labelInfo_)
        line->setShrinkFloor(6.0);

    logo_ = new QLabel(this);
    logo_->setPixmap(picture(QStringLiteral("logo.png")));
    logo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    logo_->setCursor(Qt::PointingHandCursor);
    // Reached by Tab after the buttons; Enter or Space opens the About
    // window. The window draws its focus ring around it.
    logo_->setFocusPolicy(Qt::TabFocus);
    logo_->installEventFilter(this);
}

void MainWindow::setUpAccessibility()
{
    const struct {
        QWidget* widget;
        const char* name;
    } names[] = {
        {cmdEnde_, "cmd_Ende"},
        {drive1_, "Drive1"},
        {dir1_, "Dir1"},
        {cmdGo_, "cmd_Go"},
        {list_, "roListBox_Ordner"},
        {cmdOrdnerDel_, "cmd_OrdnerDel"},
        {label_[0], "Label_0"},
        {label_[1], "Label_1"},
        {label_[2], "Label_2"},
        {labelVerzeichnis_, "LabelVerzeichnis"},
        {labelInfo_[0], "Label_Info_0"},
        {labelInfo_[1], "Label_Info_1"},
        {cmdOrdnerNull_, "cmd_OrdnerNull"},
        {cmdDelFile_, "cmd_DelFile"},
        {cmdInfo_, "cmd_Info"},
        {logo_, "Logo"},
    };
    for (const auto& entry : names) {
        const QString name = QString::fromLatin1(entry.name);
        entry.widget->setObjectName(name);
        entry.widget->setAccessibleDescription(name);
    }
    for (RoCommand* b : {cmdEnde_, cmdGo_, cmdOrdnerDel_, cmdOrdnerNull_, cmdDelFile_})
        b->setAccessibleName(b->text());
    cmdInfo_->setAccessibleName(QStringLiteral("Eigenschaften"));
    logo_->setAccessibleName(QStringLiteral("Über Velmaro"));
    drive1_->setAccessibleName(QStringLiteral("Laufwerk"));
    dir1_->setAccessibleName(QStringLiteral("Verzeichnis"));
    if (list_->accessibleName().isEmpty())
        list_->setAccessibleName(QStringLiteral("Ordnerliste"));
}

void MainWindow::setUpTabOrder()
{
    QWidget* chain[] = {cmdEnde_,      drive1_,        dir1_,       cmdGo_,   list_,
                        cmdOrdnerDel_, cmdOrdnerNull_, cmdDelFile_, cmdInfo_, logo_};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i)
        setTabOrder(chain[i], chain[i + 1]);
}

void MainWindow::wireHandlers()
{
    connect(cmdGo_, &RoCommand::clicked, this, [this] { cmd_Go_Click(); });
    connect(cmdOrdnerDel_, &RoCommand::clicked, this, [this] { cmd_OrdnerDel_Click(folderActions()); });
    connect(cmdOrdnerNull_, &RoCommand::clicked, this, [this] { cmd_OrdnerNull_Click(folderActions()); });
    connect(cmdDelFile_, &RoCommand::clicked, this, [this] { cmd_DelFile_Click(folderActions()); });
    connect(list_, &RoListBox::rowActivated, this, [this] { cmd_DelFile_Click(folderActions()); });
    connect(cmdInfo_, &RoCommand::clicked, this, [this] { cmd_Info_Click(folderActions()); });
    connect(cmdEnde_, &RoCommand::clicked, this, [] { platform::Alle_Fenster_schliessen(); });
    connect(drive1_, &QComboBox::currentIndexChanged, this, &MainWindow::onDriveChanged);
}

FolderActionTarget MainWindow::folderActions()
{
    FolderActionTarget target;
    target.list = list_;
    target.owner = this;
    target.clearCounts = [this] {
        labelInfo_[0]->clear();
        labelInfo_[1]->clear();
    };
    target.folderDeleted = [this](const QByteArray& raw) { folderDeleted(raw); };
    target.rescan = [] { Scan_starten(); };
    return target;
}

// "Unterordner suchen": the folder chosen in the tree becomes the list's root.
void MainWindow::cmd_Go_Click()
{
    const QByteArray folder = dir1Raw();
    if (folder.isEmpty()) {
        platform::MsgBox(QStringLiteral("Der im Verzeichnisbaum gewählte Ordner kann nicht angezeigt "
                                        "werden und wird nicht durchsucht."),
                         64, QString(), this);
        return;
    }
    setScanRoot(folder);
    Scan_starten();
}

void MainWindow::Verzeichnisse_lesen()
{
    scanRun_->Verzeichnisse_lesen();
}

void MainWindow::OrdnerZähler()
{
    scanRun_->OrdnerZähler();
}

// ---- Settings, size and state ----------------------------------------------

bool MainWindow::parseStoredNumber(const QString& text, double* value)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

void MainWindow::restoreSettings()
{
    using platform::Settings;
    // A value that is not a usable size leaves the designed one; a size
    // beyond the screen's free area is cut down to it.
    double w = MainLayout::kMinWidth;
    double h = MainLayout::kMinHeight;
    double stored = 0;
    if (parseStoredNumber(Settings::read(kSetup, QStringLiteral("Width"), QStringLiteral("10290")),
                          &stored) &&
        stored > MainLayout::kBorderWidth)
        w = stored;
    if (parseStoredNumber(Settings::read(kSetup, QStringLiteral("Height"), QStringLiteral("5295")),
                          &stored) &&
        stored > MainLayout::kBorderHeight)
        h = stored;
    const QSize free = availableClientSize();
    const double clientW = std::min(w - MainLayout::kBorderWidth, platform::pixelsToTwips(free.width()));
    const double clientH = std::min(h - MainLayout::kBorderHeight, platform::pixelsToTwips(free.height()));
    resize(px(clientW), px(clientH));
    applyStoredState(Settings::read(kSetup, QStringLiteral("WindowState"), QStringLiteral("0")));
}

void MainWindow::applyStoredState(const QString& text)
{
    double v = 0;
    if (!parseStoredNumber(text, &v) || v < -32768.5 || v > 32767.5)
        return;
    switch (std::lround(v)) {
    case 0: setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)); break;
    case 1: setWindowState(windowState() | Qt::WindowMinimized); break;
    case 2: setWindowState(windowState() | Qt::WindowMaximized); break;
    default: break;  // a state the window does not know is refused
    }
}

void MainWindow::storeSettings()
{
    using platform::Settings;
    const int state = windowStateCode();
    if (state == 0) {
        Settings::save(kSetup, QStringLiteral("Width"), QString::number(std::lround(outerWidthTwips())));
        Settings::save(kSetup, QStringLiteral("Height"), QString::number(std::lround(outerHeightTwips())));
    }
    Settings::save(kSetup, QStringLiteral("WindowState"), QString::number(state));
}

int MainWindow::windowStateCode() const
{
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized)
        return 1;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

double MainWindow::outerWidthTwips() const
{
    return platform::pixelsToTwips(width()) + MainLayout::kBorderWidth;
}

double MainWindow::outerHeightTwips() const
{
    return platform::pixelsToTwips(height()) + MainLayout::kBorderHeight;
}

void MainWindow::setOuterSizeTwips(double w, double h)
{
    resize(px(w - MainLayout::kBorderWidth), px(h - MainLayout::kBorderHeight));
}

QSize MainWindow::availableClientSize() const
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QSize frame(px(MainLayout::kBorderWidth), px(MainLayout::kBorderHeight));
    return (s->availableGeometry().size() - frame).expandedTo(QSize(1, 1));
}

void MainWindow::centreOnScreen()
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    // The frame is not known before the window is shown: use the designed one.
    const QSize outer(width() + px(MainLayout::kBorderWidth), height() + px(MainLayout::kBorderHeight));
    // A window larger than the screen keeps its caption bar and left edge on it.
    move(std::max(area.x(), area.x() + (area.width() - outer.width()) / 2),
         std::max(area.y(), area.y() + (area.height() - outer.height()) / 2));
}

// ---- Layout -------------------------------------------------------------------

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyLayout();
}

void MainWindow::applyLayout()
{
    const bool normal = windowStateCode() == 0;
    const int minW = minimumWidth();
    const int minH = minimumHeight();
    if (normal && (width() < minW || height() < minH))
        resize(std::max(width(), minW), std::max(height(), minH));

    // Below the designed minimum only where the screen is smaller: the rules
    // then use the size the window has.
    const bool designedMinimum =
        minimumSize() == QSize(px(MainLayout::kMinClientWidth), px(MainLayout::kMinClientHeight));
    const MainLayoutResult r =
        MainLayout::compute(outerWidthTwips(), outerHeightTwips(), normal && designedMinimum);
    for (const Placement& p : r.placements) {
        QWidget* w = findChild<QWidget*>(p.control, Qt::FindDirectChildrenOnly);
        if (!w)
            continue;
        if (p.moveOnly) {
            w->move(px(p.rect.left), px(p.rect.top));
            continue;
        }
        // A size that would be negative is refused; the control keeps its size.
        const int wPx = p.rect.width < 0 ? w->width() : px(p.rect.width);
        const int hPx = p.rect.height < 0 ? w->height() : px(p.rect.height);
        w->setGeometry(px(p.rect.left), px(p.rect.top), wPx, hPx);
    }
    adjustLabels();
}

void MainWindow::adjustLabels()
{
    if (!labelVerzeichnis_ || !labelInfo_[1])
        return;  // still being built
    const MainLabels labels{
        {label_[0], label_[1], label_[2]}, labelVerzeichnis_, {labelInfo_[0], labelInfo_[1]}};
    labels.fit(list_->geometry(), logoWithRing(), cmdOrdnerNull_->x());
}

QRect MainWindow::logoWithRing() const
{
    return logo_->geometry().adjusted(-kFocusRing, -kFocusRing, kFocusRing, kFocusRing);
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!logo_->hasFocus())
        return;
    QPainter painter(this);
    const QRegion ring = QRegion(logoWithRing()).subtracted(logo_->geometry());
    for (const QRect& part : ring)
        painter.fillRect(part, palette().color(QPalette::Highlight));
}

bool MainWindow::event(QEvent* event)
{
    // A label whose text changed asks its parent for a new layout: labels
    // size themselves to their text and grow to the right.
    if (event->type() == QEvent::LayoutRequest)
        adjustLabels();
    return QWidget::event(event);
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        applyLayout();
}

// ---- Shutdown -------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (shutDown_)
        return;
    shutDown_ = true;
    storeSettings();
    platform::Alle_Fenster_schliessen();
}

// ---- Logo -------------------------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched != logo_ &&
        (type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress))
        followCurrent_ = false;                                  // the user moves around in the folder tree
    if (watched == dir1_->viewport() && type == QEvent::Resize)  // the name column fills the view at least
        dir1_->header()->setMinimumSectionSize(static_cast<QResizeEvent*>(event)->size().width());
    if (watched == logo_) {
        if (type == QEvent::FocusIn || type == QEvent::FocusOut)
            update(logoWithRing());
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && logo_->rect().contains(me->position().toPoint())) {
                openAbout();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                openAbout();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::openAbout()
{
    platform::forms().showModal(FormNames::Copyright());
}

// ---- Drive and folder tree -----------------------------------------------------

QString MainWindow::dir1Path() const
{
    const QModelIndex index = dir1_->currentIndex();
    QString path = index.isValid() ? dirModel_->filePath(index) : currentDrive_;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

void MainWindow::setScanRoot(const QByteArray& raw)
{
    scanRootRaw_ = raw;
    labelVerzeichnis_->setText(QFile::decodeName(raw));
    labelVerzeichnis_->adjustSize();
}

void MainWindow::setDir1Raw(const QByteArray& raw)
{
    setDir1Path(QFile::decodeName(raw));
    choice_.setRaw(raw);
}

void MainWindow::folderDeleted(const QByteArray& raw)
{
    if (FolderChoice::isWithin(choice_.raw(), raw))
        setDir1Raw(FolderChoice::parentOf(raw));
}

void MainWindow::setDir1Current(const QModelIndex& index)
{
    const bool before = settingDir1_;
    settingDir1_ = true;
    dir1_->setCurrentIndex(index);
    settingDir1_ = before;
}

// The tree's folder is about to vanish (deleted by anyone): the tree moves
// to its parent rather than letting the view pick a neighbour.
void MainWindow::onDir1RowsRemoved(const QModelIndex& parent, int first, int last)
{
    for (QModelIndex i = dir1_->currentIndex(); i.isValid(); i = i.parent()) {
        if (i.parent() == parent && i.row() >= first && i.row() <= last) {
            setDir1Current(parent);
            choice_.setShown(dir1Path());
            return;
        }
    }
}

void MainWindow::setDir1Path(const QString& path)
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

void MainWindow::selectDriveInList(const QString& drive)
{
    const QSignalBlocker block(drive1_);
    int index = drive1_->findText(drive);
    if (index < 0) {
        drive1_->addItem(drive);
        index = drive1_->count() - 1;
    }
    drive1_->setCurrentIndex(index);
}

void MainWindow::showDrive(const QString& drive, const QString& folder)
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

void MainWindow::revealCurrentFolder()
{
    const QModelIndex current = dir1_->currentIndex();
    dir1_->scrollTo(current, QAbstractItemView::PositionAtCenter);
    // scrollTo places the column, not the item: bring a deep folder's name
    // (and its branch mark) into view.
    const QRect item = dir1_->visualRect(current);
    if (!item.isValid())
        return;
    QStyleOptionViewItem option;
    option.initFrom(dir1_);
    const int need = dir1_->itemDelegate()->sizeHint(option, current).width();
    // Scroll as little as shows the whole name, but never past its branch mark.
    const int cutRight = item.left() + need - dir1_->viewport()->width();
    const int toBranch = item.left() - dir1_->indentation();
    QScrollBar* bar = dir1_->horizontalScrollBar();
    if (cutRight > 0 || toBranch < 0)
        bar->setValue(bar->value() + std::min(std::max(cutRight, 0), toBranch));
}

void MainWindow::keepCurrentFolderInView()
{
    // The folders above the current one are listed in the background and
    // sorted late, which moves the rows: follow until the user takes over.
    if (followCurrent_)
        scrollTimer_->start();
}

void MainWindow::hideOtherVolumes(const QModelIndex& parent, int first, int last)
{
    // The tree shows the chosen drive as its only top item.
    if (parent != dir1_->rootIndex())
        return;
    for (int row = first; row <= last; ++row) {
        const QString path = withoutTrailingSlash(dirModel_->filePath(dirModel_->index(row, 0, parent)));
        dir1_->setRowHidden(row, parent, path != currentDrive_);
    }
}

void MainWindow::onDriveChanged(int index)
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
                         64, QString(), this);
        return;
    }
    lastFolder_.insert(currentDrive_, withoutTrailingSlash(dir1Path()));
    currentDrive_ = drive;
    showDrive(drive, lastFolder_.value(drive, drive));
    choice_.setShown(dir1Path());
}

}  // namespace velmaro
