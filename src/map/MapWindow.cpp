#include "map/MapWindow.h"

#include "controls/RoCommand.h"
#include "controls/RoListBox.h"
#include "map/MapLegend.h"
#include "map/MapView.h"
#include "platform/ControlPlacement.h"
#include "platform/Fonts.h"
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace velmaro {

namespace {

const QString kTitle = QStringLiteral("Übersicht");

}  // namespace

MapWindow::MapWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    platform::nameControl(this, FormNames::frm_Übersicht(), kTitle);
    setWindowTitle(kTitle);
    setFont(formFont());
    buildControls();
}

MapWindow::~MapWindow() = default;

MapWindow* MapWindow::loaded()
{
    return platform::forms().find<MapWindow>(FormNames::frm_Übersicht());
}

void MapWindow::buildControls()
{
    view_ = new MapView(this);
    platform::nameControl(view_, QStringLiteral("Karte"));
    back_ = new RoCommand(QStringLiteral("Zurück"), RoCommand::kNearWhite, this);
    platform::nameControl(back_, QStringLiteral("cmd_Zurück"), QStringLiteral("Zurück"));
    back_->setToolTip(QStringLiteral("Eine Ebene höher (Rücktaste)"));
    back_->setFixedSize(back_->sizeHint().expandedTo(QSize(90, 27)));
    auto* basisLabel = new QLabel(QStringLiteral("Farbe nach:"), this);
    platform::nameControl(basisLabel, QStringLiteral("Label_Farbe"));
    basis_ = new QComboBox(this);
    platform::nameControl(basis_, QStringLiteral("cbo_Farbe"), QStringLiteral("Farbe nach"));
    basis_->addItems({QStringLiteral("letzter Zugriff"), QStringLiteral("erstellt am")});
    basisLabel->setBuddy(basis_);
    legend_ = new MapLegend(this);
    platform::nameControl(legend_, QStringLiteral("Legende"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(back_);
    bar->addSpacing(12);
    bar->addWidget(basisLabel);
    bar->addWidget(basis_);
    bar->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->addLayout(bar);
    column->addWidget(view_, 1);
    column->addWidget(legend_);
    setTabOrder(view_, back_);
    setTabOrder(back_, basis_);

    connect(back_, &RoCommand::clicked, view_, &MapView::zoomOut);
    connect(basis_, &QComboBox::currentIndexChanged, this, [this](int index) {
        view_->setBasis(index == 1 ? MapView::Basis::Creation : MapView::Basis::LastAccess);
        legend_->setCreationBasis(index == 1);
    });
    connect(view_, &MapView::folderChosen, this, &MapWindow::chooseFolder);
    connect(view_, &MapView::shownChanged, this, &MapWindow::shownChanged);
    auto* up = new QShortcut(QKeySequence(Qt::Key_Backspace), this);
    connect(up, &QShortcut::activated, view_, &MapView::zoomOut);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

void MapWindow::showFolder(RoListBox* list, quint32 slot)
{
    if (list != list_) {
        disconnect(reset_);
        list_ = list;
        if (list)
            reset_ = connect(list->folderModel(), &QAbstractItemModel::modelAboutToBeReset, this,
                             &MapWindow::forget);
    }
    view_->setTree(nullptr, 0);
    view_->setPlaceholder(QStringLiteral("Die Liste hat keinen Ordner, der sich zeigen lässt."));
    tree_ = list ? std::make_unique<MapTree>(list->folderModel()->store()) : nullptr;
    const quint32 node = tree_ ? tree_->nodeOfSlot(slot) : MapTree::kNone;
    showNode(node == MapTree::kNone ? 0 : node);
    if (!isVisible())
        placeOver(list ? list->window() : nullptr);
    show();
    raise();
    activateWindow();
    view_->setFocus();
}

// The first time: a size that fits the screen, centred on the window of the list.
void MapWindow::placeOver(QWidget* owner)
{
    const QScreen* screen = owner ? owner->screen() : this->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    resize(QSize(900, 640).boundedTo(area.size() * 0.9));
    QRect frame(QPoint(), size());
    frame.moveCenter(owner ? owner->frameGeometry().center() : area.center());
    frame.moveLeft(
        std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width())));
    frame.moveTop(
        std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height() - 30)));
    move(frame.topLeft());
}

void MapWindow::showNode(quint32 node)
{
    view_->setTree(tree_.get(), node);  // MapView::shownChanged follows
}

void MapWindow::forget()
{
    view_->setPlaceholder(QStringLiteral("Die Ordnerliste wird neu eingelesen …"));
    view_->setTree(nullptr, 0);
    tree_.reset();
    back_->setEnabled(false);
}

void MapWindow::refresh()
{
    if (!list_ || !isVisible()) {
        forget();
        return;
    }
    auto tree = std::make_unique<MapTree>(list_->folderModel()->store());
    const quint32 node = tree->deepestNodeOn(shownRaw_);
    if (node == MapTree::kNone) {
        forget();
        platform::forms().unload(FormNames::frm_Übersicht());
        return;
    }
    view_->setTree(nullptr, 0);
    tree_ = std::move(tree);
    showNode(node);
}

void MapWindow::folderDeleted(const QByteArray& raw)
{
    if (!tree_)
        return;
    const quint32 node = tree_->deepestNodeOn(raw);
    if (node == MapTree::kNone || node == 0 || tree_->rawPath(node) != raw)
        return;
    tree_->remove(node);
    // Once for a run of deletes (the zero-byte pass deletes many folders).
    if (relayoutPending_)
        return;
    relayoutPending_ = true;
    QTimer::singleShot(0, this, [this] {
        relayoutPending_ = false;
        if (tree_)
            showNode(tree_->deepestNodeOn(shownRaw_));
    });
}

void MapWindow::chooseFolder(quint32 slot)
{
    if (!list_)
        return;
    const int row = list_->folderModel()->displayRowOf(slot);
    if (row >= 0)
        list_->SelectRow(row + 1);
}

void MapWindow::shownChanged()
{
    const bool any = tree_ && !tree_->empty();
    shownRaw_ = any ? tree_->rawPath(view_->shown()) : QByteArray();
    setWindowTitle(any ? kTitle + QStringLiteral(" – ") + tree_->path(view_->shown()) : kTitle);
    back_->setEnabled(any && tree_->parentOf(view_->shown()) != MapTree::kNone);
}

}  // namespace velmaro
