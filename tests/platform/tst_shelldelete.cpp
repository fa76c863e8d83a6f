// The shell layer: its question, progress window, error box and trash, and
// the worker-thread runner that keeps the user interface alive.

#include "platform/MsgBox.h"
#include "platform/ProgressRunner.h"
#include "platform/ShellDelete.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace velmaro::platform;
using namespace velmaro::testsupport;
using namespace std::chrono_literals;

namespace {

QProgressDialog* progressWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("ShellProgress") && widget->isVisible())
            return qobject_cast<QProgressDialog*>(widget);
    }
    return nullptr;
}

// Records the label of every progress window at the moment it is shown.
class ShowSpy : public QObject {
public:
    QStringList shownLabels;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QStringLiteral("ShellProgress"))
            shownLabels << static_cast<QProgressDialog*>(watched)->labelText();
        return false;
    }
};

// Waits on a worker thread until `flag` is set (at most 5 s).
void waitFor(const std::atomic<bool>& flag)
{
    for (int i = 0; i < 500 && !flag.load(); ++i)
        std::this_thread::sleep_for(10ms);
}

constexpr ShellOptions kQuiet{};
constexpr ShellOptions kQuietToTrash{.toRecycleBin = true};

}  // namespace

class TstShellDelete : public QObject {
    Q_OBJECT

private:
    QByteArray root_;  // a fresh folder per test, ending in "/"

    QByteArray makeTree()
    {
        const QByteArray tree = root_ + "tree";
        makeDir(tree);
        makeDir(tree + "/sub");
        makeFile(tree + "/sub/f.txt", "data");
        return tree;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(::chdir(scratchFolder().constData()) == 0);  // the trash must never land here
    }

    void init() { root_ = scratchFolder(); }

    void runnerShowsTheCurrentNameAndKeepsTheLoopAlive()
    {
        ProgressRunner runner({nullptr, true, true, 0});
        std::atomic<bool> seen{false};
        std::atomic<bool> alive{false};
        int ticks = 0;
        QString label;
        QTimer observer;
        observer.setInterval(5);
        connect(&observer, &QTimer::timeout, this, [&] {
            if (++ticks >= 5)
                alive.store(true);  // the caller's timers keep running meanwhile
            if (QProgressDialog* dialog = progressWindow()) {
                label = dialog->labelText();
                if (label.endsWith(QStringLiteral("näme")))
                    seen.store(true);
            }
        });
        observer.start();
        const bool cancelled =
            runner.run([&](const ProgressRunner::EntryFn& onEntry, const std::atomic<bool>&) {
                onEntry(std::string("/x/n\xc3\xa4me"));
                waitFor(seen);
                waitFor(alive);
            });
        observer.stop();
        QVERIFY(!cancelled);
        QVERIFY(seen.load());
        QVERIFY(alive.load());
        QCOMPARE(label, QStringLiteral("Lösche: /x/näme"));
        QCOMPARE(progressWindow(), nullptr);  // gone when the work is done
    }

    void runnerCancelStopsTheWork()
    {
        ProgressRunner runner({nullptr, true, true, 0});
        QTimer::singleShot(20, this, [] {
            if (QProgressDialog* dialog = progressWindow())
                if (auto* button = dialog->findChild<QPushButton*>())
                    button->click();
        });
        bool sawCancel = false;
        const bool cancelled =
            runner.run([&](const ProgressRunner::EntryFn&, const std::atomic<bool>& cancel) {
                waitFor(cancel);
                sawCancel = cancel.load();
            });
        QVERIFY(sawCancel);
        QVERIFY(cancelled);
    }

    void progressWindowFollowsTheFlags()
    {
        ShowSpy spy;
        qApp->installEventFilter(&spy);
        ShellDelete silent(nullptr, kQuiet);
        silent.setProgressDelay(0);
        QVERIFY(silent.deleteFolder(makeTree()).ok);
        QCOMPARE(spy.shownLabels.size(), 0);

        ShellDelete simple(nullptr, {.showProgress = true, .showErrors = true});
        simple.setProgressDelay(0);
        QVERIFY(simple.deleteFolder(makeTree()).ok);
        QCOMPARE(spy.shownLabels, QStringList{QStringLiteral("Dateien werden gelöscht …")});

        ShellDelete named(nullptr, {.showProgress = true, .showFileNames = true, .showErrors = true});
        named.setProgressDelay(0);
        QVERIFY(named.deleteFolder(makeTree()).ok);
        QCOMPARE(spy.shownLabels.size(), 2);
        QVERIFY(spy.shownLabels.at(1).startsWith(QStringLiteral("Lösche: ")));
        qApp->removeEventFilter(&spy);
        QVERIFY(!exists(root_ + "tree"));
    }

    void questionNamesThePathAndNoKeepsIt()
    {
        const QByteArray tree = makeTree();
        MsgBoxScript script;
        script.answer(7);
        script.answer(2);
        const ShellDeleteOutcome now =
            ShellDelete(nullptr, {.confirm = true, .showErrors = true}).deleteFolder(tree);
        const ShellDeleteOutcome trash =
            ShellDelete(nullptr, {.confirm = true, .toRecycleBin = true, .showErrors = true})
                .deleteFolder(tree);
        QVERIFY(now.cancelled && !now.ok && now.error == 0);
        QVERIFY(trash.cancelled && !trash.ok);
        const QString question =
            "Soll der Ordner \"" + QFile::decodeName(tree) + "\" mit allen Unterordnern und ";
        const QString title = QStringLiteral("Löschen bestätigen");
        QCOMPARE(boxes(script),
                 QStringList({box(292, title, question + "Dateien endgültig gelöscht werden?"),
                              box(292, title, question + "Dateien in den Papierkorb verschoben werden?")}));
        QVERIFY(exists(tree + "/sub/f.txt"));
    }

    void errorBoxNamesPathAndReason()
    {
        MsgBoxScript script;
        const QByteArray missing = root_ + "missing/";
        const ShellDeleteOutcome outcome = ShellDelete(nullptr, {.showErrors = true}).deleteFolder(missing);
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.error, ENOENT);
        QCOMPARE(script.calls().size(), 1);
        const QStringList lines = script.calls().at(0).prompt.split(QChar(u'\r'));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(box(script.calls().at(0).style, script.calls().at(0).title, lines.at(0)),
                 box(16, QStringLiteral("Fehler beim Löschen"),
                     QStringLiteral("\"%1\" konnte nicht gelöscht werden.").arg(QFile::decodeName(missing))));
        QVERIFY(!lines.at(1).isEmpty());
    }

    // The home trash is made privately where missing; where it cannot be
    // made, moving to the trash fails and keeps everything.
    void homeTrashIsCreatedPrivately()
    {
        const QByteArray data = root_ + "share";
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data);
        QString reason;
        QVERIFY(ShellDelete::ensureHomeTrash(&reason));
        QCOMPARE(ShellDelete::homeTrashPath(), QFile::decodeName(data + "/Trash"));
        for (const char* sub : {"/Trash", "/Trash/files", "/Trash/info"}) {
            struct stat st {};
            QVERIFY(::stat((data + sub).constData(), &st) == 0);
            QVERIFY(S_ISDIR(st.st_mode));
            QCOMPARE(st.st_mode & 0777, 0700u);
        }
        makeFile(root_ + "not-a-folder", "x");
        qputenv("XDG_DATA_HOME", root_ + "not-a-folder/share");
        const QByteArray tree = makeTree();
        const ShellDeleteOutcome outcome = ShellDelete(nullptr, kQuietToTrash).deleteFolder(tree + "/");
        qputenv("XDG_DATA_HOME", saved);
        QVERIFY(!outcome.ok && outcome.error != 0);
        QVERIFY2(outcome.message.contains(QStringLiteral("Papierkorb")), qPrintable(outcome.message));
        QVERIFY(exists(tree + "/sub/f.txt"));
    }

    void trashRefusesNamesItCannotCarry()
    {
        const QByteArray odd = root_ + "odd\xff";
        makeDir(odd);
        const ShellDeleteOutcome outcome = ShellDelete(nullptr, kQuietToTrash).deleteFolder(odd);
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.error, EILSEQ);
        QVERIFY(!outcome.message.isEmpty());
        QVERIFY(exists(odd));
    }

    void trashMovesAFolderWithATrailingSlash()
    {
        const QByteArray tree = makeTree();
        const ShellDeleteOutcome outcome = ShellDelete(nullptr, kQuietToTrash).deleteFolder(tree + "/");
        QVERIFY(outcome.ok);
        QVERIFY(!exists(tree));
        const QByteArray trash = QFile::encodeName(ShellDelete::homeTrashPath());
        QVERIFY(exists(trash + "/files/tree/sub/f.txt"));
        QFile info(QFile::decodeName(trash + "/info/tree.trashinfo"));
        QVERIFY(info.open(QIODevice::ReadOnly));
        QVERIFY(info.readAll().contains("Path=" + tree.toPercentEncoding("/")));
        QVERIFY(!exists("files"));
    }
};

VELMARO_TEST_CLASS(TstShellDelete);
#include "tst_shelldelete.moc"
