// The progress window on its own: wait cursor and closing rules.
#include "platform/WaitCursor.h"
#include "scan/BitteWarten.h"

#include <QtTest>

using velmaro::BitteWarten;
using velmaro::platform::WaitCursor;

class TestBitteWarten : public QObject {
    Q_OBJECT
private slots:
    void loadSetsTheWaitCursorAndClosesWithoutAMainWindow()
    {
        QCOMPARE(WaitCursor::depth(), 0);
        auto* w = new BitteWarten;
        QCOMPARE(WaitCursor::depth(), 1);
        w->show();
        QTest::keyClick(w, Qt::Key_Escape);  // never closes it while it waits for its scan
        QVERIFY(w->isVisible());
        // No main window to scan for: the tick gives up, restores the cursor and closes.
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(w->scansStarted(), 1);
        QCOMPARE(WaitCursor::depth(), 0);
        delete w;
        QCOMPARE(WaitCursor::depth(), 0);  // restored exactly once
        delete new BitteWarten;            // unloaded before its tick, e.g. every window closed
        QCOMPARE(WaitCursor::depth(), 0);
    }
};

QTEST_MAIN(TestBitteWarten)
#include "tst_bittewarten.moc"
