// The About window: version line, texts, the holder line's year, "Okay".
#include "about/Copyright.h"
#include "about/VersionStrip.h"
#include "app/controls/RoCommand.h"
#include "app/controls/RoLabel.h"
#include "platform/FormRegistry.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

using velmaro::Copyright;
using velmaro::RoCommand;
using velmaro::RoLabel;
namespace platform = velmaro::platform;

namespace {

QDate fixedDate;
QDate fixedToday() {
    return fixedDate;
}

QString labelText(QWidget* w, const char* name) {
    auto* l = w->findChild<QLabel*>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace

class TstAbout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void versionTextKeepsTheFixedZeros();
    void windowShowsItsTexts();
    void windowIsAFixedDialogWithoutTitle();
    void everyControlIsNamed();
    void holderLineFollowsTheYearWhenShownAgain();
    void okayUnloadsTheWindow();
    void escapeUnloadsTheWindowToo();
};

void TstAbout::initTestCase() {
    platform::forms().registerForm(QStringLiteral("Copyright"), [] { return new Copyright; });
}

void TstAbout::cleanup() {
    Copyright::setDateSource(nullptr);
    platform::Alle_Fenster_schliessen();
    flushDeletes();
}

void TstAbout::versionTextKeepsTheFixedZeros() {
    QCOMPARE(Copyright::versionText(1, 1, 0), QStringLiteral(" Version 1.01.00"));
    QCOMPARE(Copyright::versionText(1, 1, 5), QStringLiteral(" Version 1.01.05"));
    QCOMPARE(Copyright::versionText(1, 10, 0), QStringLiteral(" Version 1.010.00"));
    QCOMPARE(Copyright::versionText(2, 12, 34), QStringLiteral(" Version 2.012.034"));
    QCOMPARE(Copyright::programVersionText(),
             Copyright::versionText(VELMARO_VERSION_MAJOR, VELMARO_VERSION_MINOR, VELMARO_VERSION_PATCH));
}

void TstAbout::windowShowsItsTexts() {
    auto* w = platform::forms().load<Copyright>(QStringLiteral("Copyright"));
    QVERIFY(w);
    QCOMPARE(labelText(w, "roLabel"), Copyright::programVersionText());
    QVERIFY(qobject_cast<velmaro::VersionStrip*>(w->findChild<QLabel*>(QStringLiteral("roLabel"))));
    QCOMPARE(labelText(w, "txt_Titel_0"), QStringLiteral("Velmaro"));
    QCOMPARE(labelText(w, "txt_Titel_1"), QStringLiteral("Velmaro"));
    QCOMPARE(labelText(w, "txt_Name"),
             QStringLiteral("© %1 Velmaro-Team").arg(QDate::currentDate().year()));
    QCOMPARE(labelText(w, "Label1_1"), QStringLiteral("Internet"));
    QCOMPARE(labelText(w, "Label1_3"), QStringLiteral("Email"));

    auto* web = w->findChild<RoLabel*>(QStringLiteral("roLabel1_1"));
    auto* mail = w->findChild<RoLabel*>(QStringLiteral("roLabel1_2"));
    QVERIFY(web && mail);
    QCOMPARE(web->kind(), RoLabel::WebLink);
    QCOMPARE(mail->kind(), RoLabel::MailLink);
    QVERIFY(mail->text().contains(QLatin1Char('@')));
    QVERIFY(web->font().underline());
    // Each caption fits and keeps clear of its link.
    for (const char* name : {"Label1_1", "Label1_3"}) {
        auto* label = w->findChild<QLabel*>(QString::fromLatin1(name));
        QVERIFY(label->width() >= label->sizeHint().width());
        QVERIFY(label->geometry().right() < web->x());
    }
    QVERIFY(mail->width() >= mail->sizeHint().width());

    auto* ok = w->findChild<RoCommand*>(QStringLiteral("cmdOK"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("Okay"));
    QCOMPARE(ok->backColor(), RoCommand::kNearWhite);

    auto* image = w->findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(image && !image->pixmap().isNull());
    auto* logo = w->findChild<QLabel*>(QStringLiteral("Logo"));
    QVERIFY(logo && !logo->pixmap().isNull());

    // The white copy of the title lies 30 twips right of and below the dark one.
    auto* t0 = w->findChild<QLabel*>(QStringLiteral("txt_Titel_0"));
    auto* t1 = w->findChild<QLabel*>(QStringLiteral("txt_Titel_1"));
    QCOMPARE(t0->pos() - t1->pos(), QPoint(platform::twipsToPixels(450) - platform::twipsToPixels(420),
                                           platform::twipsToPixels(90) - platform::twipsToPixels(60)));
    QCOMPARE(t0->palette().color(QPalette::WindowText), QColor(Qt::white));
    QVERIFY(t1->font().bold());
    QCOMPARE(t1->font().pointSizeF(), 18.0);
}

void TstAbout::windowIsAFixedDialogWithoutTitle() {
    auto* w = platform::forms().load<Copyright>(QStringLiteral("Copyright"));
    QVERIFY(w);
    QCOMPARE(w->objectName(), QStringLiteral("Copyright"));
    QVERIFY(w->windowTitle().isEmpty());
    const QSize client(platform::twipsToPixels(3585), platform::twipsToPixels(1995));
    QCOMPARE(w->size(), client);
    QCOMPARE(w->minimumSize(), client);
    QCOMPARE(w->maximumSize(), client);
    QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    auto* strip = w->findChild<QWidget*>(QStringLiteral("roLabel"));
    QCOMPARE(strip->geometry(), QRect(0, 0, platform::twipsToPixels(375), client.height()));

    // The strip paints its gradient: light grey at the top, red at the bottom.
    const QImage img = strip->grab().toImage();
    const QColor top = img.pixelColor(1, 1), bottom = img.pixelColor(1, img.height() - 2);
    QVERIFY2(top.red() > 200 && top.green() > 200, qPrintable(top.name()));
    QVERIFY2(bottom.red() > 240 && bottom.green() < 40, qPrintable(bottom.name()));
}

void TstAbout::everyControlIsNamed() {
    auto* w = platform::forms().load<Copyright>(QStringLiteral("Copyright"));
    const QStringList names = {"roLabel",  "txt_Titel_1", "txt_Titel_0", "Image1",  "txt_Name",
                               "Label1_1", "Label1_3",    "roLabel1_1",  "roLabel1_2",
                               "Line3D1",  "Logo",        "cmdOK"};
    for (const QString& name : names) {
        auto* c = w->findChild<QWidget*>(name);
        QVERIFY2(c, qPrintable(name));
        QCOMPARE(c->accessibleDescription(), name);
    }
    QCOMPARE(w->findChild<QWidget*>(QStringLiteral("cmdOK"))->accessibleName(), QStringLiteral("Okay"));
    QVERIFY(!w->findChild<QWidget*>(QStringLiteral("Image1"))->accessibleName().isEmpty());
    QVERIFY(!w->findChild<QWidget*>(QStringLiteral("Logo"))->accessibleName().isEmpty());
}

void TstAbout::holderLineFollowsTheYearWhenShownAgain() {
    fixedDate = QDate(2025, 12, 31);
    Copyright::setDateSource(&fixedToday);
    auto* w = platform::forms().load<Copyright>(QStringLiteral("Copyright"));
    QCOMPARE(labelText(w, "txt_Name"), QStringLiteral("© 2025 Velmaro-Team"));

    fixedDate = QDate(2026, 1, 1);
    w->show();
    QCOMPARE(labelText(w, "txt_Name"), QStringLiteral("© 2026 Velmaro-Team"));

    // Becoming the active window again runs the set-up again.
    fixedDate = QDate(2027, 1, 1);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(w, &activate);
    QCOMPARE(labelText(w, "txt_Name"), QStringLiteral("© 2027 Velmaro-Team"));
}

void TstAbout::okayUnloadsTheWindow() {
    QPointer<Copyright> seen;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        seen = platform::forms().find<Copyright>(QStringLiteral("Copyright"));
        if (!seen)
            return;
        wasModal = seen->isVisible() && QApplication::activeModalWidget() == seen;
        QTest::mouseClick(seen->findChild<RoCommand*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    platform::forms().showModal(QStringLiteral("Copyright"));  // returns when unloaded
    QVERIFY(seen);
    QVERIFY(wasModal);
    QVERIFY(!platform::forms().isLoaded(QStringLiteral("Copyright")));
    flushDeletes();
    QVERIFY(!seen);
}

void TstAbout::escapeUnloadsTheWindowToo() {
    QPointer<Copyright> seen;
    QTimer::singleShot(0, [&] {
        seen = platform::forms().find<Copyright>(QStringLiteral("Copyright"));
        if (seen)
            QTest::keyClick(seen, Qt::Key_Escape);
    });
    platform::forms().showModal(QStringLiteral("Copyright"));
    QVERIFY(seen);
    QVERIFY(!platform::forms().isLoaded(QStringLiteral("Copyright")));
    flushDeletes();
    QVERIFY(!seen);
}

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
