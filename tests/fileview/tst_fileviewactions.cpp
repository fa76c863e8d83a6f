// The file view's actions on a standalone window over real temporary
// folders: sort, double click (open / properties), mark all, delete.
#include "engine/SafeDelete.h"
#include "FileViewFixtures.h"

#include "app/controls/RoCommand.h"
#include "fileview/FrmDelFile.h"
#include "platform/MsgBox.h"

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

    QByteArray tree(const char* name) const
    {
        return QFile::encodeName(trees_.path()) + '/' + name + '/';
    }

private slots:
    // Names that are not UTF-8 defeat QDir::removeRecursively: remove by descriptor.
    void cleanupTestCase() { engine::deleteTree(QFile::encodeName(trees_.path()).toStdString()); }

    void initTestCase()
    {
        QVERIFY(trees_.isValid());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void init()
    {
        boxes_.clear();
        rec_ = Recorder();
    }

    void nameHeaderTogglesTheOrder()
    {
        const QByteArray root = tree("sortieren");
        makeDir(root);
        for (const char* n : {"b", "a", "c"})
            writeFile(root + n, 1);
        auto view = rec_.viewOn(root);
        view->show();
        QCOMPARE(rowNames(*view), (QStringList{"a", "b", "c"}));
        for (int column : {2, 3, 4}) {
            view->ListView_ColumnClick(column);
            QCOMPARE(rowNames(*view), (QStringList{"a", "b", "c"}));
        }
        QHeaderView* header = view->ListView()->header();
        const QPoint nameHeader(header->sectionViewportPosition(0) + 5, header->height() / 2);
        const QPoint sizeHeader(header->sectionViewportPosition(1) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameHeader);
        QCOMPARE(rowNames(*view), (QStringList{"c", "b", "a"}));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
        QCOMPARE(rowNames(*view), (QStringList{"c", "b", "a"}));
        QCOMPARE(header->sortIndicatorSection(), 0);
        view->fileListe().refresh();
        view->FileListe_PathChange();  // the order stays across listings
        QCOMPARE(rowNames(*view), (QStringList{"c", "b", "a"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameHeader);
        QCOMPARE(rowNames(*view), (QStringList{"a", "b", "c"}));
    }

    void doubleClickActsOnTheClickedFile()
    {
        const QByteArray root = tree("doppelklick");
        makeDir(root);
        for (const char* n : {"erste", "zweite", "-dritte", "vierte"})
            writeFile(root + n, 1);
        auto view = rec_.viewOn(root);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->ListView_ColumnClick(1);  // descending
        QTreeView* lv = view->ListView();
        const int row = rowOf(*view, "zweite");
        QVERIFY(view->fileListe().entry(row) != "zweite");  // position and entry index differ
        const QRect cell = lv->visualRect(view->listModel()->index(row, 1));
        boxes_.answer(6);
        QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(lv->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(prompts(boxes_), QStringList{kAsk});
        QCOMPARE(boxes_.calls()[0].style, 35);
        QCOMPARE(rec_.opened, QList<QByteArray>{root + "zweite"});

        // Below the last row: the selected row; Enter does the same.
        boxes_.answer(7);
        QTest::mouseDClick(lv->viewport(), Qt::LeftButton, {}, QPoint(10, lv->viewport()->height() - 3));
        QCOMPARE(rec_.inspected, QList<QByteArray>{root + "zweite"});
        lv->setCurrentIndex(view->listModel()->index(rowOf(*view, "-dritte"), 0));
        boxes_.answer(2);
        QTest::keyClick(lv, Qt::Key_Return);
        QCOMPARE(prompts(boxes_).size(), 3);
        QCOMPARE(rec_.opened.size(), 1);
        QCOMPARE(rec_.inspected.size(), 1);
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
        makeDir(root);
        writeFile(root + "datei", 1);
        auto view = rec_.viewOn(root);
        view->ListView()->setCurrentIndex(view->listModel()->index(0, 0));
        rec_.openResult = code;
        boxes_.answer(6);
        view->ListView_DblClick();
        QCOMPARE(rec_.opened, QList<QByteArray>{root + "datei"});
        if (message.isEmpty()) {
            QCOMPARE(boxes_.calls().size(), 1);
            return;
        }
        QCOMPARE(boxes_.calls().size(), 2);
        QCOMPARE(boxes_.calls()[1].prompt, message);
        QCOMPARE(boxes_.calls()[1].style, 64);
        QCOMPARE(boxes_.calls()[1].title, QStringLiteral("Fehler"));
    }

    void spaceAndMouseToggleTheCheckMark()
    {
        const QByteArray root = tree("haken");
        makeDir(root);
        writeFile(root + "a", 1);
        writeFile(root + "b", 1);
        auto view = rec_.viewOn(root);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QTreeView* lv = view->ListView();
        lv->setFocus();
        lv->setCurrentIndex(view->listModel()->index(1, 0));
        QTest::keyClick(lv, Qt::Key_Space);
        QVERIFY(view->listModel()->isChecked(1));
        QVERIFY(!view->listModel()->isChecked(0));
        QTest::keyClick(lv, Qt::Key_Space);
        QVERIFY(!view->listModel()->isChecked(1));
        QVERIFY(boxes_.calls().isEmpty());
    }

    void markAllThenDeleteEmptiesTheFolder()
    {
        const QByteArray root = tree("alle");
        makeDir(root);
        for (const char* n : {"a", ".b", "-c", "d\ne", "f\xff"})
            writeFile(root + n, 5);
        makeDir(root + "bleibt");
        auto view = rec_.viewOn(root);
        view->roCommand2()->click();
        for (int r = 0; r < 5; ++r)
            QVERIFY(view->listModel()->isChecked(r));
        boxes_.answer(6);
        view->cmd_Löschen()->click();
        QCOMPARE(prompts(boxes_), (QStringList{kDelete, "Löschung erfolgreich."}));
        QCOMPARE(boxes_.calls()[0].style, 292);
        QCOMPARE(view->listModel()->rowCount(), 0);
        QCOMPARE(view->windowTitle(), QStringLiteral("gefundene Files: 0"));
        QVERIFY(exists(root + "bleibt"));
        QVERIFY(!exists(root + "d\ne") && !exists(root + "f\xff"));

        boxes_.clear();
        view->cmd_Löschen()->click();  // no rows
        QCOMPARE(prompts(boxes_), QStringList{"Keine Datei vorhanden."});
        QCOMPARE(boxes_.calls()[0].style, 64);
        view->roCommand2()->click();   // no rows: nothing
    }

    void deleteAskedNoOrWithoutMarks()
    {
        const QByteArray root = tree("ohne");
        makeDir(root);
        writeFile(root + "a", 1);
        writeFile(root + "b", 1);
        auto view = rec_.viewOn(root);
        view->listModel()->setChecked(0, true);
        boxes_.answer(7);
        view->cmd_Löschen_Click();
        QCOMPARE(prompts(boxes_), QStringList{kDelete});
        QVERIFY(exists(root + "a"));
        QVERIFY(view->listModel()->isChecked(0));
        view->listModel()->setChecked(0, false);
        boxes_.answer(6);
        view->cmd_Löschen_Click();
        QCOMPARE(prompts(boxes_), (QStringList{kDelete, kDelete, "Löschung erfolgreich."}));
        QVERIFY(exists(root + "a") && exists(root + "b"));
    }

    void oneOfThreeCannotBeDeleted()
    {
        const QByteArray root = tree("gesperrt");
        makeDir(root);
        for (const char* n : {"eins", "zwei", "drei", "vier"})
            writeFile(root + n, 1);
        const QByteArray locked = root + "zwei";
        if (QProcess::execute(QStringLiteral("chattr"), {"+i", QFile::decodeName(locked)}) != 0)
            QSKIP("chattr +i is not supported here (needs root and an ext2/3/4-like file system)");
        auto unlock = qScopeGuard(
            [&] { QProcess::execute(QStringLiteral("chattr"), {"-i", QFile::decodeName(locked)}); });
        auto view = rec_.viewOn(root);
        for (const char* n : {"eins", "zwei", "drei"})
            view->listModel()->setChecked(rowOf(*view, n), true);
        boxes_.answer(6);
        view->cmd_Löschen_Click();
        QCOMPARE(prompts(boxes_).last(), QStringLiteral("Löschung bei 1 Datei(e)n fehlgeschlagen."));
        QCOMPARE(boxes_.calls().last().style, 16);
        QCOMPARE(rowNames(*view), (QStringList{"vier", "zwei"}));
        QVERIFY(!view->listModel()->isChecked(rowOf(*view, "zwei")));
    }

    void fileGoneBetweenListingAndAction()
    {
        const QByteArray root = tree("verschwunden");
        makeDir(root);
        for (const char* n : {"bleibt", "geht"})
            writeFile(root + n, 1);
        setChanged(root + "geht", QDateTime(QDate(2026, 12, 5), QTime(14, 3, 9)));
        auto view = rec_.viewOn(root);
        view->setOpener(&platform::FileOpener::open);  // the real one: the file is missing
        QCOMPARE(::unlink((root + "geht").constData()), 0);
        const int row = rowOf(*view, "geht");
        QCOMPARE(view->listModel()->cellText(row, 2), QStringLiteral("05.Dez.26"));
        view->ListView()->setCurrentIndex(view->listModel()->index(row, 0));
        boxes_.answer(6);
        view->ListView_DblClick();
        QCOMPARE(prompts(boxes_), (QStringList{kAsk, "Datei wurde nicht gefunden"}));

        view->listModel()->setChecked(row, true);
        boxes_.clear();
        boxes_.answer(6);
        view->cmd_Löschen_Click();  // gone is gone: counted as deleted
        QCOMPARE(prompts(boxes_), (QStringList{kDelete, "Löschung erfolgreich."}));
        QCOMPARE(rowNames(*view), QStringList{"bleibt"});

        // Listed after it vanished: the row keeps its name only.
        writeFile(root + "kurz", 1);
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
