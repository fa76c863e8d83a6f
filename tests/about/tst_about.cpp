// The About window: version line, pictures and links, the holder line's
// year, the gradient strip, leaving with "Okay" or Escape.
#include "about/Copyright.h"
#include "app/controls/RoCommand.h"
#include "app/controls/RoLabel.h"
#include "platform/FormRegistry.h"
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
QDate fixedToday()
{
    return fixedDate;
}

template <class T = QLabel>
T* child(QWidget* w, const char* name)
{
    return w->findChild<T*>(QString::fromLatin1(name));
}

Copyright* load()
{
    return platform::forms().load<Copyright>(QStringLiteral("Copyright"));
}

}  // namespace

class TstAbout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        platform::forms().registerForm(QStringLiteral("Copyright"), [] { return new Copyright; });
    }
    void cleanup()
    {
        Copyright::setDateSource(nullptr);
        platform::Alle_Fenster_schliessen();
        velmaro::testsupport::flushDeletes();
    }

    void versionTextKeepsTheFixedZeros()
    {
        QCOMPARE(Copyright::versionText(1, 1, 0) + Copyright::versionText(1, 1, 5),
                 QStringLiteral(" Version 1.01.00 Version 1.01.05"));
        QCOMPARE(Copyright::versionText(1, 10, 0) + Copyright::versionText(2, 12, 34),
                 QStringLiteral(" Version 1.010.00 Version 2.012.034"));
    }

    // Pictures load, the links are links, every caption fits, the window
    // cannot be resized, the strip paints its gradient.
    void picturesLinksAndLook()
    {
        Copyright* w = load();
        QVERIFY(w);
        for (const char* image : {"Image1", "Logo"})
            QVERIFY(!child(w, image)->pixmap().isNull() && !child(w, image)->accessibleName().isEmpty());
        auto* web = child<RoLabel>(w, "roLabel1_1");
        auto* mail = child<RoLabel>(w, "roLabel1_2");
        QCOMPARE(web->kind(), RoLabel::WebLink);
        QCOMPARE(mail->kind(), RoLabel::MailLink);
        QVERIFY(mail->text().contains(QLatin1Char('@')));
        for (const char* name : {"Label1_1", "Label1_3"}) {
            QVERIFY(child(w, name)->width() >= child(w, name)->sizeHint().width());
            QVERIFY(child(w, name)->geometry().right() < web->x());
        }
        QVERIFY(mail->width() >= mail->sizeHint().width());
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(!(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        const QImage img = child<QWidget>(w, "roLabel")->grab().toImage();
        const QColor top = img.pixelColor(1, 1), bottom = img.pixelColor(1, img.height() - 2);
        QVERIFY2(top.red() > 200 && top.green() > 200, qPrintable(top.name()));
        QVERIFY2(bottom.red() > 240 && bottom.green() < 40, qPrintable(bottom.name()));
    }

    void holderLineFollowsTheYearWhenShownAgain()
    {
        fixedDate = QDate(2025, 12, 31);
        Copyright::setDateSource(&fixedToday);
        Copyright* w = load();
        QCOMPARE(child(w, "txt_Name")->text(), QStringLiteral("© 2025 Velmaro-Team"));
        fixedDate = QDate(2026, 1, 1);
        w->show();
        QCOMPARE(child(w, "txt_Name")->text(), QStringLiteral("© 2026 Velmaro-Team"));
        // Becoming the active window again runs the set-up again.
        fixedDate = QDate(2027, 1, 1);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(w, &activate);
        QCOMPARE(child(w, "txt_Name")->text(), QStringLiteral("© 2027 Velmaro-Team"));
    }

    void leavingUnloadsTheModalWindow_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Okay") << false;
        QTest::newRow("Escape") << true;
    }
    void leavingUnloadsTheModalWindow()
    {
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
                QTest::mouseClick(child<RoCommand>(seen, "cmdOK"), Qt::LeftButton);
        });
        platform::forms().showModal(QStringLiteral("Copyright"));  // returns when unloaded
        QVERIFY(seen);
        QVERIFY(wasModal);
        QVERIFY(!platform::forms().isLoaded(QStringLiteral("Copyright")));
        velmaro::testsupport::flushDeletes();
        QVERIFY(!seen);
    }
};

VELMARO_TEST_CLASS(TstAbout);
#include "tst_about.moc"
