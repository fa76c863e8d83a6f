// The deletion routine on real temporary trees: flag arithmetic, folder and
// files named by the caller, the error number and text of the removal step, the
// trash, the question and the zero-byte mode. (Files written during the
// zero-byte pass are the engine tests' concern.)
#include "actions/AllesLoeschen.h"
#include "engine/ErrorText.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmaro;
using namespace velmaro::testsupport;
using engine::DeleteMode;

class TstOrdnerLoeschen : public QObject {
    Q_OBJECT

private:
    QTemporaryDir home_;
    QByteArray root_;  // a fresh folder per test, ending in "/"
    QByteArray workDir_;
    int caseNo_ = 0;

    QByteArray at(const char* relative) const { return root_ + relative; }
    // tree/: a/b/c.txt (5 bytes), d.txt, e/ (empty)
    QByteArray buildTree() {
        const QByteArray tree = at("tree/");
        for (const char* dir : {"", "a", "a/b", "e"})
            makeDir(tree + dir);
        makeFile(tree + "a/b/c.txt", "12345");
        makeFile(tree + "d.txt", "x");
        return tree;
    }
    bool quiet(const QByteArray& pattern) {
        return Ordner_löschen(pattern, nullptr, false, false, false, false, false);
    }
    DeleteOutcome zeroPass(const QByteArray& folder) {
        DeleteRequest request;
        request.folder = folder;
        request.mode = DeleteMode::ZeroByteOnly;
        return Ordner_löschen(request);
    }
    bool toTrash(const QByteArray& pattern) {
        return Ordner_löschen(pattern, nullptr, false, false, false, true, false);
    }
    static quint64 inodeOf(const QByteArray& path) {
        struct stat st {};
        return ::lstat(path.constData(), &st) == 0 ? quint64(st.st_ino) : 0;
    }
    void verifyNoError() {
        QCOMPARE(lastErrorNumber(), 0);
        QCOMPARE(lastErrorText(), QString());
    }

private slots:
    void initTestCase() {
        QVERIFY(home_.isValid());
        usePrivateHome(home_.path());
        workDir_ = QFile::encodeName(home_.path()) + "/work";
        makeDir(workDir_);
        // A relative path must never reach the working folder: make it one we own.
        QVERIFY(::chdir(workDir_.constData()) == 0);
    }
    void cleanupTestCase() { removeTree(home_.path()); }
    void init() {
        root_ = QFile::encodeName(home_.path()) + "/case" + QByteArray::number(++caseNo_) + "/";
        makeDir(root_);
    }

    void flagArithmetic() {
        QCOMPARE(deleteFlags(false, false, false, false, false), 0x0514u);
        QCOMPARE(deleteFlags(true, true, true, true, true), 0x0040u);
        QCOMPARE(deleteFlags(false, true, true, false, false), 0x0410u);
        QCOMPARE(deleteFlags(true, true, true, false, true), 0x0000u);
        QCOMPARE(deleteFlags(true, false, true, false, true), 0x0004u);
        QCOMPARE(deleteFlags(true, true, false, false, true), 0x0100u);
        QCOMPARE(deleteFlags(false, true, true, true, true), 0x0050u);
    }

    void folderPatternAndTheRemovalError() {
        const engine::ErrorInfo expected = engine::errorFromErrno(ENOENT);
        QCOMPARE(expected.number, 76);
        QVERIFY(!quiet(at("gone/*.*")));
        QCOMPARE(lastErrorNumber(), 76);
        QCOMPARE(lastErrorText(), QString::fromStdString(expected.text));
        QVERIFY(!lastErrorText().isEmpty());
        // A success deletes tree and folder and clears the error again.
        const QByteArray tree = buildTree();
        QVERIFY(quiet(tree + "*.*"));
        verifyNoError();
        QVERIFY(!exists(tree));
        QVERIFY(exists(root_));
        // A relative pattern touches nothing.
        makeFile(workDir_ + "/keep.txt", "k");
        QVERIFY(!quiet("*.*"));
        QVERIFY(!quiet("keep.txt"));
        QVERIFY(lastErrorNumber() > 0);
        QVERIFY(exists(workDir_ + "/keep.txt"));
    }

    // Only the caller says "one file": a file named "*.*" or "sub*.*" is a
    // name like any other, and the seven-argument form never deletes a file.
    void filesAreNamedByTheCallerNeverByTheirBytes() {
        const QByteArray folder = at("a\xff\nb\tc/");  // odd names go by their bytes
        makeDir(folder);
        makeDir(folder + "sub");
        makeFile(folder + "sub/y.txt", "y");
        for (const char* name : {"*.*", "sub*.*", "x\xfe", "-n"})
            makeFile(folder + name, "abc");
        QVERIFY(!quiet(folder + "x\xfe"));
        QCOMPARE(lastErrorNumber(), 5);
        QVERIFY(exists(folder + "x\xfe"));

        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        DeleteRequest request;
        request.target = DeleteTarget::ListedFiles;
        request.flags = deleteFlags(false, false, false, false, false);
        request.folder = folder;
        request.folderFd = fd;
        for (const char* name : {"*.*", "sub*.*", "x\xfe"})
            request.files.push_back({name, inodeOf(folder + name)});
        request.files.push_back({"sub", inodeOf(folder + "sub")});  // a folder is never a file
        const DeleteOutcome outcome = Ordner_löschen(request);
        ::close(fd);
        QCOMPARE(outcome.failedFiles(), 1);
        QCOMPARE(outcome.fileErrors.back(), engine::kChangedSinceListing);
        for (const char* gone : {"*.*", "sub*.*", "x\xfe"})
            QVERIFY(!exists(folder + gone));
        QVERIFY(exists(folder + "-n") && exists(folder + "sub/y.txt"));
    }

    void trashMovesIntoTheHomeTrash() {
        const QByteArray tree = buildTree();
        QVERIFY(toTrash(tree + "*.*"));
        QCOMPARE(lastErrorNumber(), 0);
        QVERIFY(!exists(tree));
        const QByteArray trash = qgetenv("XDG_DATA_HOME") + "/Trash";
        QVERIFY(exists(trash + "/files/tree/a/b/c.txt"));
        QVERIFY(exists(trash + "/info/tree.trashinfo"));

        // A trash that cannot be created fails and keeps everything.
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        makeFile(at("not-a-folder"), "x");
        qputenv("XDG_DATA_HOME", at("not-a-folder/share"));
        const QByteArray kept = buildTree();
        const bool ok = toTrash(kept + "*.*");
        qputenv("XDG_DATA_HOME", saved);
        QVERIFY(!ok);
        QVERIFY(lastErrorNumber() > 0 && lastErrorText().contains(QStringLiteral("Papierkorb")));
        QVERIFY(exists(kept + "a/b/c.txt"));
        QVERIFY(!exists(kept + "files"));
        // Never "trashed" into the working folder.
        QVERIFY(!exists(workDir_ + "/files") && !exists(workDir_ + "/info"));
    }

    void questionAndErrorBox() {
        const QByteArray tree = buildTree();
        platform::MsgBoxScript script;
        script.answer(7);
        QVERIFY(!Ordner_löschen(tree + "*.*", nullptr, true, false, false, false, false));
        verifyNoError();  // No is no error
        QVERIFY(exists(tree + "a/b/c.txt") && exists(tree + "d.txt"));
        script.answer(6);
        QVERIFY(Ordner_löschen(tree + "*.*", nullptr, true, false, false, false, false));
        QVERIFY(!exists(tree));
        QCOMPARE(script.calls().size(), 2);

        // The error box only when asked for.
        script.clear();
        QVERIFY(!quiet(at("gone/*.*")));
        QCOMPARE(script.calls().size(), 0);
        QVERIFY(!Ordner_löschen(at("gone/*.*"), nullptr, false, false, false, false, true));
        QCOMPARE(script.calls().size(), 1);
        QCOMPARE(script.calls().at(0).style, 16);
    }

    void zeroModeKeepsContent() {
        const QByteArray tree = at("zero/");
        for (const char* dir : {"", "empty", "nested", "nested/deeper", "three"})
            makeDir(tree + dir);
        makeFile(tree + "nested/deeper/empty.txt");
        makeFile(tree + "three/x", "abc");
        QVERIFY(zeroPass(tree).errorNumber > 0);
        QVERIFY(exists(tree + "three/x"));
        QVERIFY(!exists(tree + "empty") && !exists(tree + "nested"));
        // The 3-byte folder on its own is kept whole.
        QVERIFY(!zeroPass(tree + "three/").ok);
        QVERIFY(exists(tree + "three/x"));
        // A tree that holds nothing goes completely.
        QVERIFY(::unlink((tree + "three/x").constData()) == 0);
        const DeleteOutcome all = zeroPass(tree);
        QVERIFY(all.ok);
        QCOMPARE(all.errorNumber, 0);
        QVERIFY(!exists(tree));
    }
};

QTEST_MAIN(TstOrdnerLoeschen)
#include "tst_ordnerloeschen.moc"
