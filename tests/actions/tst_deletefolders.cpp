// The main window's folder buttons on a real, scanned temporary tree, with
// scripted answers: the two delete buttons and the properties button.
#include "actions/PropertiesWindow.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "controls/RoCommand.h"
#include "controls/RoListBox.h"
#include "engine/ErrorText.h"
#include "map/MapView.h"
#include "map/MapWindow.h"
#include "platform/FormRegistry.h"
#include "platform/WaitCursor.h"
#include "scan/ScanSession.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QtTest>

#include <algorithm>
#include <cerrno>

using namespace velmaro;
using namespace velmaro::testsupport;
using platform::MsgBoxScript;

class TstDeleteFolders : public QObject {
    Q_OBJECT

private:
    ScanSession scans_;  // the program's one scan session
    QByteArray root_;
    QPointer<MainWindow> window_;

    RoListBox* list() const { return window_->roListBox_Ordner(); }
    QByteArray at(const char* relative) const { return root_ + relative; }
    qint64 rowOf(const QByteArray& raw) const
    {
        for (qint64 i = 1; i <= list()->RowCount(); ++i)
            if (list()->RowAt(i)->rawPath == raw)
                return i;
        return 0;
    }
    QList<QByteArray> listedPaths() const
    {
        QList<QByteArray> paths;
        for (qint64 i = 1; i <= list()->RowCount(); ++i)
            paths << list()->RowAt(i)->rawPath;
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    void clickDelete(const char* folder)
    {
        list()->SelectRow(rowOf(at(folder)));
        window_->cmd_OrdnerDel()->click();
    }
    void scan(const QByteArray& root)
    {
        window_->setScanRoot(root);
        scans_.Scan_starten();
    }

private slots:
    void initTestCase()
    {
        // No session bus: the program's own properties window answers.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + scratchFolder() + "no-bus");
        registerForms(scans_);
    }

    // root/: big/a/x.txt (10 bytes), zero1/, zero2/sub/, three/x (3 bytes), scanned.
    void init()
    {
        root_ = scratchFolder();
        for (const char* dir : {"big/", "big/a/", "zero1/", "zero2/", "zero2/sub/", "three/"})
            makeDir(at(dir));
        makeFile(at("big/a/x.txt"), "0123456789");
        makeFile(at("three/x"), "abc");
        window_ = platform::forms().load<MainWindow>(QStringLiteral("Velmaro"));
        QVERIFY(window_);
        window_->show();
        scan(root_);
        QCOMPARE(list()->RowCount(), 7);
    }
    void cleanup()
    {
        platform::Alle_Fenster_schliessen();
        flushDeletes();
        QCOMPARE(platform::WaitCursor::depth(), 0);
    }

    void nothingToDeleteSaysSo()
    {
        MsgBoxScript script;
        list()->SelectRow(0);
        window_->cmd_OrdnerDel()->click();  // rows, none selected
        // "0" as size text alone does not make a zero-byte row (3 bytes show "0").
        scan(at("three/"));
        window_->cmd_OrdnerNull()->click();
        list()->ClearRows();
        window_->cmd_OrdnerDel()->click();
        window_->cmd_OrdnerNull()->click();
        const QString noFolders = box(64, {}, QStringLiteral("Keine Ordner vorhanden."));
        const QString noZero =
            box(64, QStringLiteral("Hinweis"), QStringLiteral("Es wurden keine 0 Byte Ordner gefunden."));
        QCOMPARE(boxes(script), (QStringList{noFolders, noZero, noFolders, noZero}));
        QVERIFY(exists(at("big/a/x.txt")) && exists(at("three/x")));
    }

    void answerNoDeletesNothing()
    {
        MsgBoxScript script;
        script.answer(7);
        script.answer(7);
        clickDelete("big/");
        window_->cmd_OrdnerNull()->click();
        QCOMPARE(boxes(script),
                 (QStringList{
                     box(292, QStringLiteral("Ordner löschen"),
                         "Soll der Ordner \"" + QFile::decodeName(at("big/")) +
                             "\" und deren Unterordner wirklich gelöscht werden?"),
                     box(292, QStringLiteral("Löschen"),
                         "Es wurden 3 Ordner mit 0 Byte gefunden, sollen diese jetzt gelöscht werden?")}));
        QVERIFY(exists(at("big/a/x.txt")) && exists(at("zero1/")) && exists(at("zero2/sub/")));
        QCOMPARE(window_->Label_Info(0)->text(), QStringLiteral("7 Ordner gefunden "));
    }

    void successOffersARefresh()
    {
        MsgBoxScript script;
        for (int answer : {6, 7, 6, 6})
            script.answer(answer);
        const qint64 rows = list()->RowCount();
        clickDelete("big/");  // refresh: No keeps the list
        QVERIFY(!exists(at("big/")) && exists(at("three/x")));
        QCOMPARE(list()->RowCount(), rows);
        QVERIFY(rowOf(at("big/")) > 0);
        const QString label = window_->LabelVerzeichnis()->text();
        clickDelete("zero1/");  // refresh: Yes rescans the same root
        QCOMPARE(boxes(script).at(1),
                 box(68, {}, QStringLiteral("Verzeichnis erfolgreich gelöscht.\rÜbersicht aktualisieren?")));
        QCOMPARE(boxes(script).size(), 4);
        QCOMPARE(window_->LabelVerzeichnis()->text(), label);
        QCOMPARE(listedPaths(), (QList<QByteArray>{root_, at("three/"), at("zero2/"), at("zero2/sub/")}));
    }

    void failureReportsTheRemovalError()
    {
        MsgBoxScript script;
        script.answer(6);
        script.answer(7);
        makeDir(at("gone/"));
        scan(root_);
        QVERIFY(::rmdir(at("gone/").constData()) == 0);
        clickDelete("gone/");
        const engine::ErrorInfo info = engine::errorFromErrno(ENOENT);
        QCOMPARE(boxes(script).at(1),
                 box(20, {},
                     "Fehler ID " + QString::number(info.number) + "\r" + QString::fromStdString(info.text) +
                         "\r\rÜbersicht aktualisieren?"));
        QVERIFY(rowOf(at("gone/")) > 0);  // No: no refresh
    }

    void deletesByTheRawPathNotTheShownText()
    {
        const QByteArray odd = at("n\xff\nx/");
        makeDir(odd);
        makeFile(odd + "f", "1");
        scan(root_);
        MsgBoxScript script;
        script.answer(6);
        script.answer(7);
        clickDelete("n\xff\nx/");
        QVERIFY(script.calls().at(0).prompt.contains(QFile::decodeName(odd)));
        QVERIFY(!exists(odd));
        QVERIFY(exists(at("three/x")));
    }

    void zeroPassDeletesOnlyEmptyFoldersAndRescans()
    {
        makeFile(at("zero1/late.txt"), "late");  // gained content since the scan
        MsgBoxScript script;
        script.answer(6);
        window_->cmd_OrdnerNull()->click();
        QCOMPARE(script.calls().size(), 1);  // nothing after the question, not even for zero2/sub
        QVERIFY(!exists(at("zero2/")));
        QVERIFY(exists(at("zero1/late.txt")) && exists(at("three/x")) && exists(at("big/a/x.txt")));
        QCOMPARE(listedPaths(),
                 (QList<QByteArray>{root_, at("big/"), at("big/a/"), at("three/"), at("zero1/")}));
        QVERIFY(window_->Label_Info(0)->text().startsWith(QStringLiteral("5")));
        QCOMPARE(list()->ZeroByteCount(), 0);
    }

    // The map opened from the list's context menu follows the deletes: a
    // deleted folder leaves it at once, a rescan shows the nearest folder
    // the list still has, a scan of another folder closes it.
    void mapFollowsDeletesAndRescans()
    {
        auto* entry = list()->findChild<QAction*>(QStringLiteral("act_Übersicht"));
        QVERIFY(entry && list()->actions().contains(entry));
        QCOMPARE(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
        list()->SelectRow(rowOf(at("big/")));
        entry->trigger();
        MapWindow* map = MapWindow::loaded();
        QVERIFY(map && map->isVisible());
        QCOMPARE(map->windowTitle(), QStringLiteral("Übersicht – ") + QFile::decodeName(at("big/")));
        QCOMPARE(map->view()->tiles().size(), std::size_t(2));  // big and a in it

        MsgBoxScript script;
        for (int answer : {6, 7, 6, 6})
            script.answer(answer);
        clickDelete("big/a/");  // no refresh: the list keeps the row, the map loses the folder
        QVERIFY(rowOf(at("big/a/")) > 0);
        QTRY_COMPARE(map->view()->tiles().size(), std::size_t(1));
        QCOMPARE(map->tree()->deepestNodeOn(at("big/a/")), map->tree()->deepestNodeOn(at("big/")));

        clickDelete("big/");  // refresh
        QTRY_COMPARE(map->windowTitle(), QStringLiteral("Übersicht – ") + QFile::decodeName(root_));
        QVERIFY(map->isVisible());
        for (const treemap::Tile& tile : map->view()->tiles())
            QVERIFY(!map->tree()->rawPath(tile.node).startsWith(at("big/")));

        scan(at("three/"));
        QVERIFY(!MapWindow::loaded());
    }

    void infoNeedsASelectedRowAndOpensItsRawPath()
    {
        const QByteArray odd = at("o\xff\nd/");
        makeDir(odd);
        scan(root_);
        MsgBoxScript script;
        list()->SelectRow(0);
        window_->cmd_Info()->click();  // rows, none selected
        list()->ClearRows();
        window_->cmd_Info()->click();  // no rows
        const QString none = box(0, {}, QStringLiteral("Kein Verzeichnis gewählt."));
        QCOMPARE(boxes(script), (QStringList{none, none}));
        QVERIFY(propertyWindows().isEmpty());

        scan(root_);
        list()->SelectRow(rowOf(odd));
        window_->cmd_Info()->click();
        QCOMPARE(script.calls().size(), 2);
        QCOMPARE(propertyWindows().size(), 1);
        PropertiesWindow* shown = propertyWindows().first();
        QCOMPARE(shown->rawPath(), odd);
        QCOMPARE(shown->parentWidget(), window_.data());
        shown->close();
    }
};

VELMARO_TEST_CLASS(TstDeleteFolders);
#include "tst_deletefolders.moc"
