// The map window and the size bars at widget level: the tree the map is
// built from, a click selecting the list's row, zooming in and out by mouse
// and keyboard, the map following a delete and a new list, and the bars
// behind the list's sizes.

#include "controls/RoCommand.h"
#include "controls/RoListBox.h"
#include "controls/SizeBarDelegate.h"
#include "map/MapTexts.h"
#include "map/MapTree.h"
#include "map/MapView.h"
#include "map/MapWindow.h"
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "support/TestSupport.h"

#include <QSignalSpy>
#include <QtTest>

using namespace velmaro;

namespace {

// /daten/ (1000 bytes: 100 of its own files) holds a (600: x 400, y 150,
// 50 own) and b (300); slot numbers in that order: 0 daten, 1 a, 2 b, 3 x,
// 4 y. Slot 5, "kaputt" below b, has a failed size. `root` names slot 0.
RowBatch mapBatch(const QByteArray& root = "/daten/")
{
    RowBatch batch;
    const struct {
        quint32 parent;
        const char* name;
        quint64 bytes;
        int yearsOld;
    } folders[] = {{FolderSlot::kNoParent, nullptr, 1000, 0}, {0, "a", 600, 6}, {0, "b", 300, 0},
                   {1, "x", 400, 2},         {1, "y", 150, 0},    {2, "kaputt", 0, 0}};
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (quint32 s = 0; s < std::size(folders); ++s) {
        const QByteArray name = folders[s].name ? QByteArray(folders[s].name) : root;
        batch.addSlot(folders[s].parent, name.constData(), std::size_t(name.size()));
        RowBatch::Fill fill;
        fill.slot = s;
        fill.bytes = folders[s].bytes;
        fill.sizeKnown = s != 5;
        if (!fill.sizeKnown)
            fill.sizeText = batch.sizeTextNumber(QStringLiteral("Zugriff verweigert"));
        fill.accessedMs = now - qint64(folders[s].yearsOld) * 365 * 86400 * 1000;
        fill.id = engine::FolderIdentity{41u, 1000u + s, 7, true, false, {}};
        fill.root = s == 0;
        batch.rows.push_back(fill);
    }
    return batch;
}

QPoint centreOf(const treemap::Tile& tile)
{
    return QPoint(int(tile.rect.x + tile.rect.w / 2), int(tile.rect.y + tile.rect.h / 2));
}

}  // namespace

class TestMap : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        platform::forms().registerForm(FormNames::frm_Übersicht(), [] { return new MapWindow; });
    }
    void init()
    {
        list_ = std::make_unique<RoListBox>();
        QVERIFY(list_->AddBatch(mapBatch()));
        list_->resize(700, 300);
        list_->show();
    }
    void cleanup()
    {
        platform::forms().unload(FormNames::frm_Übersicht());
        list_.reset();
    }
    void treeHasOwnFilesNodesAndLosesDeletedFolders();
    void tileTextsNameSizeAndTimes();
    void sizeBarsShowTheShareOfTheParent();
    void clickSelectsTheRowAndArrowsMoveToNeighbours();
    void zoomInAndOutByMouseAndKeyboard();
    void mapFollowsDeletesAndNewLists();

private:
    MapWindow* openMap(quint32 slot)
    {
        auto* map = platform::forms().load<MapWindow>(FormNames::frm_Übersicht());
        map->showFolder(list_.get(), slot);
        map->resize(800, 600);
        QCoreApplication::processEvents();
        return map;
    }
    std::unique_ptr<RoListBox> list_;
};

void TestMap::treeHasOwnFilesNodesAndLosesDeletedFolders()
{
    MapTree tree(list_->folderModel()->store());
    // Six folders (the failed one too) and, for the three with subfolders,
    // their own files: daten 100, a 50, b 300.
    QCOMPARE(tree.nodeCount(), 9u);
    const auto& layout = tree.layoutTree();
    QCOMPARE(layout.weight[0], 1000.0);
    const quint32 a = tree.nodeOfSlot(1);
    QCOMPARE(tree.name(a), QStringLiteral("a"));
    QCOMPARE(layout.weight[a], 600.0);
    std::vector<quint64> kidsOfA;
    for (quint32 i = layout.first[a]; i < layout.first[a + 1]; ++i)
        kidsOfA.push_back(tree.bytes(layout.kids[i]));
    QCOMPARE(kidsOfA, (std::vector<quint64>{400, 150, 50}));  // largest first, own files last here
    QVERIFY(tree.isFiles(layout.kids[layout.first[a] + 2]));

    QCOMPARE(tree.deepestNodeOn("/daten/a/x/"), tree.nodeOfSlot(3));
    QCOMPARE(tree.deepestNodeOn("/daten/a/gibtsnicht/tief/"), a);
    QCOMPARE(tree.deepestNodeOn("/anderswo/"), MapTree::kNone);

    tree.remove(a);
    QCOMPARE(layout.weight[0], 400.0);
    QCOMPARE(tree.nodeOfSlot(3), MapTree::kNone);
    QCOMPARE(tree.deepestNodeOn("/daten/a/x/"), 0u);
    QCOMPARE(tree.bytes(layout.kids[layout.first[0]]), quint64(300));  // b leads now
}

void TestMap::tileTextsNameSizeAndTimes()
{
    QCOMPARE(MapTexts::readableSize(100), QStringLiteral("100 Byte"));
    QCOMPARE(MapTexts::readableSize(1572864), QStringLiteral("1,5 MB (1.572.864 Byte)"));
    QCOMPARE(MapTexts::readableSize(3ULL << 40), QStringLiteral("3,0 TB (3.298.534.883.328 Byte)"));
    MapTree tree(list_->folderModel()->store());
    const QStringList a = MapTexts::tooltip(tree, tree.nodeOfSlot(1)).split(QLatin1Char('\n'));
    QCOMPARE(a.mid(0, 3), (QStringList{"a", "/daten/a/", QStringLiteral("Größe: 600 Byte")}));
    QVERIFY(a.at(3).startsWith(QStringLiteral("Letzter Zugriff: ")));
    QCOMPARE(a.size(), 4);  // no creation time known
    const quint32 filesOfA = tree.layoutTree().kids[tree.layoutTree().first[tree.nodeOfSlot(1)] + 2];
    QVERIFY(MapTexts::tooltip(tree, filesOfA).startsWith(QStringLiteral("Dateien in a\n/daten/a/\nGröße: 50 Byte")));
    QVERIFY(MapTexts::description(tree, tree.nodeOfSlot(5)).startsWith(QStringLiteral("kaputt, 0 Byte, unvollständig")));
}

void TestMap::sizeBarsShowTheShareOfTheParent()
{
    FolderListModel* model = list_->folderModel();
    auto shareOf = [&](quint32 slot) { return model->shareOfParent(model->displayRowOf(slot)); };
    QCOMPARE(shareOf(0), 1.0);
    QCOMPARE(shareOf(1), 0.6);
    QCOMPARE(shareOf(3), 400.0 / 600.0);
    QCOMPARE(shareOf(5), -1.0);  // failed size: no bar
    QCOMPARE(SizeBarDelegate::barRect(QRect(0, 0, 102, 20), -1, false), QRect());
    QCOMPARE(SizeBarDelegate::barRect(QRect(0, 0, 102, 20), 0.5, false), QRect(1, 1, 50, 18));
    QCOMPARE(SizeBarDelegate::barRect(QRect(0, 0, 102, 20), 0.5, true).height(), SizeBarDelegate::kSelectedLine);

    // The bar is painted behind the text of a's size, half way along it; the
    // texts stay what they were.
    list_->SortBy(2);
    QTRY_VERIFY(!model->sorting());
    const int row = model->displayRowOf(1);
    const QRect cell = list_->visualRect(model->index(row, 2));
    const QImage shot = list_->viewport()->grab().toImage();
    const QColor bar = shot.pixelColor(cell.left() + cell.width() * 3 / 10, cell.center().y());
    const QColor past = shot.pixelColor(cell.left() + cell.width() * 3 / 4, cell.top() + 2);
    QVERIFY2(bar.blue() > bar.red(), qPrintable(bar.name()));    // pale blue
    QVERIFY2(past.blue() < past.red(), qPrintable(past.name()));  // the list's yellow
    QCOMPARE(list_->CellText(row + 1, 3), QStringLiteral("0,59"));
    QCOMPARE(model->index(row, 2).data(Qt::AccessibleTextRole).toString(), QStringLiteral("0,59"));
}

void TestMap::clickSelectsTheRowAndArrowsMoveToNeighbours()
{
    MapWindow* map = openMap(0);
    MapView* view = map->view();
    const MapTree& tree = *map->tree();
    const std::size_t a = view->tileOf(tree.nodeOfSlot(1));
    QVERIFY(a > 0);
    QSignalSpy chosen(view, &MapView::folderChosen);
    QTest::mouseClick(view, Qt::LeftButton, {}, centreOf(view->tiles()[a]));
    QCOMPARE(chosen.size(), 1);
    const qint64 selected = list_->SelectedIndex();
    QVERIFY(selected > 0);
    const quint32 slot = list_->folderModel()->slotAt(int(selected - 1));
    // The click hit a's tile or a tile inside it; the row is that folder's.
    QVERIFY(slot == 1 || slot == 3 || slot == 4);
    QCOMPARE(chosen.first().first().toUInt(), slot);
    QVERIFY(view->accessibleName().contains(QStringLiteral("letzter Zugriff")));

    // From a (the largest, at the left) Right goes to a tile of the same
    // depth that lies to its right; Left comes back.
    view->setCurrent(a);
    QTest::keyClick(view, Qt::Key_Right);
    const std::size_t right = view->current();
    QVERIFY(right != a);
    QCOMPARE(view->tiles()[right].depth, view->tiles()[a].depth);
    QVERIFY(view->tiles()[right].rect.x >= view->tiles()[a].rect.right() - 0.5);
    QCOMPARE(list_->folderModel()->slotAt(int(list_->SelectedIndex() - 1)), tree.slotOf(view->tiles()[right].node));
    QTest::keyClick(view, Qt::Key_Left);
    QCOMPARE(view->current(), a);
}

void TestMap::zoomInAndOutByMouseAndKeyboard()
{
    MapWindow* map = openMap(0);
    MapView* view = map->view();
    const MapTree& tree = *map->tree();
    QVERIFY(!map->cmd_Zurück()->isEnabled());
    QCOMPARE(map->windowTitle(), QStringLiteral("Übersicht – /daten/"));
    const quint32 a = tree.nodeOfSlot(1);
    // x holds no subfolders: a double click on it zooms into a, around it.
    QTest::mouseDClick(view, Qt::LeftButton, {}, centreOf(view->tiles()[view->tileOf(tree.nodeOfSlot(3))]));
    QCOMPARE(view->shown(), a);
    QCOMPARE(map->windowTitle(), QStringLiteral("Übersicht – /daten/a/"));
    QVERIFY(map->cmd_Zurück()->isEnabled());
    QTest::keyClick(view, Qt::Key_Backspace);
    QCOMPARE(view->shown(), 0u);
    QCOMPARE(view->tiles()[view->current()].node, a);  // back on the folder it came from
    QVERIFY(!map->cmd_Zurück()->isEnabled());
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(view->shown(), a);
    map->cmd_Zurück()->click();
    QCOMPARE(view->shown(), 0u);
    QTest::keyClick(view, Qt::Key_Return);
    // Tiles nest: every tile of a's map lies inside the window's view.
    for (const treemap::Tile& tile : view->tiles())
        QVERIFY(tile.rect.right() <= view->width() + 1e-6 && tile.rect.bottom() <= view->height() + 1e-6);
}

void TestMap::mapFollowsDeletesAndNewLists()
{
    MapWindow* map = openMap(3);  // /daten/a/x/
    MapView* view = map->view();
    QCOMPARE(view->shown(), map->tree()->nodeOfSlot(3));
    map->folderDeleted("/daten/a/");
    QTRY_COMPARE(view->shown(), 0u);  // out of the deleted folder
    QCOMPARE(map->tree()->nodeOfSlot(1), MapTree::kNone);
    for (const treemap::Tile& tile : view->tiles())
        QVERIFY(!map->tree()->rawPath(tile.node).startsWith("/daten/a/"));

    // A rescan: the list is cleared (the map shows no folder) and filled again.
    view->setShown(map->tree()->nodeOfSlot(2));
    list_->ClearRows();
    QVERIFY(view->tiles().empty());
    QVERIFY(!map->tree());
    QVERIFY(list_->AddBatch(mapBatch()));
    map->refresh();
    QCOMPARE(map->tree()->slotOf(view->shown()), 2u);
    QCOMPARE(map->windowTitle(), QStringLiteral("Übersicht – /daten/b/"));
    // A list of another folder: the map closes.
    list_->ClearRows();
    QVERIFY(list_->AddBatch(mapBatch("/woanders/")));
    map->refresh();
    QVERIFY(!platform::forms().isLoaded(FormNames::frm_Übersicht()));
}

VELMARO_TEST_CLASS(TestMap);
#include "tst_map.moc"
