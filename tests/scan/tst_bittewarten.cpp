// The progress window on its own: names, look, wait cursor, closing rules.
#include "app/controls/RoCommand.h"
#include "platform/Twips.h"
#include "platform/WaitCursor.h"
#include "scan/BitteWarten.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <set>

using velmaro::BitteWarten;
using velmaro::platform::twipsToPixels;
using velmaro::platform::WaitCursor;

class TestBitteWarten : public QObject {
    Q_OBJECT
private slots:
    void namesAndAccessibility()
    {
        BitteWarten w;
        QCOMPARE(w.objectName(), QString("BitteWarten"));
        QCOMPARE(w.accessibleDescription(), QString("BitteWarten"));
        std::set<QString> names;
        for (QWidget* child : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QVERIFY(!child->objectName().isEmpty());
            QCOMPARE(child->accessibleDescription(), child->objectName());
            names.insert(child->objectName());
        }
        const std::set<QString> expected = {"Image1", "Label1_0", "Label1_1", "Label2", "cmd_Stopp"};
        QCOMPARE(names, expected);
        QCOMPARE(w.cmd_Stopp()->accessibleName(), QString("Stopp"));
        QVERIFY(w.cmd_Stopp()->text().isEmpty());
        QCOMPARE(w.Timer()->objectName(), QString("Timer"));
        QVERIFY(w.Timer()->isSingleShot());
        QCOMPARE(w.Timer()->interval(), 10);
        w.Timer()->stop();  // no scan here
    }

    void textsAndFixedFrameless()
    {
        BitteWarten w;
        w.Timer()->stop();
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(w.size(), QSize(twipsToPixels(3255), twipsToPixels(990)));
        QCOMPARE(w.minimumSize(), w.maximumSize());  // fixed border
        QCOMPARE(w.Label1(0)->text(), QString("Bitte warten"));
        QCOMPARE(w.Label1(1)->text(), QString("Bitte warten"));
        // The white element is drawn over the navy one: it comes later in the stacking order.
        QVERIFY(w.children().indexOf(w.Label1(1)) > w.children().indexOf(w.Label1(0)));
        QCOMPARE(w.Label2()->text(), QString("die Informationen des Verzeichnisses werden gelesen"));
    }

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
