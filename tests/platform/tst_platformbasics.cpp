// The wait cursor, twips and the font substitutions.

#include "platform/Fonts.h"
#include "platform/Twips.h"
#include "platform/WaitCursor.h"

#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

using namespace velmaro::platform;

namespace {

bool waitCursorShown()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

}  // namespace

class TestPlatformBasics : public QObject {
    Q_OBJECT
private slots:
    void waitCursorIsBalanced();
    void twipsAtScreenDpi();
    void windowsFontsMapToFreeFonts();
};

void TestPlatformBasics::waitCursorIsBalanced()
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
    WaitCursor::restore();
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestPlatformBasics::twipsAtScreenDpi()
{
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    QCOMPARE(twipsPerPixel(), 1440.0 / dpi);
    if (qFuzzyCompare(dpi, 96.0)) {  // 15 twips a pixel; halves round up
        QCOMPARE(twipsToPixels(10290), 686);
        QCOMPARE(twipsToPixels(7), 0);
        QCOMPARE(twipsToPixels(8), 1);
    }
    QCOMPARE(twipsToPixels(pixelsToTwips(123)), 123);
}

void TestPlatformBasics::windowsFontsMapToFreeFonts()
{
    velmaro::installFontSubstitutions();
    QCOMPARE(QFont::substitute("Verdana").toLower(), QStringLiteral("dejavu sans"));
    QVERIFY(!QFont::substitute("MS Sans Serif").isEmpty());
    QVERIFY(QFont::substitute("MS Sans Serif").toLower() != QStringLiteral("ms sans serif"));
    QFont verdana("Verdana");
    verdana.setPointSizeF(8.25);
    if (!QFontInfo(QFont("DejaVu Sans")).family().startsWith("DejaVu"))
        QSKIP("DejaVu Sans is not installed");
    QCOMPARE(QFontInfo(verdana).family(), QStringLiteral("DejaVu Sans"));
}

QTEST_MAIN(TestPlatformBasics)
#include "tst_platformbasics.moc"
