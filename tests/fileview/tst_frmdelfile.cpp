// The file view opened from the main window (scripted answers, real scans
// of temporary trees): the opening sequence, the listing, the window.
#include "engine/SafeDelete.h"
#include "FileViewFixtures.h"

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/controls/RoCommand.h"
#include "app/controls/RoListBox.h"
#include "engine/ErrorText.h"
#include "fileview/FileViewOpener.h"
#include "fileview/FrmDelFile.h"
#include "platform/FormRegistry.h"
#include "platform/MsgBox.h"
#include "platform/Twips.h"
#include "scan/ScanStarter.h"

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

// Runs `body` once the file view shows (inside its modal loop), then leaves
// it with "Zurück" unless the body closed it.
class WhileShown {
public:
    explicit WhileShown(std::function<void(FrmDelFile&)> body) : body_(std::move(body))
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            FrmDelFile* view = forms().find<FrmDelFile>(kForm);
            if (!view || !view->isVisible())
                return;
            timer_.stop();
            ran_ = true;
            body_(*view);
            if (view->isVisible())
                view->cmd_Ende()->click();
        });
        timer_.start();
    }
    bool ran() const { return ran_; }

private:
    std::function<void(FrmDelFile&)> body_;
    QTimer timer_;
    bool ran_ = false;
};

}  // namespace

class TestFrmDelFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home_;
    QTemporaryDir trees_;
    QPointer<MainWindow> window_;
    platform::MsgBoxScript boxes_;

    QByteArray tree(const char* name) const
    {
        return QFile::encodeName(trees_.path()) + '/' + name + '/';
    }
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
        Scan_starten();
        for (qint64 r = 1; r <= list().RowCount(); ++r) {
            if (list().RowAt(r)->rawPath == folder) {
                list().SelectRow(r);
                return r;
            }
        }
        return 0;
    }

private slots:
    // Names that are not UTF-8 defeat QDir::removeRecursively: remove by descriptor.
    void cleanupTestCase() { engine::deleteTree(QFile::encodeName(trees_.path()).toStdString()); }

    void initTestCase()
    {
        QVERIFY(home_.isValid() && trees_.isValid());
        qputenv("HOME", home_.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home_.path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (home_.path() + "/data").toUtf8());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        registerForms();
    }
    void init()
    {
        boxes_.clear();
    }

    void noFolderChosen()
    {
        list().ClearRows();
        cmd_DelFile_Click(window());
        const QByteArray root = tree("auswahl");
        makeDir(root);
        writeFile(root + "f", 1);
        QVERIFY(scanAndSelect(root, root) > 0);
        list().SelectRow(0);  // rows, but none selected: its path cell is empty
        cmd_DelFile_Click(window());
        QCOMPARE(boxes_.calls().size(), 2);
        for (const platform::MsgBoxCall& c : boxes_.calls()) {
            QCOMPARE(c.prompt, QStringLiteral("Kein Verzeichnis angegeben."));
            QCOMPARE(c.style, 0);
            QVERIFY(c.title.isEmpty());
        }
    }

    void folderGoneSinceTheScan()
    {
        const QByteArray root = tree("weg");
        makeDir(root);
        makeDir(root + "gone");
        QVERIFY(scanAndSelect(root, root + "gone/") > 0);
        QCOMPARE(::rmdir((root + "gone").constData()), 0);
        WhileShown shown([](FrmDelFile&) {});
        cmd_DelFile_Click(window());
        QVERIFY(!shown.ran());
        QCOMPARE(boxes_.calls().size(), 1);
        QCOMPARE(boxes_.calls()[0].prompt, QString::fromStdString(engine::errorFromErrno(ENOENT).text));
        QVERIFY(!boxes_.calls()[0].prompt.isEmpty());
        QCOMPARE(boxes_.calls()[0].style, 0);
        QVERIFY(!forms().find(kForm)->isVisible());
    }

    void folderWithOnlySubfolders()
    {
        const QByteArray root = tree("nur ordner");
        makeDir(root);
        makeDir(root + "a");
        makeDir(root + "b");
        const qint64 row = scanAndSelect(root, root);
        QVERIFY(row > 0);
        WhileShown shown([](FrmDelFile&) {});
        cmd_DelFile_Click(window());
        QVERIFY(!shown.ran());
        QCOMPARE(boxes_.calls().size(), 1);
        QCOMPARE(boxes_.calls()[0].prompt, QStringLiteral("Keine Files im Verzeichnis \"")
                                               + list().CellText(row, 2)
                                               + QStringLiteral("\" gefunden."));
        QVERIFY(boxes_.calls()[0].prompt.contains(QFile::decodeName(root)));  // trailing "/"
        QCOMPARE(boxes_.calls()[0].style, 64);
        QVERIFY(!forms().find(kForm)->isVisible());
    }

    void captionRowsAndCells()
    {
        const QByteArray root = tree("zwoelf");
        makeDir(root);
        const QByteArray names[] = {"a", "b", "c", "d", "e", "f", "g", "h", ".versteckt",
                                    "-strich", "neue\nZeile", "roh\xff"};
        for (const QByteArray& n : names)
            writeFile(root + n, 10);
        writeFile(root + "e", 1024);
        writeFile(root + "f", qint64(3) << 30);  // sparse: 3 GB without the disk space
        setChanged(root + "e", QDateTime(QDate(2026, 12, 5), QTime(14, 3, 9)));
        makeDir(root + "unterordner");
        QVERIFY(scanAndSelect(root, root) > 0);
        QString caption;
        QStringList cellsOfE, cellsOfF;
        int rows = -1, columns = -1;
        WhileShown shown([&](FrmDelFile& v) {
            caption = v.windowTitle();
            rows = v.listModel()->rowCount();
            columns = v.listModel()->columnCount();
            for (int c = 0; c < 4; ++c) {
                cellsOfE << v.listModel()->cellText(rowOf(v, "e"), c);
                cellsOfF << v.listModel()->cellText(rowOf(v, "f"), c);
            }
            QCOMPARE(v.size(), QSize(platform::twipsToPixels(7605), platform::twipsToPixels(5805)));
            QCOMPARE(v.listModel()->cellText(rowOf(v, "neue\nZeile"), 0),
                     QStringLiteral("neue\u23CEZeile"));
        });
        cmd_DelFile_Click(window());
        QVERIFY(shown.ran());
        QCOMPARE(caption, QStringLiteral("gefundene Files: 12"));
        QCOMPARE(rows, 12);
        QCOMPARE(columns, 4);
        QCOMPARE(cellsOfE, (QStringList{"e", "1 KB", "05.Dez.26", "14:03:09"}));
        QCOMPARE(cellsOfF.mid(0, 2), (QStringList{"f", "3,0 GB"}));
        QVERIFY(boxes_.calls().isEmpty());  // "Zurück" without a change asks nothing
    }

    void columnsOncePerLoad()
    {
        const QByteArray root = tree("fuenfmal");
        makeDir(root);
        writeFile(root + "x", 1);
        QVERIFY(scanAndSelect(root, root) > 0);
        for (int i = 0; i < 5; ++i) {
            WhileShown shown([](FrmDelFile&) {});
            cmd_DelFile_Click(window());
            QVERIFY(shown.ran());
        }
        forms().unload(kForm);
        WhileShown again([](FrmDelFile&) {});
        cmd_DelFile_Click(window());
        QVERIFY(again.ran());
        const FrmDelFile* view = forms().find<FrmDelFile>(kForm);
        QCOMPARE(view->listModel()->columnCount(), 4);
        const QStringList headers{"Name", "Größe", "Geändert am", "Geändert um"};
        const int widths[] = {3500, 900, 1100, 1100};
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(view->listModel()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                     headers[c]);
            QCOMPARE(view->ListView()->header()->sectionSize(c), platform::twipsToPixels(widths[c]));
        }
        QVERIFY(boxes_.calls().isEmpty());
    }

    void deletingOneOffersARescan()
    {
        const QByteArray root = tree("rescan");
        makeDir(root);
        writeFile(root + "gross", 4096);
        writeFile(root + "klein", 1);
        const qint64 row = scanAndSelect(root, root);
        QCOMPARE(list().RowAt(row)->bytes, quint64(4097));
        auto deleteBig = [&](FrmDelFile& v) {
            v.listModel()->setChecked(rowOf(v, "gross"), true);
            v.cmd_Löschen()->click();
            QCOMPARE(v.windowTitle(), QStringLiteral("gefundene Files: 1"));
        };
        boxes_.answer(6);  // delete: Yes
        boxes_.answer(1);  // "Löschung erfolgreich.": OK
        boxes_.answer(7);  // refresh: No
        WhileShown first(deleteBig);
        cmd_DelFile_Click(window());
        QVERIFY(first.ran());
        QCOMPARE(prompts(boxes_), (QStringList{kDelete, "Löschung erfolgreich.", kRefresh}));
        QCOMPARE(boxes_.calls()[2].style, 68);
        QCOMPARE(list().RowAt(row)->bytes, quint64(4097));  // No: the overview stays

        writeFile(root + "gross", 4096);
        boxes_.clear();
        boxes_.answer(6);
        boxes_.answer(1);
        boxes_.answer(6);  // refresh: Yes rescans the root of the last scan
        window().setDir1Path(QFile::decodeName(tree("")));
        WhileShown second(deleteBig);
        cmd_DelFile_Click(window());
        QVERIFY(second.ran());
        QCOMPARE(prompts(boxes_).last(), kRefresh);
        QCOMPARE(window().scanRootRaw(), root);
        QCOMPARE(list().RowCount(), 1);
        QCOMPARE(list().RowAt(1)->bytes, quint64(1));
    }

    void sameCountAfterAddAndDeleteAsksNothing()
    {
        const QByteArray root = tree("gleich");
        makeDir(root);
        writeFile(root + "alt", 1);
        QVERIFY(scanAndSelect(root, root) > 0);
        boxes_.answer(6);
        WhileShown shown([&](FrmDelFile& v) {
            writeFile(root + "neu", 1);  // another program adds one
            v.listModel()->setChecked(rowOf(v, "alt"), true);
            v.cmd_Löschen()->click();
        });
        cmd_DelFile_Click(window());
        QVERIFY(shown.ran());
        // The run compares row counts, so the added file reads as a failure;
        // the file count is unchanged, so no refresh is offered.
        QCOMPARE(prompts(boxes_),
                 (QStringList{kDelete, "Löschung bei 1 Datei(e)n fehlgeschlagen."}));
        QVERIFY(!exists(root + "alt"));
    }

    void namesAndAccessibility()
    {
        auto view = std::make_unique<FrmDelFile>();
        QCOMPARE(view->objectName(), QStringLiteral("frm_DelFile"));
        QCOMPARE(view->ListView()->accessibleDescription(), QStringLiteral("ListView"));
        QVERIFY(!view->ListView()->accessibleName().isEmpty());
        QCOMPARE(view->fileListe().objectName(), QStringLiteral("FileListe"));
        const std::pair<RoCommand*, QString> buttons[] = {
            {view->roCommand2(), "roCommand2"}, {view->cmd_Löschen(), "cmd_Löschen"},
            {view->cmd_Ende(), "cmd_Ende"}};
        for (const auto& [button, name] : buttons) {
            QCOMPARE(button->objectName(), name);
            QCOMPARE(button->accessibleDescription(), name);
            QCOMPARE(button->accessibleName(), button->text());
        }
        QCOMPARE(view->cmd_Löschen()->text(), QStringLiteral("Dateien löschen"));
        QCOMPARE(view->cmd_Löschen()->backColor(), RoCommand::kRed);
        QCOMPARE(view->roCommand2()->backColor(), RoCommand::kNearWhite);
        QVERIFY(!(view->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }

    void closeBoxHidesAndKeepsTheWindow()
    {
        FrmDelFile* view = forms().load<FrmDelFile>(kForm);
        view->show();
        QVERIFY(view->close());
        QVERIFY(!view->isVisible());
        QCOMPARE(forms().find<FrmDelFile>(kForm), view);
    }
};

QTEST_MAIN(TestFrmDelFile)
#include "tst_frmdelfile.moc"
