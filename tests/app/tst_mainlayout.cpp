// The main window's layout pass as a pure computation.
#include "app/MainLayout.h"

#include <QtTest>

using velmaro::MainLayout;
using velmaro::MainLayoutResult;
using velmaro::Placement;
using velmaro::TwipsRect;

namespace {

TwipsRect rectOf(const MainLayoutResult& r, const char* name) {
    const Placement* p = r.find(QString::fromLatin1(name));
    if (!p)
        qFatal("no placement for %s", name);
    return p->rect;
}

}  // namespace

class TstMainLayout : public QObject {
    Q_OBJECT
private slots:
    void atMinimumGivesTheRuleValues_data();
    void atMinimumGivesTheRuleValues();
    void largerWindowMovesAndStretches();
    void belowMinimumIsRaised();
    void maximizedOrMinimizedKeepsItsSize();
    void onlyTheRuledControlsArePlaced();
};

void TstMainLayout::atMinimumGivesTheRuleValues_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    // Left/Width of buttons and Top/Left of the list are kept from the design.
    QTest::newRow("list") << "roListBox_Ordner" << 2820.0 << 270.0 << 7275.0 << 4065.0;
    QTest::newRow("tree") << "Dir1" << 30.0 << 810.0 << 2745.0 << 3015.0;
    QTest::newRow("search") << "cmd_Go" << 60.0 << 3900.0 << 2715.0 << 405.0;
    QTest::newRow("exit") << "cmd_Ende" << 9375.0 << 4360.0 << 735.0 << 465.0;
    QTest::newRow("info") << "cmd_Info" << 8880.0 << 4360.0 << 465.0 << 465.0;
    QTest::newRow("files") << "cmd_DelFile" << 7050.0 << 4360.0 << 1800.0 << 465.0;
    QTest::newRow("delete") << "cmd_OrdnerDel" << 5220.0 << 4360.0 << 1800.0 << 465.0;
    QTest::newRow("zero") << "cmd_OrdnerNull" << 3390.0 << 4360.0 << 1800.0 << 465.0;
    QTest::newRow("logo") << "Logo" << 60.0 << 4380.0 << 1110.0 << 450.0;
    QTest::newRow("count0") << "Label_Info_0" << 1500.0 << 4380.0 << 480.0 << 195.0;
    QTest::newRow("count1") << "Label_Info_1" << 1500.0 << 4595.0 << 870.0 << 195.0;
}

void TstMainLayout::atMinimumGivesTheRuleValues() {
    QFETCH(QString, control);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, width);
    QFETCH(double, height);
    const MainLayoutResult r = MainLayout::compute(10290, 5295);
    QCOMPARE(r.width, 10290.0);
    QCOMPARE(r.height, 5295.0);
    const Placement* p = r.find(control);
    QVERIFY(p);
    QCOMPARE(p->rect, (TwipsRect{left, top, width, height}));
}

void TstMainLayout::largerWindowMovesAndStretches() {
    const MainLayoutResult base = MainLayout::compute(10290, 5295);
    const MainLayoutResult big = MainLayout::compute(11290, 5795);
    QCOMPARE(big.width, 11290.0);
    QCOMPARE(big.height, 5795.0);

    const TwipsRect l0 = rectOf(base, "roListBox_Ordner"), l1 = rectOf(big, "roListBox_Ordner");
    QCOMPARE(l1.width - l0.width, 1000.0);
    QCOMPARE(l1.height - l0.height, 500.0);
    QCOMPARE(l1.left, l0.left);
    QCOMPARE(l1.top, l0.top);

    const TwipsRect d0 = rectOf(base, "Dir1"), d1 = rectOf(big, "Dir1");
    QCOMPARE(d1.height - d0.height, 500.0);
    QCOMPARE(d1.width, d0.width);
    QCOMPARE(d1.top, d0.top);

    for (const char* button : {"cmd_Ende", "cmd_Info", "cmd_DelFile", "cmd_OrdnerDel", "cmd_OrdnerNull"}) {
        const TwipsRect a = rectOf(base, button), b = rectOf(big, button);
        QCOMPARE(b.left - a.left, 1000.0);
        QCOMPARE(b.top - a.top, 500.0);
        QCOMPARE(b.width, a.width);
        QCOMPARE(b.height, a.height);
    }
    for (const char* down : {"cmd_Go", "Logo", "Label_Info_0", "Label_Info_1"}) {
        const TwipsRect a = rectOf(base, down), b = rectOf(big, down);
        QCOMPARE(b.top - a.top, 500.0);
        QCOMPARE(b.left, a.left);
    }
    // The bottom row stays right-aligned, 30 twips apart, right edge at W - 180.
    const TwipsRect ende = rectOf(big, "cmd_Ende");
    QCOMPARE(ende.left + ende.width, 11290.0 - 180);
    QCOMPARE(rectOf(big, "cmd_Info").left + 465 + 30, ende.left);
    QCOMPARE(rectOf(big, "Label_Info_1").top - rectOf(big, "Label_Info_0").top, 215.0);
}

void TstMainLayout::belowMinimumIsRaised() {
    const MainLayoutResult narrow = MainLayout::compute(9000, 6000);
    QCOMPARE(narrow.width, 10290.0);
    QCOMPARE(narrow.height, 6000.0);
    QCOMPARE(rectOf(narrow, "roListBox_Ordner").width, 7275.0);
    QCOMPARE(rectOf(narrow, "roListBox_Ordner").height, 6000.0 - 1230);

    const MainLayoutResult low = MainLayout::compute(12000, 4000);
    QCOMPARE(low.width, 12000.0);
    QCOMPARE(low.height, 5295.0);
    QCOMPARE(rectOf(low, "cmd_Ende").top, 4360.0);
    QCOMPARE(rectOf(low, "cmd_Ende").left, 12000.0 - 915);

    QCOMPARE(MainLayout::compute(5000, 100).placements, MainLayout::compute(10290, 5295).placements);
}

void TstMainLayout::maximizedOrMinimizedKeepsItsSize() {
    const MainLayoutResult r = MainLayout::compute(2000, 1000, false);
    QCOMPARE(r.width, 2000.0);
    QCOMPARE(r.height, 1000.0);
    // Sizes that come out negative are the caller's to skip.
    QVERIFY(rectOf(r, "roListBox_Ordner").width < 0);
    QVERIFY(rectOf(r, "Dir1").height < 0);
    QCOMPARE(rectOf(r, "cmd_Go").top, 1000.0 - 1395);
}

void TstMainLayout::onlyTheRuledControlsArePlaced() {
    const MainLayoutResult r = MainLayout::compute(15000, 9000);
    QCOMPARE(r.placements.size(), 11);
    for (const char* fixed : {"Drive1", "Label_0", "Label_1", "Label_2", "LabelVerzeichnis"})
        QVERIFY2(!r.find(QString::fromLatin1(fixed)), fixed);
    QVERIFY(r.find(QStringLiteral("Label_Info_0"))->moveOnly);
    QVERIFY(!r.find(QStringLiteral("Logo"))->moveOnly);
    QVERIFY(!r.find(QStringLiteral("cmd_Go"))->moveOnly);
}

QTEST_APPLESS_MAIN(TstMainLayout)
#include "tst_mainlayout.moc"
