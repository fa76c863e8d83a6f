// The deletion routine on real temporary trees: flag arithmetic, folder and
// single-file patterns, the error number and text of the removal step, the
// trash, the question and the zero-byte mode.

#include "actions/AllesLoeschen.h"
#include "engine/ErrorText.h"
#include "platform/MsgBox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <thread>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmaro;
using engine::DeleteMode;

namespace {

bool exists(const QByteArray& raw) {
    struct stat st {};
    return ::lstat(raw.constData(), &st) == 0;
}

void makeDir(const QByteArray& raw) { QVERIFY2(::mkdir(raw.constData(), 0755) == 0, raw.constData()); }

void makeFile(const QByteArray& raw, const QByteArray& content = {}) {
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    QVERIFY2(fd >= 0, raw.constData());
    QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(fd);
}

}  // namespace

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
        makeDir(tree);
        makeDir(tree + "a");
        makeDir(tree + "a/b");
        makeFile(tree + "a/b/c.txt", "12345");
        makeFile(tree + "d.txt", "x");
        makeDir(tree + "e");
        return tree;
    }
    bool quiet(const QByteArray& pattern, DeleteMode mode = DeleteMode::Everything) {
        return Ordner_löschen(pattern, nullptr, false, false, false, false, false, mode);
    }

private slots:
    void initTestCase() {
        QVERIFY(home_.isValid());
        const QByteArray base = QFile::encodeName(home_.path());
        qputenv("HOME", base + "/home");
        qputenv("XDG_DATA_HOME", base + "/home/.local/share");
        qputenv("XDG_CONFIG_HOME", base + "/home/.config");
        QVERIFY(QDir().mkpath(home_.path() + "/home"));
        workDir_ = base + "/work";
        QVERIFY(QDir().mkpath(home_.path() + "/work"));
        // A relative path must never reach the working folder: make it one we own.
        QVERIFY(::chdir(workDir_.constData()) == 0);
    }

    void cleanupTestCase() {
        // Names that do not decode are beyond QTemporaryDir's clean-up.
        engine::deleteTree(QFile::encodeName(home_.path()).toStdString());
    }

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

    void folderPatternDeletesTreeAndFolder() {
        const QByteArray tree = buildTree();
        QVERIFY(quiet(tree + "*.*"));
        QCOMPARE(lastErrorNumber(), 0);
        QCOMPARE(lastErrorText(), QString());
        QVERIFY(!exists(tree));
        QVERIFY(exists(root_));
    }

    void missingFolderReportsRemovalError() {
        const engine::ErrorInfo expected = engine::errorFromErrno(ENOENT);
        QCOMPARE(expected.number, 76);
        QVERIFY(!quiet(at("gone/*.*")));
        QCOMPARE(lastErrorNumber(), 76);
        QCOMPARE(lastErrorText(), QString::fromStdString(expected.text));
        QVERIFY(!lastErrorText().isEmpty());
        // A success afterwards clears the error again.
        const QByteArray tree = buildTree();
        QVERIFY(quiet(tree + "*.*"));
        QCOMPARE(lastErrorNumber(), 0);
        QCOMPARE(lastErrorText(), QString());
    }

    void relativePatternTouchesNothing() {
        makeFile(workDir_ + "/keep.txt", "k");
        QVERIFY(!quiet("*.*"));
        QVERIFY(!quiet("keep.txt"));
        QVERIFY(lastErrorNumber() > 0);
        QVERIFY(exists(workDir_ + "/keep.txt"));
    }

    void singleFilePatternNeverRemovesAFolder() {
        const QByteArray folder = at("one/");
        makeDir(folder);
        makeFile(folder + "x.txt", "abc");
        QVERIFY(quiet(folder + "x.txt"));
        QCOMPARE(lastErrorNumber(), 0);
        QVERIFY(!exists(folder + "x.txt"));
        QVERIFY(exists(folder));  // now empty, and still there

        // A single-file pattern that names a folder deletes nothing.
        makeDir(folder + "sub");
        makeFile(folder + "sub/y.txt", "y");
        QVERIFY(!quiet(folder + "sub"));
        QVERIFY(lastErrorNumber() > 0);
        QVERIFY(exists(folder + "sub/y.txt"));
    }

    void oddNamesAreDeletedByTheirBytes() {
        const QByteArray odd = at("a\xff\nb\tc/");
        makeDir(odd);
        makeFile(odd + "f\xfe", "1");
        makeFile(odd + "-n", "2");
        QVERIFY(quiet(odd + "f\xfe"));
        QVERIFY(!exists(odd + "f\xfe"));
        QVERIFY(exists(odd + "-n"));
        QVERIFY(quiet(odd + "*.*"));
        QVERIFY(!exists(odd));
    }

    void trashMovesIntoTheHomeTrash() {
        const QByteArray tree = buildTree();
        QVERIFY(Ordner_löschen(tree + "*.*", nullptr, false, false, false, true, false));
        QCOMPARE(lastErrorNumber(), 0);
        QVERIFY(!exists(tree));
        const QByteArray trash = qgetenv("XDG_DATA_HOME") + "/Trash";
        QVERIFY(exists(trash + "/files/tree/a/b/c.txt"));
        QVERIFY(exists(trash + "/info/tree.trashinfo"));
        // Never "trashed" into the working folder.
        QVERIFY(!exists(workDir_ + "/files"));
        QVERIFY(!exists(workDir_ + "/info"));

        // A single file goes to the trash as well; its folder stays.
        makeFile(at("lone.txt"), "abc");
        QVERIFY(Ordner_löschen(at("lone.txt"), nullptr, false, false, false, true, false));
        QVERIFY(!exists(at("lone.txt")));
        QVERIFY(exists(trash + "/files/lone.txt"));
        QVERIFY(exists(root_));
    }

    void trashThatCannotBeCreatedFailsAndKeepsEverything() {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        const QByteArray blocker = root_ + "not-a-folder";
        makeFile(blocker, "x");
        qputenv("XDG_DATA_HOME", blocker + "/share");
        const QByteArray tree = buildTree();
        const bool ok = Ordner_löschen(tree + "*.*", nullptr, false, false, false, true, false);
        qputenv("XDG_DATA_HOME", saved);
        QVERIFY(!ok);
        QVERIFY(lastErrorNumber() > 0);
        QVERIFY(lastErrorText().contains(QStringLiteral("Papierkorb")));
        QVERIFY(exists(tree + "a/b/c.txt"));
        QVERIFY(!exists(workDir_ + "/files"));
        QVERIFY(!exists(workDir_ + "/info"));
        QVERIFY(!exists(tree + "files"));
    }

    void confirmNoKeepsEverything() {
        const QByteArray tree = buildTree();
        {
            platform::MsgBoxScript script;
            script.answer(7);
            QVERIFY(!Ordner_löschen(tree + "*.*", nullptr, true, false, false, false, false));
            QCOMPARE(script.calls().size(), 1);
            QCOMPARE(script.calls().at(0).style, 292);
            QVERIFY(script.calls().at(0).prompt.contains(QFile::decodeName(tree)));
        }
        QCOMPARE(lastErrorNumber(), 0);
        QCOMPARE(lastErrorText(), QString());
        QVERIFY(exists(tree + "a/b/c.txt"));
        QVERIFY(exists(tree + "d.txt"));
        {
            platform::MsgBoxScript script;
            script.answer(6);
            QVERIFY(Ordner_löschen(tree + "*.*", nullptr, true, false, false, false, false));
        }
        QVERIFY(!exists(tree));
    }

    void errorsBoxOnlyWhenAsked() {
        platform::MsgBoxScript script;
        QVERIFY(!quiet(at("gone/*.*")));
        QCOMPARE(script.calls().size(), 0);
        QVERIFY(!Ordner_löschen(at("gone/*.*"), nullptr, false, false, false, false, true));
        QCOMPARE(script.calls().size(), 1);
        QCOMPARE(script.calls().at(0).style, 16);
        QVERIFY(script.calls().at(0).prompt.contains(lastErrorText()));
        QVERIFY(script.calls().at(0).prompt.contains(QStringLiteral("gone")));
    }

    void zeroModeKeepsContent() {
        const QByteArray tree = at("zero/");
        makeDir(tree);
        makeDir(tree + "empty");
        makeDir(tree + "nested");
        makeDir(tree + "nested/deeper");
        makeFile(tree + "nested/deeper/empty.txt");
        makeDir(tree + "three");
        makeFile(tree + "three/x", "abc");
        QVERIFY(!quiet(tree + "*.*", DeleteMode::ZeroByteOnly));
        QVERIFY(lastErrorNumber() > 0);
        QVERIFY(exists(tree + "three/x"));
        QVERIFY(!exists(tree + "empty"));
        QVERIFY(!exists(tree + "nested"));

        // The 3-byte folder on its own is kept whole.
        QVERIFY(!quiet(tree + "three/*.*", DeleteMode::ZeroByteOnly));
        QVERIFY(exists(tree + "three/x"));

        // A tree that holds nothing goes completely.
        QVERIFY(::unlink((tree + "three/x").constData()) == 0);
        QVERIFY(quiet(tree + "*.*", DeleteMode::ZeroByteOnly));
        QCOMPARE(lastErrorNumber(), 0);
        QVERIFY(!exists(tree));
    }

    // Writers keep adding 1-byte files into the zero-byte folders while the
    // zero-byte pass runs: every file that was written must survive.
    void zeroPassNeverLosesAFileWrittenMeanwhile() {
        const QByteArray tree = at("race/");
        const QByteArray staging = at("staging/");
        makeDir(tree);
        makeDir(staging);
        std::vector<QByteArray> folders;
        for (int i = 0; i < 300; ++i) {
            const QByteArray top = tree + "z" + QByteArray::number(i) + "/";
            makeDir(top);
            makeDir(top + "a");
            makeDir(top + "a/b");
            folders.insert(folders.end(), {top, top + "a/", top + "a/b/"});
        }
        std::atomic<bool> stop{false};
        std::atomic<int> started{0};
        std::vector<std::vector<QByteArray>> written(4);
        std::vector<std::thread> writers;
        for (int t = 0; t < 4; ++t) {
            writers.emplace_back([&, t] {
                std::mt19937 random(unsigned(t + 1));
                for (int n = 0; !stop.load(); ++n) {
                    const QByteArray name = "w" + QByteArray::number(t) + "_" + QByteArray::number(n);
                    const QByteArray source = staging + name;
                    const int fd = ::open(source.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
                    if (fd < 0 || ::write(fd, "1", 1) != 1)
                        break;
                    ::close(fd);
                    const QByteArray target = folders[random() % folders.size()] + name;
                    if (::rename(source.constData(), target.constData()) == 0) {
                        written[t].push_back(target);  // appears whole, with its byte
                        started.fetch_add(1);
                    } else
                        ::unlink(source.constData());
                }
            });
        }
        while (started.load() < 20)  // the writers are under way
            std::this_thread::yield();
        const bool ok = quiet(tree + "*.*", DeleteMode::ZeroByteOnly);
        stop.store(true);
        for (std::thread& writer : writers)
            writer.join();
        qsizetype total = 0, lost = 0;
        for (const auto& files : written)
            for (const QByteArray& file : files) {
                ++total;
                lost += exists(file) ? 0 : 1;
            }
        qInfo("zero-byte pass under writers: %lld files written, %lld lost", qlonglong(total), qlonglong(lost));
        QVERIFY(!ok);  // the written files keep their folders
        QVERIFY(total > 0);
        QCOMPARE(lost, qsizetype(0));
    }
};

QTEST_MAIN(TstOrdnerLoeschen)
#include "tst_ordnerloeschen.moc"
