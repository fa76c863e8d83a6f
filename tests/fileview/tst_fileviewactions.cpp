// The file view's actions on a standalone window over real temporary
// folders: sort, double click (open / properties), marks, delete.
#include "FileViewFixtures.h"

#include "controls/RoCommand.h"

#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace velmaro;
using namespace velmaro::test;

class TestFileViewActions : public QObject {
    Q_OBJECT
private:
    QTemporaryDir trees_;
    platform::MsgBoxScript boxes_;
    Recorder rec_;

    QByteArray tree(const char* name) const { return QFile::encodeName(trees_.path()) + '/' + name + '/'; }
    void clickHeader(FrmDelFile& view, int column)
    {
        QHeaderView* header = view.ListView()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(trees_.isValid());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void cleanupTestCase() { removeTree(trees_.path()); }
    void init()
    {
        boxes_.clear();
        rec_ = Recorder();
    }

    void nameHeaderTogglesTheOrder()
    {
        const QByteArray root = tree("sortieren");
        makeFolderWith(root, {"b", "a", "c"});
        auto view = rec_.viewOn(root);
        view->show();
        const QStringList up{"a", "b", "c"}, down{"c", "b", "a"};
        QCOMPARE(rowNames(*view), up);
        clickHeader(*view, 0);
        QCOMPARE(rowNames(*view), down);
        QCOMPARE(view->ListView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
        clickHeader(*view, 1);  // other headers do not sort
        QCOMPARE(rowNames(*view), down);
        QCOMPARE(view->ListView()->header()->sortIndicatorSection(), 0);
        view->fileListe().refresh();
        view->FileListe_PathChange();  // the order stays across listings
        QCOMPARE(rowNames(*view), down);
        clickHeader(*view, 0);
        QCOMPARE(rowNames(*view), up);
    }

    void doubleClickActsOnTheClickedFile()
    {
        const QByteArray root = tree("doppelklick");
        makeFolderWith(root, {"erste", "zweite", "-dritte", "vierte"});
        auto view = rec_.viewOn(root);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->ListView_ColumnClick(1);  // descending
        QTreeView* lv = view->ListView();
        const int row = rowOf(*view, "zweite");
        QVERIFY(view->fileListe().entry(row) != "zweite");  // position and entry index differ
        const QPoint cell = lv->visualRect(view->listModel()->index(row, 1)).center();
        boxes_.answer(6);
        QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(lv->viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(boxes(boxes_), QStringList{box(35, {}, kAsk)});
        QCOMPARE(rec_.opened, QList<QByteArray>{root + "zweite"});

        // Below the last row: the selected row; Enter does the same.
        boxes_.answer(7);
        QTest::mouseDClick(lv->viewport(), Qt::LeftButton, {}, QPoint(10, lv->viewport()->height() - 3));
        QCOMPARE(rec_.inspected, QList<QByteArray>{root + "zweite"});
        lv->setCurrentIndex(view->listModel()->index(rowOf(*view, "-dritte"), 0));
        boxes_.answer(2);
        QTest::keyClick(lv, Qt::Key_Return);
        QCOMPARE(prompts(boxes_).size(), 3);
        QCOMPARE(rec_.opened.size() + rec_.inspected.size(), 2);
    }

    void openFailuresAreReported_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("file") << 2 << "Datei wurde nicht gefunden";
        QTest::newRow("path") << 3 << "Pfad wurde nicht gefunden";
        QTest::newRow("type") << 31 << "Dateisuffix ist Unbekannt bzw. nicht Registriert.";
        QTest::newRow("opened") << 42 << "";
        QTest::newRow("other") << 5 << "";
    }
    void openFailuresAreReported()
    {
        QFETCH(int, code);
        QFETCH(QString, message);
        const QByteArray root = tree(QTest::currentDataTag());
        makeFolderWith(root, {"datei"});
        auto view = rec_.viewOn(root);
        view->ListView()->setCurrentIndex(view->listModel()->index(0, 0));
        rec_.openResult = code;
        boxes_.answer(6);
        view->ListView_DblClick();
        QCOMPARE(rec_.opened, QList<QByteArray>{root + "datei"});
        QStringList expected{box(35, {}, kAsk)};
        if (!message.isEmpty())
            expected << box(64, QStringLiteral("Fehler"), message);
        QCOMPARE(boxes(boxes_), expected);
    }

    void marksSpaceNoAndNothingMarked()
    {
        const QByteArray root = tree("haken");
        makeFolderWith(root, {"a", "b"});
        auto view = rec_.viewOn(root);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QTreeView* lv = view->ListView();
        lv->setFocus();
        lv->setCurrentIndex(view->listModel()->index(1, 0));
        QTest::keyClick(lv, Qt::Key_Space);
        QVERIFY(view->listModel()->isChecked(1) && !view->listModel()->isChecked(0));
        boxes_.answer(7);  // No keeps file and mark
        view->cmd_Löschen_Click();
        QVERIFY(exists(root + "b") && view->listModel()->isChecked(1));
        QTest::keyClick(lv, Qt::Key_Space);
        QVERIFY(!view->listModel()->isChecked(1));
        boxes_.answer(6);  // nothing marked: nothing deleted
        view->cmd_Löschen_Click();
        QCOMPARE(prompts(boxes_), (QStringList{kDelete, kDelete, "Löschung erfolgreich."}));
        QVERIFY(exists(root + "a") && exists(root + "b"));
    }

    void markAllThenDeleteEmptiesTheFolder()
    {
        const QByteArray root = tree("alle");
        makeFolderWith(root, {"a", ".b", "-c", "d\ne", "f\xff"});
        makeDir(root + "bleibt");
        auto view = rec_.viewOn(root);
        view->roCommand2()->click();
        for (int r = 0; r < 5; ++r)
            QVERIFY(view->listModel()->isChecked(r));
        boxes_.answer(6);
        view->cmd_Löschen()->click();
        QCOMPARE(boxes(boxes_), (QStringList{box(292, {}, kDelete), box(64, {}, "Löschung erfolgreich.")}));
        QCOMPARE(view->listModel()->rowCount(), 0);
        QCOMPARE(view->windowTitle(), QStringLiteral("gefundene Files: 0"));
        QVERIFY(exists(root + "bleibt"));
        QVERIFY(!exists(root + "d\ne") && !exists(root + "f\xff"));

        boxes_.clear();
        view->cmd_Löschen()->click();  // no rows
        view->roCommand2()->click();   // no rows: nothing
        QCOMPARE(boxes(boxes_), QStringList{box(64, {}, "Keine Datei vorhanden.")});
    }

    void oneOfThreeCannotBeDeleted()
    {
        const QByteArray root = tree("gesperrt");
        makeFolderWith(root, {"eins", "zwei", "drei", "vier"});
        const QString locked = QFile::decodeName(root + "zwei");
        if (QProcess::execute(QStringLiteral("chattr"), {"+i", locked}) != 0)
            QSKIP("chattr +i is not supported here (needs root and an ext2/3/4-like file system)");
        auto unlock = qScopeGuard([&] { QProcess::execute(QStringLiteral("chattr"), {"-i", locked}); });
        auto view = rec_.viewOn(root);
        for (const char* n : {"eins", "zwei", "drei"})
            view->listModel()->setChecked(rowOf(*view, n), true);
        boxes_.answer(6);
        view->cmd_Löschen_Click();
        QCOMPARE(boxes(boxes_).last(), box(16, {}, "Löschung bei 1 Datei(e)n fehlgeschlagen."));
        QCOMPARE(rowNames(*view), (QStringList{"vier", "zwei"}));
        QVERIFY(!view->listModel()->isChecked(rowOf(*view, "zwei")));
    }

    void fileGoneBetweenListingAndAction()
    {
        const QByteArray root = tree("verschwunden");
        makeFolderWith(root, {"bleibt", "geht"});
        setChanged(root + "geht", QDateTime(QDate(2026, 12, 5), QTime(14, 3, 9)));
        auto view = rec_.viewOn(root);
        view->setOpener(&platform::FileOpener::open);  // the real one: the file is missing
        QCOMPARE(::unlink((root + "geht").constData()), 0);
        const int row = rowOf(*view, "geht");
        QCOMPARE(view->listModel()->cellText(row, 2), QStringLiteral("05.Dez.26"));
        view->ListView()->setCurrentIndex(view->listModel()->index(row, 0));
        boxes_.answer(6);
        view->ListView_DblClick();
        view->listModel()->setChecked(row, true);
        boxes_.answer(6);
        view->cmd_Löschen_Click();  // gone is gone: counted as deleted
        QCOMPARE(prompts(boxes_),
                 (QStringList{kAsk, "Datei wurde nicht gefunden", kDelete, "Löschung erfolgreich."}));
        QCOMPARE(rowNames(*view), QStringList{"bleibt"});

        // Listed after it vanished: the row keeps its name only.
        makeFile(root + "kurz");
        view->fileListe().refresh();
        QCOMPARE(::unlink((root + "kurz").constData()), 0);
        view->FileListe_PathChange();
        const int gone = rowOf(*view, "kurz");
        QVERIFY(gone >= 0);
        for (int c = 1; c < 4; ++c)
            QVERIFY(view->listModel()->cellText(gone, c).isEmpty());
    }
};

QTEST_MAIN(TestFileViewActions)
#include "tst_fileviewactions.moc"
