#include "scan/BitteWarten.h"

#include "controls/RoCommand.h"
#include "platform/ControlPlacement.h"
#include "platform/Fonts.h"
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "platform/Resources.h"
#include "platform/Twips.h"
#include "scan/ScanSession.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <qdrawutil.h>

namespace velmaro {

namespace {
const QString kTitle = QStringLiteral("Bitte warten");

// The substitute fonts run wider than the design's: shrink the label's font
// in small steps until its text fits its designed box (at most 2 points).
void fitTextToBox(QLabel* label)
{
    QFont font = label->font();
    const double designed = font.pointSizeF();
    const QRect box(QPoint(0, 0), label->size());
    while (font.pointSizeF() > designed - scaledPoints(2.0)) {
        const QRect need = QFontMetrics(font).boundingRect(box, Qt::TextWordWrap, label->text());
        if (need.height() <= box.height() && need.width() <= box.width())
            break;
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    label->setFont(font);
}
}  // namespace

BitteWarten::BitteWarten(ScanSession& session, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , session_(session)
    , owner_(parent ? parent : session.owner())
{
    ensureResources();
    platform::nameControl(this, FormNames::BitteWarten());
    setFont(formFont());  // the window's default font
    setFixedSize(platform::twipsToPixels(3255), platform::twipsToPixels(990));
    buildControls();
    timer_->start();
}

BitteWarten::~BitteWarten() = default;

void BitteWarten::buildControls()
{
    image1_ = new QLabel(this);
    image1_->setPixmap(picture(QStringLiteral("hourglass.png")));
    image1_->setScaledContents(true);
    platform::placeControl(image1_, QStringLiteral("Image1"), 90, 240, 480, 480);

    const QFont titleFont = formFont(13.5, true);
    const QColor colours[2] = {QColor(0, 0, 128), QColor(Qt::white)};
    const int left[2] = {675, 690}, top[2] = {90, 120};
    for (int i = 0; i < 2; ++i) {
        QLabel* l = new QLabel(kTitle, this);
        platform::nameControl(l, QStringLiteral("Label1_%1").arg(i));
        l->setFont(titleFont);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, colours[i]);
        l->setPalette(pal);
        l->setAutoFillBackground(false);  // transparent: the shadow shows through
        l->move(platform::twipsToPixels(left[i]), platform::twipsToPixels(top[i]));
        l->adjustSize();
        label1_[i] = l;
    }
    // The navy title lies over its white copy, which shows below and to the
    // right of it as a relief. White drawn over navy would leave only navy
    // slivers beside white letters on the light window, which smear ("tt"
    // reads "ff").
    label1_[0]->raise();

    label2_ = new QLabel(QStringLiteral("die Informationen des Verzeichnisses werden gelesen"), this);
    label2_->setWordWrap(true);
    label2_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    platform::placeControl(label2_, QStringLiteral("Label2"), 690, 510, 2535, 435);
    fitTextToBox(label2_);

    cmdStopp_ = new RoCommand(QString(), RoCommand::kNearWhite, this);
    cmdStopp_->setAccessibleName(QStringLiteral("Stopp"));
    cmdStopp_->setSymbol(picture(QStringLiteral("stop.png")));
    platform::placeControl(cmdStopp_, QStringLiteral("cmd_Stopp"), 2640, 60, 525, 405);
    connect(cmdStopp_, &RoCommand::clicked, this, &BitteWarten::onStopClicked);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer"));
    timer_->setSingleShot(true);
    timer_->setInterval(10);
    connect(timer_, &QTimer::timeout, this, &BitteWarten::onTimer);
}

void BitteWarten::onTimer()
{
    timer_->stop();  // interval 0, disabled: the tick is a single one
    timer_->setInterval(0);
    if (scansStarted_ > 0)
        return;
    if (!session_.start(*this))
        return;
    ++scansStarted_;
    if (!cmdStopp_->isEnabled())  // stop clicked before the tick
        session_.stop();
}

void BitteWarten::onStopClicked()
{
    cmdStopp_->setEnabled(false);
    session_.stop();
}

void BitteWarten::allowClose()
{
    closeAllowed_ = true;
}

void BitteWarten::reject()
{
    if (closeAllowed_)  // Escape does nothing while the scan runs
        QDialog::reject();
}

void BitteWarten::closeEvent(QCloseEvent* event)
{
    if (!closeAllowed_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void BitteWarten::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Shown without a parent: a dialog of the main window all the same (kept
    // above it, not in the taskbar).
    if (!parentWidget() && owner_ && owner_->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(owner_->windowHandle());
    centreOnOwner();
    cmdStopp_->setFocus();
}

void BitteWarten::centreOnOwner()
{
    QWidget* owner = owner_;
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        area = s->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

void BitteWarten::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    qDrawWinPanel(&p, rect(), palette(), false);  // the fixed dialog border
}

}  // namespace velmaro
