// The file view opened from the main window (scripted answers, real scans
// of temporary trees): the opening sequence, the listing, the window.
#include "FileViewFixtures.h"

#include "app/Application.h"
#include "app/MainWindow.h"
#include "controls/RoCommand.h"
#include "controls/RoListBox.h"
#include "engine/ErrorText.h"
#include "fileview/FileViewOpener.h"
#include "platform/FormRegistry.h"
#include "platform/Twips.h"
#include "scan/ScanSession.h"

#include <QFile>
#include <QHeaderView>
#include <QPointer>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace velmaro;
using namespace velmaro::test;
using platform::forms;

namespace {

const QString kForm = QStringLiteral("frm_DelFile");

}  // namespace

class TestFrmDelFile : public QObject {
    Q_OBJECT
private:
    ScanSession scans_;  // the program's one scan session
    QTemporaryDir trees_;
    QPointer<MainWindow> window_;
    platform::MsgBoxScript boxes_;

    QByteArray tree(const char* name) const { return QFile::encodeName(trees_.path()) + '/' + name + '/'; }
    MainWindow& window()
    {
        if (!window_) {
            window_ = forms().load<MainWindow>(QStringLiteral("Velmaro"));
            window_->show();
        }
        return *window_;
    }
    RoListBox& list() { return *window().roListBox_Ordner(); }
    // Scans `root` and selects the row of `folder`; returns its row number.
    qint64 scanAndSelect(const QByteArray& root, const QByteArray& folder)
    {
        window().setScanRoot(root);
        scans_.Scan_starten();
        for (qint64 r = 1; r <= list().RowCount(); ++r)
            if (list().RowAt(r)->rawPath == folder) {
                list().SelectRow(r);
                return r;
            }
        return 0;
    }
    bool openView(const std::function<void(FrmDelFile&)>& body = {})
    {
        return openFileView(window().folderActions(), body);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(trees_.isValid());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        registerForms(scans_);
    }
    void cleanupTestCase() { removeTree(trees_.path()); }
    void init() { boxes_.clear(); }

    void refusedWithoutFolderFilesOrFolder()
    {
        list().ClearRows();
        QVERIFY(!openView());  // no rows
        const QByteArray root = tree("nur ordner");
        makeDir(root);
        makeDir(root + "a");
        makeDir(root + "gone");
        QVERIFY(scanAndSelect(root, root) > 0);
        list().SelectRow(0);  // rows, but none selected: its path cell is empty
        QVERIFY(!openView());
        QVERIFY(scanAndSelect(root, root) > 0);
        QVERIFY(!openView());  // only subfolders
        QVERIFY(scanAndSelect(root, root + "gone/") > 0);
        QCOMPARE(::rmdir((root + "gone").constData()), 0);
        QVERIFY(!openView());  // gone since the scan
        const QString none = box(0, {}, QStringLiteral("Kein Verzeichnis angegeben."));
        QCOMPARE(boxes(boxes_),
                 (QStringList{
                     none, none,
                     box(64, {}, "Keine Files im Verzeichnis \"" + QFile::decodeName(root) + "\" gefunden."),
                     box(0, {}, QString::fromStdString(engine::errorFromErrno(ENOENT).text))}));
        QVERIFY(!engine::errorFromErrno(ENOENT).text.empty());
    }

    void captionRowsAndCells()
    {
        const QByteArray root = tree("zwoelf");
        makeFolderWith(root, {"a", "b", "c", "d", "e", "f", "g", "h", ".versteckt", "-strich", "neue\nZeile",
                              "roh\xff"});
        makeSparse(root + "e", 1024);
        makeSparse(root + "f", qint64(3) << 30);
        setChanged(root + "e", QDateTime(QDate(2026, 12, 5), QTime(14, 3, 9)));
        makeDir(root + "unterordner");
        QVERIFY(scanAndSelect(root, root) > 0);
        QStringList seen;
        QVERIFY(openView([&](FrmDelFile& v) {
            seen << v.windowTitle() << QString::number(v.listModel()->rowCount())
                 << QString::number(v.listModel()->columnCount());
            for (int c = 0; c < 4; ++c)
                seen << v.listModel()->cellText(rowOf(v, "e"), c);
            seen << v.listModel()->cellText(rowOf(v, "f"), 1)
                 << v.listModel()->cellText(rowOf(v, "neue\nZeile"), 0);
            // Tooltips: exact bytes beside the readable size, the full date.
            for (int c = 1; c < 4; ++c)
                seen << v.listModel()->index(rowOf(v, "e"), c).data(Qt::ToolTipRole).toString();
            seen << v.listModel()->index(rowOf(v, "f"), 1).data(Qt::ToolTipRole).toString();
        }));
        QCOMPARE(seen,
                 (QStringList{"gefundene Files: 12", "12", "4", "e", "1 KB", "05.Dez.26", "14:03:09",
                              "3,0 GB", "neue\u23CEZeile", "1,0 KB (1.024 Bytes)", "05.12.2026 14:03:09",
                              "05.12.2026 14:03:09", "3,0 GB (3.221.225.472 Bytes)"}));
        QVERIFY(boxes_.calls().isEmpty());  // "Zurück" without a change asks nothing
    }

    // Every opening starts in the list, also after the red button had the
    // focus (a deletion) the last time.
    void opensWithFocusInTheList()
    {
        const QByteArray root = tree("fokus");
        makeFolderWith(root, {"eins", "zwei"});
        QVERIFY(scanAndSelect(root, root) > 0);
        QWidget* focused[2] = {nullptr, nullptr};
        QVERIFY(openView([&](FrmDelFile& v) {
            focused[0] = v.focusWidget();
            v.cmd_Löschen()->setFocus(Qt::TabFocusReason);
        }));
        QVERIFY(openView([&](FrmDelFile& v) { focused[1] = v.focusWidget(); }));
        const FrmDelFile* view = forms().find<FrmDelFile>(kForm);
        QCOMPARE(focused[0], view->ListView());
        QCOMPARE(focused[1], view->ListView());
    }

    void columnsOncePerLoad()
    {
        const QByteArray root = tree("fuenfmal");
        makeFolderWith(root, {"x"});
        QVERIFY(scanAndSelect(root, root) > 0);
        for (int i = 0; i < 5; ++i)
            QVERIFY(openView());
        forms().unload(kForm);
        QVERIFY(openView());
        const FrmDelFile* view = forms().find<FrmDelFile>(kForm);
        QCOMPARE(view->listModel()->columnCount(), 4);
        // At least the designed widths; the name takes what the list has left.
        const int widths[] = {3500, 900, 1100, 1100};
        for (int c = 0; c < 4; ++c)
            QVERIFY(view->ListView()->header()->sectionSize(c) >= platform::twipsToPixels(widths[c]));
        QCOMPARE(view->ListView()->header()->length(), view->ListView()->viewport()->width());
        QVERIFY(boxes_.calls().isEmpty());
    }

    void deletingOneOffersARescan()
    {
        const QByteArray root = tree("rescan");
        makeDir(root);
        makeSparse(root + "gross", 4096);
        makeFile(root + "klein", "1");
        const qint64 row = scanAndSelect(root, root);
        QCOMPARE(list().RowAt(row)->bytes, quint64(4097));
        auto deleteBig = [&](FrmDelFile& v) {
            v.listModel()->setChecked(rowOf(v, "gross"), true);
            v.cmd_Löschen()->click();
            QCOMPARE(v.windowTitle(), QStringLiteral("gefundene Files: 1"));
        };
        for (int answer : {6, 1, 7})  // delete: Yes, success: OK, refresh: No
            boxes_.answer(answer);
        QVERIFY(openView(deleteBig));
        QCOMPARE(prompts(boxes_), (QStringList{kDelete, "Löschung erfolgreich.", kRefresh}));
        QCOMPARE(boxes_.calls()[2].style, 68);
        QCOMPARE(list().RowAt(row)->bytes, quint64(4097));  // No: the overview stays

        makeSparse(root + "gross", 4096);
        boxes_.clear();
        for (int answer : {6, 1, 6})  // refresh: Yes rescans the root of the last scan
            boxes_.answer(answer);
        window().picker()->setDir1Path(QFile::decodeName(tree("")));
        QVERIFY(openView(deleteBig));
        QCOMPARE(prompts(boxes_).last(), kRefresh);
        QCOMPARE(window().scanRootRaw(), root);
        QCOMPARE(list().RowCount(), 1);
        QCOMPARE(list().RowAt(1)->bytes, quint64(1));
    }

    void sameCountAfterAddAndDeleteAsksNothing()
    {
        const QByteArray root = tree("gleich");
        makeFolderWith(root, {"alt"});
        QVERIFY(scanAndSelect(root, root) > 0);
        boxes_.answer(6);
        QVERIFY(openView([&](FrmDelFile& v) {
            makeFile(root + "neu", "1");  // another program adds one
            v.listModel()->setChecked(rowOf(v, "alt"), true);
            v.cmd_Löschen()->click();
        }));
        // Each marked file counts by what happened to it: the added file is
        // no failure; the file count is unchanged, so no refresh is offered.
        QCOMPARE(prompts(boxes_), (QStringList{kDelete, "Löschung erfolgreich."}));
        QVERIFY(!exists(root + "alt"));
    }

    // Marked files named "*.*" and "sub*.*" remove those files only; a folder
    // that changed since the scan is not opened at all.
    void starNamesAndAChangedFolder()
    {
        const QByteArray root = tree("stern");
        makeFolderWith(root, {"*.*", "sub*.*", "bleibt.txt"});
        makeFolderWith(root + "sub/", {"innen.txt"});
        QVERIFY(scanAndSelect(root, root) > 0);
        for (int answer : {6, 1, 7})  // delete: Yes, result: OK, refresh: No
            boxes_.answer(answer);
        QVERIFY(openView([&](FrmDelFile& v) {
            v.listModel()->setChecked(rowOf(v, "*.*"), true);
            v.listModel()->setChecked(rowOf(v, "sub*.*"), true);
            v.cmd_Löschen()->click();
        }));
        QCOMPARE(prompts(boxes_).mid(0, 2), (QStringList{kDelete, "Löschung erfolgreich."}));
        QVERIFY(!exists(root + "*.*") && !exists(root + "sub*.*"));
        QVERIFY(exists(root + "bleibt.txt") && exists(root + "sub/innen.txt"));

        boxes_.clear();
        QVERIFY(scanAndSelect(root, root + "sub/") > 0);
        QCOMPARE(::rename((root + "sub").constData(), (root + "alt").constData()), 0);
        makeFolderWith(root + "sub/", {"neu.txt"});
        QVERIFY(!openView());
        QCOMPARE(boxes(boxes_),
                 QStringList{box(0, {}, QStringLiteral("Der Ordner hat sich seit der Suche geändert."))});
        QVERIFY(exists(root + "alt/innen.txt") && exists(root + "sub/neu.txt"));
    }

    void closeBoxHidesAndKeepsTheViewLoaded()
    {
        FrmDelFile* view = forms().load<FrmDelFile>(kForm);
        view->show();
        QVERIFY(view->close());
        QVERIFY(!view->isVisible());
        QCOMPARE(forms().find<FrmDelFile>(kForm), view);
    }
};

VELMARO_TEST_CLASS(TestFrmDelFile);
#include "tst_frmdelfile.moc"
