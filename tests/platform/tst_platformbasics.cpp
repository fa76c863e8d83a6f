// The wait cursor, twips and the font substitutions.

#include "platform/Fonts.h"
#include "platform/Twips.h"
#include "platform/WaitCursor.h"
#include "support/TestSupport.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

using namespace velmaro::platform;

class TestPlatformBasics : public QObject {
    Q_OBJECT
    static bool waitCursorShown()
    {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor && cursor->shape() == Qt::WaitCursor;
    }

private slots:
    void waitCursorIsBalanced()
    {
        WaitCursor::restore();  // nothing pending: no effect
        QCOMPARE(WaitCursor::depth(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
        WaitCursor::set();
        QVERIFY(waitCursorShown());
        {
            WaitCursorGuard guard;
            QCOMPARE(WaitCursor::depth(), 2);
        }
        QCOMPARE(WaitCursor::depth(), 1);
        QVERIFY(waitCursorShown());
        WaitCursor::restore();
        QCOMPARE(WaitCursor::depth(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void twipsAtScreenDpi()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
        QCOMPARE(twipsToPixels(10290), 686);  // 15 twips a pixel; halves round up
        QCOMPARE(twipsToPixels(7), 0);
        QCOMPARE(twipsToPixels(8), 1);
        QCOMPARE(twipsToPixels(pixelsToTwips(123)), 123);
    }

    void windowsFontsMapToFreeFonts()
    {
        velmaro::installFontSubstitutions();
        QCOMPARE(QFont::substitute("Verdana").toLower(), QStringLiteral("dejavu sans"));
        QVERIFY(QFont::substitute("MS Sans Serif").toLower() != QStringLiteral("ms sans serif"));
    }
};

VELMARO_TEST_CLASS(TestPlatformBasics);
#include "tst_platformbasics.moc"
