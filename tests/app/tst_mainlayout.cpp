// The main window's layout pass as a pure computation.
#include "app/MainLayout.h"

#include <QtTest>

using velmaro::MainLayout;
using velmaro::MainLayoutResult;
using velmaro::Placement;
using velmaro::TwipsRect;

namespace {

TwipsRect rectOf(const MainLayoutResult& r, const char* name)
{
    const Placement* p = r.find(QString::fromLatin1(name));
    if (!p)
        qFatal("no placement for %s", name);
    return p->rect;
}

}  // namespace

class TstMainLayout : public QObject {
    Q_OBJECT

private slots:
    void placements_data()
    {
        QTest::addColumn<double>("windowWidth");
        QTest::addColumn<double>("windowHeight");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QList<double>>("rect");  // left, top, width, height
        using R = QList<double>;
        // 1000 wider, 500 higher: the list and tree grow, the bottom row moves,
        // right-aligned 30 apart with its right edge at W - 180.
        const QList<std::pair<const char*, R>> larger = {
            {"roListBox_Ordner", {2820, 270, 8275, 4565}}, {"Dir1", {30, 810, 2745, 3515}},
            {"cmd_Ende", {10375, 4860, 735, 465}},         {"cmd_Info", {9880, 4860, 465, 465}},
            {"cmd_DelFile", {8050, 4860, 1800, 465}},      {"cmd_OrdnerDel", {6220, 4860, 1800, 465}},
            {"cmd_OrdnerNull", {4390, 4860, 1800, 465}}};
        for (const auto& [name, rect] : larger)
            QTest::addRow("larger %s", name) << 11290.0 << 5795.0 << QString::fromLatin1(name) << rect;
        // Below the minimum in one direction: raised there only.
        QTest::newRow("narrow list") << 9000.0 << 6000.0 << "roListBox_Ordner" << R{2820, 270, 7275, 4770};
        QTest::newRow("low exit") << 12000.0 << 4000.0 << "cmd_Ende" << R{11085, 4360, 735, 465};
    }

    void placements()
    {
        QFETCH(double, windowWidth);
        QFETCH(double, windowHeight);
        QFETCH(QString, control);
        QFETCH(QList<double>, rect);
        const MainLayoutResult layout = MainLayout::compute(windowWidth, windowHeight);
        const Placement* p = layout.find(control);
        QVERIFY(p);
        QCOMPARE(p->rect, (TwipsRect{rect[0], rect[1], rect[2], rect[3]}));
    }

    void windowSizeAndWhatMovesDown()
    {
        const MainLayoutResult base = MainLayout::compute(10290, 5295);
        const MainLayoutResult big = MainLayout::compute(11290, 5795);
        QCOMPARE(QPair(base.width, base.height), QPair(10290.0, 5295.0));
        QCOMPARE(QPair(big.width, big.height), QPair(11290.0, 5795.0));
        QCOMPARE(QPair(MainLayout::compute(9000, 6000).width, MainLayout::compute(12000, 4000).height),
                 QPair(10290.0, 5295.0));
        QCOMPARE(MainLayout::compute(5000, 100).placements, base.placements);
        for (const char* down : {"cmd_Go", "Logo", "Label_Info_0", "Label_Info_1"}) {
            const TwipsRect a = rectOf(base, down), b = rectOf(big, down);
            QCOMPARE(b.top - a.top, 500.0);
            QCOMPARE(b.left, a.left);
        }
        // The count lines keep the size their text gives them; the fixed controls are not placed.
        QVERIFY(big.find(QStringLiteral("Label_Info_0"))->moveOnly &&
                !big.find(QStringLiteral("Logo"))->moveOnly);
        QCOMPARE(big.placements.size(), 11);
    }

    void maximizedOrMinimizedKeepsItsSize()
    {
        const MainLayoutResult r = MainLayout::compute(2000, 1000, false);
        QCOMPARE(QPair(r.width, r.height), QPair(2000.0, 1000.0));
        // Sizes that come out negative are the caller's to skip.
        QVERIFY(rectOf(r, "roListBox_Ordner").width < 0);
        QVERIFY(rectOf(r, "Dir1").height < 0);
        QCOMPARE(rectOf(r, "cmd_Go").top, 1000.0 - 1395);
    }
};

QTEST_APPLESS_MAIN(TstMainLayout)
#include "tst_mainlayout.moc"
