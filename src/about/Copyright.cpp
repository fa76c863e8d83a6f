#include "about/Copyright.h"

#include "about/VersionStrip.h"
#include "controls/Line3D.h"
#include "controls/RoCommand.h"
#include "controls/RoLabel.h"
#include "platform/ControlPlacement.h"
#include "platform/Fonts.h"
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "platform/Resources.h"
#include "platform/Twips.h"

#include <QEvent>
#include <QIcon>
#include <QPixmap>
#include <QLabel>
#include <algorithm>

namespace velmaro {

using platform::px;

namespace {

const QString kFormName = FormNames::Copyright();
Copyright::DateSource dateSource = nullptr;

}  // namespace

Copyright::Copyright(QWidget* parent)
    : QDialog(parent)
{
    ensureResources();
    setObjectName(kFormName);
    setAccessibleDescription(kFormName);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QString());
    // No window icon: a clear one stands in for the program's, which every
    // window would show otherwise.
    QPixmap clear(16, 16);
    clear.fill(Qt::transparent);
    setWindowIcon(QIcon(clear));
    setFixedSize(px(3585), px(1995));
    setFont(formFont(8.25, false));
    buildControls();
    Form_Initialize();
}

QString Copyright::versionText(int major, int minor, int patch)
{
    return QStringLiteral(" Version %1.0%2.0%3").arg(major).arg(minor).arg(patch);
}

QString Copyright::programVersionText()
{
    return versionText(VELMARO_VERSION_MAJOR, VELMARO_VERSION_MINOR, VELMARO_VERSION_PATCH);
}

QString Copyright::holderLine(int year)
{
    return QStringLiteral("© %1 Velmaro-Team").arg(year);
}

void Copyright::setDateSource(DateSource source)
{
    dateSource = source;
}

void Copyright::buildControls()
{
    strip_ = new VersionStrip(this);
    platform::placeControl(strip_, QStringLiteral("roLabel"), 0, 0, 375, 1995);
    buildTitle();

    image1_ = new QLabel(this);
    image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1_->setAccessibleName(QStringLiteral("Programmsymbol"));
    platform::placeControl(image1_, QStringLiteral("Image1"), 480, 720, 435, 465);

    txtName_ = new QLabel(this);
    platform::placeControl(txtName_, QStringLiteral("txt_Name"), 1020, 600, 1605, 195);
    buildLinks();

    auto* line = new Line3D(this);
    platform::placeControl(line, QStringLiteral("Line3D1"), 420, 1410, 3075, 45);

    auto* logo = new QLabel(this);
    logo->setPixmap(picture(QStringLiteral("logo.png")));
    logo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    logo->setAccessibleName(QStringLiteral("Velmaro-Logo"));
    platform::placeControl(logo, QStringLiteral("Logo"), 480, 1500, 1110, 450);

    cmdOK_ = new RoCommand(QStringLiteral("Okay"), RoCommand::kNearWhite, this);
    cmdOK_->setAccessibleName(QStringLiteral("Okay"));
    platform::placeControl(cmdOK_, QStringLiteral("cmdOK"), 2220, 1530, 1215, 405);
    connect(cmdOK_, &RoCommand::clicked, this, &Copyright::onOkay);
    cmdOK_->setFocus();
}

void Copyright::buildTitle()
{
    // The white copy lies behind the dark one, 30 twips right and down.
    for (int i : {0, 1}) {
        titel_[i] = new QLabel(this);
        titel_[i]->setFont(formFont(18, true));
        titel_[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    QPalette white = titel_[0]->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    titel_[0]->setPalette(white);
    platform::placeControl(titel_[0], QStringLiteral("txt_Titel_0"), 450, 90, 3135, 555);
    platform::placeControl(titel_[1], QStringLiteral("txt_Titel_1"), 420, 60, 3135, 555);
    // One line high, as labels size themselves: the designed box would
    // reach over the holder line below.
    for (QLabel* title : titel_)
        title->resize(title->width(), title->sizeHint().height());
    titel_[1]->raise();
}

void Copyright::buildLinks()
{
    QLabel* labels[] = {new QLabel(QStringLiteral("Internet"), this),
                        new QLabel(QStringLiteral("Email"), this)};
    platform::placeControl(labels[0], QStringLiteral("Label1_1"), 1200, 825, 540, 195);
    platform::placeControl(labels[1], QStringLiteral("Label1_3"), 1200, 1065, 375, 195);
    // Labels size themselves to their text. Where the font is wider than the
    // designed one, both move left together so they keep clear of the links.
    const int room = px(1800) - px(1200) - 4;
    int overflow = 0;
    for (QLabel* label : labels) {
        label->adjustSize();
        overflow = std::max(overflow, label->width() - room);
    }
    for (QLabel* label : labels)
        label->move(label->x() - overflow, label->y());

    web_ = new RoLabel(QStringLiteral("www.velmaro.de"), this);
    web_->setKind(RoLabel::WebLink);
    platform::placeControl(web_, QStringLiteral("roLabel1_1"), 1800, 810, 1755, 255);
    mail_ = new RoLabel(QStringLiteral("info@velmaro.de"), this);
    mail_->setKind(RoLabel::MailLink);
    platform::placeControl(mail_, QStringLiteral("roLabel1_2"), 1800, 1020, 1335, 255);
    for (RoLabel* link : {web_, mail_}) {
        QFont f = formFont(8.25, false);
        f.setUnderline(true);
        link->setFont(f);
        QPalette pal = link->palette();
        pal.setColor(QPalette::WindowText, Qt::black);
        link->setPalette(pal);
        link->setHoverColor(Qt::red);
        // One line high: the designed boxes of the two links overlap.
        link->resize(std::max(link->width(), link->sizeHint().width()), link->sizeHint().height());
    }
}

void Copyright::Form_Initialize()
{
    strip_->setText(programVersionText());

    QIcon icon;
    if (QWidget* main = platform::forms().find(FormNames::Velmaro()))
        icon = main->windowIcon();
    if (icon.isNull())
        icon = QIcon(QStringLiteral(":/velmaro/velmaro-32.png"));
    image1_->setPixmap(icon.pixmap(32, 32));
    // An image control takes the size of its picture: the icon is never cut.
    image1_->resize(image1_->pixmap().deviceIndependentSize().toSize());

    const QString title = QStringLiteral("Velmaro");
    titel_[0]->setText(title);
    titel_[1]->setText(title);

    const QDate today = dateSource ? dateSource() : QDate::currentDate();
    txtName_->setText(holderLine(today.year()));
    txtName_->adjustSize();
}

void Copyright::showEvent(QShowEvent* event)
{
    Form_Initialize();
    QDialog::showEvent(event);
}

bool Copyright::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Initialize();
    return QDialog::event(event);
}

void Copyright::reject()
{
    // Escape and the close box end the window as "Okay" does.
    onOkay();
}

void Copyright::onOkay()
{
    if (platform::forms().find(kFormName) == this) {
        platform::forms().unload(kFormName);
        return;
    }
    close();
    deleteLater();
}

}  // namespace velmaro
