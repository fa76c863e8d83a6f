#include "app/MainWindow.h"

#include "actions/DeleteFolders.h"
#include "actions/Eigenschaften.h"
#include "app/MainLabels.h"
#include "app/MainLayout.h"
#include "controls/RoCommand.h"
#include "controls/RoListBox.h"
#include "fileview/FileViewOpener.h"
#include "map/MapWindow.h"
#include "platform/ControlPlacement.h"
#include "platform/Fonts.h"
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "platform/MsgBox.h"
#include "platform/Resources.h"
#include "platform/Settings.h"
#include "platform/Twips.h"
#include "scan/ScanSession.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTreeView>
#include <algorithm>

namespace velmaro {

using platform::px;

namespace {

constexpr int kFocusRing = 2;  // pixels around the logo

}  // namespace

MainWindow::MainWindow(ScanSession& scans, QWidget* parent)
    : QWidget(parent)
    , scans_(&scans)
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
    setMinimumSize(wantedMinimum().boundedTo(placement_.availableClientSize()));
    setFont(formFont());

    buildControls();
    scans_->attach(this, [this] {
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
    placement_.restore();
    placement_.centreOnScreen();
    applyLayout();
    cmdEnde_->setFocus();
}

MainWindow::~MainWindow()
{
    if (scans_)
        scans_->detach(this);  // cancels and joins a walk still running
}

void MainWindow::buildControls()
{
    picker_ = new FolderPicker(*this);
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
        line->setShrinkFloor(scaledPoints(6.0));

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
        {Drive1(), "Drive1"},
        {Dir1(), "Dir1"},
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
        platform::nameControl(entry.widget, QString::fromLatin1(entry.name));
    }
    for (RoCommand* b : {cmdEnde_, cmdGo_, cmdOrdnerDel_, cmdOrdnerNull_, cmdDelFile_})
        b->setAccessibleName(b->text());
    cmdInfo_->setAccessibleName(QStringLiteral("Eigenschaften"));
    logo_->setAccessibleName(QStringLiteral("Über Velmaro"));
    Drive1()->setAccessibleName(QStringLiteral("Laufwerk"));
    Dir1()->setAccessibleName(QStringLiteral("Verzeichnis"));
    if (list_->accessibleName().isEmpty())
        list_->setAccessibleName(QStringLiteral("Ordnerliste"));
}

void MainWindow::setUpTabOrder()
{
    QWidget* chain[] = {cmdEnde_,      Drive1(),       Dir1(),      cmdGo_,   list_,
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
    addMapAction();
    connect(scans_, &ScanSession::finished, this, [] {
        if (MapWindow* map = MapWindow::loaded())
            map->refresh();
    });
}

// The folder list's context menu (and its shortcut): the map of the
// selected folder.
void MainWindow::addMapAction()
{
    auto* separator = new QAction(list_);
    separator->setSeparator(true);
    list_->addAction(separator);
    auto* action = new QAction(QStringLiteral("Übersicht des Ordners"), list_);
    action->setObjectName(QStringLiteral("act_Übersicht"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    action->setShortcutContext(Qt::WidgetShortcut);
    list_->addAction(action);
    connect(action, &QAction::triggered, this, [this] { openMap(); });
}

void MainWindow::openMap()
{
    const qint64 row = list_->SelectedIndex();
    const quint32 slot = list_->folderModel()->slotAt(int(row - 1));
    if (row < 1 || slot == FolderSlot::kNoParent)
        return;
    platform::forms().load<MapWindow>(FormNames::frm_Übersicht())->showFolder(list_, slot);
}

void MainWindow::folderDeleted(const QByteArray& raw)
{
    picker_->folderDeleted(raw);
    if (MapWindow* map = MapWindow::loaded())
        map->folderDeleted(raw);
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
    target.rescan = [this] { scans_->Scan_starten(); };
    return target;
}

// "Unterordner suchen": the folder chosen in the tree becomes the list's root.
void MainWindow::cmd_Go_Click()
{
    const QByteArray folder = dir1Raw();
    if (folder.isEmpty()) {
        platform::MsgBox(QStringLiteral("Der im Verzeichnisbaum gewählte Ordner kann nicht angezeigt "
                                        "werden und wird nicht durchsucht."),
                         platform::kBoxInfo, QString(), this);
        return;
    }
    setScanRoot(folder);
    scans_->Scan_starten();
}

// ---- Layout -------------------------------------------------------------------

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyLayout();
}

void MainWindow::applyLayout()
{
    const bool normal = placement_.stateCode() == 0;
    const int minW = minimumWidth();
    const int minH = minimumHeight();
    if (normal && (width() < minW || height() < minH))
        resize(std::max(width(), minW), std::max(height(), minH));

    // Below the designed minimum only where the screen is smaller: the rules
    // then use the size the window has.
    const bool fullMinimum = minimumSize() == wantedMinimum();
    const MainLayoutResult r = MainLayout::compute(placement_.outerWidthTwips(),
                                                   placement_.outerHeightTwips(), normal && fullMinimum);
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
    makeRoomForCounts();
    RoCommand::fitCaptionsTogether({cmdOrdnerNull_, cmdOrdnerDel_, cmdDelFile_});
    adjustLabels();
}

// In a window narrower than the count lines need (a screen too small for the
// designed minimum), the three wide bottom buttons give up width to them,
// each at most half of it; their captions shrink together.
void MainWindow::makeRoomForCounts()
{
    if (!labelInfo_[1])
        return;  // still being built
    const int lack = mainLabels().countsShortfall(logoWithRing(), cmdOrdnerNull_->x());
    const int each = std::min((lack + 2) / 3, px(MainLayout::kWideButtonWidth) / 2);
    if (each <= 0)
        return;
    int shift = 0;
    for (RoCommand* b : {cmdDelFile_, cmdOrdnerDel_, cmdOrdnerNull_}) {  // right to left
        shift += each;
        b->setGeometry(b->x() + shift, b->y(), b->width() - each, b->height());
    }
}

void MainWindow::adjustLabels()
{
    if (!labelVerzeichnis_ || !labelInfo_[1])
        return;  // still being built
    const MainLabels labels = mainLabels();
    labels.fit(list_->geometry(), logoWithRing(), cmdOrdnerNull_->x());
    countsShortfall_ =
        labels.countsShortfall(logoWithRing(), px(MainLayout::kMinWidth - MainLayout::kFirstButtonFromRight));
    const QSize minimum = wantedMinimum().boundedTo(placement_.availableClientSize());
    if (minimumSize() != minimum)
        setMinimumSize(minimum);  // a smaller window grows at once
}

MainLabels MainWindow::mainLabels() const
{
    return MainLabels{{label_[0], label_[1], label_[2]}, labelVerzeichnis_, {labelInfo_[0], labelInfo_[1]}};
}

QSize MainWindow::wantedMinimum() const
{
    return QSize(px(MainLayout::kMinClientWidth) + countsShortfall_, px(MainLayout::kMinClientHeight));
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
    // size themselves to their text and grow to the right; count lines may
    // need room from the buttons.
    if (event->type() == QEvent::LayoutRequest)
        applyLayout();
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
    if (!placement_.store()) {
        platform::MsgBox(QStringLiteral("Die Fenstergröße konnte nicht gespeichert werden.") + QChar(u'\r') +
                             QStringLiteral("Die Einstellungsdatei \"") + platform::Settings::fileName() +
                             QStringLiteral("\" ist nicht beschreibbar."),
                         platform::kBoxStop, QString(), this);
    }
    platform::Alle_Fenster_schliessen();
}

// ---- Logo -------------------------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == logo_) {
        const QEvent::Type type = event->type();
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

// ---- Search root ---------------------------------------------------------------

void MainWindow::setScanRoot(const QByteArray& raw)
{
    scanRootRaw_ = raw;
    labelVerzeichnis_->setText(QFile::decodeName(raw));
    labelVerzeichnis_->adjustSize();
}

}  // namespace velmaro
