#include "scan/BitteWarten.h"

#include "controls/RoCommand.h"
#include "platform/Fonts.h"
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "platform/Resources.h"
#include "platform/Twips.h"
#include "scan/ScanHost.h"
#include "scan/ScanRun.h"

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

void name(QObject* o, const QString& n)
{
    o->setObjectName(n);
    if (auto* w = qobject_cast<QWidget*>(o))
        w->setAccessibleDescription(n);
}

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

QWidget* createBitteWarten()
{
    return new BitteWarten;
}

BitteWarten::BitteWarten(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , owner_(parent ? parent : platform::forms().find(FormNames::Velmaro()))
{
    ensureResources();
    name(this, FormNames::BitteWarten());
    setFont(formFont());  // the window's default font
    setFixedSize(platform::twipsToPixels(3255), platform::twipsToPixels(990));
    buildControls();
    timer_->start();
}

BitteWarten::~BitteWarten() = default;

void BitteWarten::placeControl(QWidget* w, double left, double top, double width, double height)
{
    using platform::twipsToPixels;
    w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

void BitteWarten::buildControls()
{
    image1_ = new QLabel(this);
    name(image1_, QStringLiteral("Image1"));
    image1_->setPixmap(picture(QStringLiteral("hourglass.png")));
    image1_->setScaledContents(true);
    placeControl(image1_, 90, 240, 480, 480);

    const QFont titleFont = formFont(13.5, true);
    const QColor colours[2] = {QColor(0, 0, 128), QColor(Qt::white)};
    const int left[2] = {675, 690}, top[2] = {90, 120};
    for (int i = 0; i < 2; ++i) {
        QLabel* l = new QLabel(kTitle, this);
        name(l, QStringLiteral("Label1_%1").arg(i));
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
    name(label2_, QStringLiteral("Label2"));
    label2_->setWordWrap(true);
    label2_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeControl(label2_, 690, 510, 2535, 435);
    fitTextToBox(label2_);

    cmdStopp_ = new RoCommand(QString(), RoCommand::kNearWhite, this);
    name(cmdStopp_, QStringLiteral("cmd_Stopp"));
    cmdStopp_->setAccessibleName(QStringLiteral("Stopp"));
    cmdStopp_->setSymbol(picture(QStringLiteral("stop.png")));
    placeControl(cmdStopp_, 2640, 60, 525, 405);
    connect(cmdStopp_, &RoCommand::clicked, this, &BitteWarten::onStopClicked);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer"));
    timer_->setSingleShot(true);
    timer_->setInterval(10);
    connect(timer_, &QTimer::timeout, this, &BitteWarten::onTimer);
}

// The window this scan is for: the main window, found by its name.
ScanHost* BitteWarten::scanHost() const
{
    return dynamic_cast<ScanHost*>(platform::forms().find(FormNames::Velmaro()));
}

void BitteWarten::onTimer()
{
    timer_->stop();  // interval 0, disabled: the tick is a single one
    timer_->setInterval(0);
    if (scansStarted_ > 0)
        return;
    auto* main = scanHost();
    if (!main) {  // nothing to scan for: close again, as after an empty scan
        allowClose();
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (platform::forms().find(FormNames::BitteWarten()) == this)
                    platform::forms().unload(FormNames::BitteWarten());
                else
                    reject();
            },
            Qt::QueuedConnection);
        return;
    }
    ++scansStarted_;
    main->scanRun().Verzeichnisse_lesen();
    if (!cmdStopp_->isEnabled())  // stop clicked before the tick
        main->scanRun().stop();
}

void BitteWarten::onStopClicked()
{
    cmdStopp_->setEnabled(false);
    if (ScanHost* main = scanHost())
        main->scanRun().stop();
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
