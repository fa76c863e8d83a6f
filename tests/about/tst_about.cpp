// The About window: version line, pictures and links, the holder line's
// year, leaving with Escape.
#include "about/Copyright.h"
#include "controls/RoLabel.h"
#include "platform/FormRegistry.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

using velmaro::Copyright;
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

    // Pictures load, every caption fits, the window
    // cannot be resized.
    void picturesLinksAndLook()
    {
        Copyright* w = load();
        QVERIFY(w);
        for (const char* image : {"Image1", "Logo"})
            QVERIFY(!child(w, image)->pixmap().isNull() && !child(w, image)->accessibleName().isEmpty());
        auto* web = child<RoLabel>(w, "roLabel1_1");
        auto* mail = child<RoLabel>(w, "roLabel1_2");
        QVERIFY(mail->text().contains(QLatin1Char('@')));
        for (const char* name : {"Label1_1", "Label1_3"}) {
            QVERIFY(child(w, name)->width() >= child(w, name)->sizeHint().width());
            QVERIFY(child(w, name)->geometry().right() < web->x());
        }
        QVERIFY(mail->width() >= mail->sizeHint().width());
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(!(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
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

    // Escape leaves like "Okay" (which the main window's logo test clicks).
    void escapeUnloadsTheModalWindow()
    {
        QPointer<Copyright> seen;
        bool wasModal = false;
        QTimer::singleShot(0, [&] {
            seen = platform::forms().find<Copyright>(QStringLiteral("Copyright"));
            if (!seen)
                return;
            wasModal = seen->isVisible() && QApplication::activeModalWidget() == seen;
            QTest::keyClick(seen, Qt::Key_Escape);
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
