// The progress window on its own: closing rules, and the wait cursor that
// the scan session keeps around it.
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "platform/WaitCursor.h"
#include "scan/BitteWarten.h"
#include "scan/ScanSession.h"

#include <QTimer>
#include <QtTest>

using namespace velmaro;
using platform::WaitCursor;

class TestBitteWarten : public QObject {
    Q_OBJECT
private slots:
    void hourglassWhileShownAndClosesWithoutAMainWindow()
    {
        ScanSession scans;
        platform::forms().registerForm(FormNames::BitteWarten(), [&] { return new BitteWarten(scans); });
        bool shownWithHourglass = false, escapeIgnored = false;
        QTimer::singleShot(0, [&] {
            auto* w = platform::forms().find<BitteWarten>(FormNames::BitteWarten());
            shownWithHourglass = w && w->isVisible() && WaitCursor::depth() == 1;
            if (w)
                QTest::keyClick(w, Qt::Key_Escape);  // never closes it while it waits for its scan
            escapeIgnored = w && w->isVisible();
        });
        // No main window to scan for: the tick gives up and closes the window.
        scans.Scan_starten();
        QVERIFY(shownWithHourglass);
        QVERIFY(escapeIgnored);
        QVERIFY(!platform::forms().isLoaded(FormNames::BitteWarten()));
        QCOMPARE(WaitCursor::depth(), 0);
    }
};

QTEST_MAIN(TestBitteWarten)
#include "tst_bittewarten.moc"
