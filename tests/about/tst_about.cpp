// The About window: version line, texts, names, the holder line's year,
// leaving with "Okay" or Escape.
#include "about/Copyright.h"
#include "about/VersionStrip.h"
#include "app/controls/RoCommand.h"
#include "app/controls/RoLabel.h"
#include "platform/FormRegistry.h"
#include "platform/Twips.h"
#include "support/TestSupport.h"

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
QDate fixedToday() { return fixedDate; }

int px(double twips) { return platform::twipsToPixels(twips); }

QString labelText(QWidget* w, const char* name) {
    auto* l = w->findChild<QLabel*>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

Copyright* load() { return platform::forms().load<Copyright>(QStringLiteral("Copyright")); }

}  // namespace

class TstAbout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        platform::forms().registerForm(QStringLiteral("Copyright"), [] { return new Copyright; });
    }
    void cleanup() {
        Copyright::setDateSource(nullptr);
        platform::Alle_Fenster_schliessen();
        velmaro::testsupport::flushDeletes();
    }

    void versionTextKeepsTheFixedZeros() {
        QCOMPARE(Copyright::versionText(1, 1, 0) + Copyright::versionText(1, 1, 5),
                 QStringLiteral(" Version 1.01.00 Version 1.01.05"));
        QCOMPARE(Copyright::versionText(1, 10, 0) + Copyright::versionText(2, 12, 34),
                 QStringLiteral(" Version 1.010.00 Version 2.012.034"));
        QCOMPARE(Copyright::programVersionText(),
                 Copyright::versionText(VELMARO_VERSION_MAJOR, VELMARO_VERSION_MINOR, VELMARO_VERSION_PATCH));
    }

    void textsNamesAndLook() {
        Copyright* w = load();
        QVERIFY(w);
        QCOMPARE(labelText(w, "roLabel"), Copyright::programVersionText());
        QVERIFY(qobject_cast<velmaro::VersionStrip*>(w->findChild<QLabel*>(QStringLiteral("roLabel"))));
        const QStringList texts{labelText(w, "txt_Titel_0"), labelText(w, "txt_Titel_1"), labelText(w, "txt_Name"),
                                labelText(w, "Label1_1"), labelText(w, "Label1_3")};
        QCOMPARE(texts, (QStringList{"Velmaro", "Velmaro",
                                     QStringLiteral("© %1 Velmaro-Team").arg(QDate::currentDate().year()),
                                     "Internet", "Email"}));
        for (const char* name : {"roLabel", "txt_Titel_1", "txt_Titel_0", "Image1", "txt_Name", "Label1_1",
                                 "Label1_3", "roLabel1_1", "roLabel1_2", "Line3D1", "Logo", "cmdOK"}) {
            auto* c = w->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(c, name);
            QCOMPARE(c->accessibleDescription(), QString::fromLatin1(name));
        }
        auto* ok = w->findChild<RoCommand*>(QStringLiteral("cmdOK"));
        QCOMPARE(ok->text(), QStringLiteral("Okay"));
        QCOMPARE(ok->accessibleName(), QStringLiteral("Okay"));
        QCOMPARE(ok->backColor(), RoCommand::kNearWhite);
        for (const char* image : {"Image1", "Logo"}) {
            auto* label = w->findChild<QLabel*>(QString::fromLatin1(image));
            QVERIFY(!label->pixmap().isNull() && !label->accessibleName().isEmpty());
        }

        auto* web = w->findChild<RoLabel*>(QStringLiteral("roLabel1_1"));
        auto* mail = w->findChild<RoLabel*>(QStringLiteral("roLabel1_2"));
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

        // The white copy of the title lies 30 twips right of and below the dark one.
        auto* t0 = w->findChild<QLabel*>(QStringLiteral("txt_Titel_0"));
        auto* t1 = w->findChild<QLabel*>(QStringLiteral("txt_Titel_1"));
        QCOMPARE(t0->pos() - t1->pos(), QPoint(px(450) - px(420), px(90) - px(60)));
        QCOMPARE(t0->palette().color(QPalette::WindowText), QColor(Qt::white));
        QVERIFY(t1->font().bold());
        QCOMPARE(t1->font().pointSizeF(), 18.0);

        // A fixed dialog without title; the strip paints its gradient.
        QCOMPARE(w->objectName(), QStringLiteral("Copyright"));
        QVERIFY(w->windowTitle().isEmpty());
        const QSize client(px(3585), px(1995));
        QCOMPARE(w->size(), client);
        QCOMPARE(w->minimumSize(), client);
        QCOMPARE(w->maximumSize(), client);
        QVERIFY(!(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        auto* strip = w->findChild<QWidget*>(QStringLiteral("roLabel"));
        QCOMPARE(strip->geometry(), QRect(0, 0, px(375), client.height()));
        const QImage img = strip->grab().toImage();
        const QColor top = img.pixelColor(1, 1), bottom = img.pixelColor(1, img.height() - 2);
        QVERIFY2(top.red() > 200 && top.green() > 200, qPrintable(top.name()));
        QVERIFY2(bottom.red() > 240 && bottom.green() < 40, qPrintable(bottom.name()));
    }

    void holderLineFollowsTheYearWhenShownAgain() {
        fixedDate = QDate(2025, 12, 31);
        Copyright::setDateSource(&fixedToday);
        Copyright* w = load();
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

    void leavingUnloadsTheModalWindow_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Okay") << false;
        QTest::newRow("Escape") << true;
    }
    void leavingUnloadsTheModalWindow() {
        QFETCH(bool, escape);
        QPointer<Copyright> seen;
        bool wasModal = false;
        QTimer::singleShot(0, [&] {
            seen = platform::forms().find<Copyright>(QStringLiteral("Copyright"));
            if (!seen)
                return;
            wasModal = seen->isVisible() && QApplication::activeModalWidget() == seen;
            if (escape)
                QTest::keyClick(seen, Qt::Key_Escape);
            else
                QTest::mouseClick(seen->findChild<RoCommand*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        platform::forms().showModal(QStringLiteral("Copyright"));  // returns when unloaded
        QVERIFY(seen);
        QVERIFY(wasModal);
        QVERIFY(!platform::forms().isLoaded(QStringLiteral("Copyright")));
        velmaro::testsupport::flushDeletes();
        QVERIFY(!seen);
    }
};

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
