// The deletion routine's seven-argument entry and its folder requests on real
// temporary trees: the "*.*" pattern, the error number and
// text of the removal step, the question and error box.
// (Listed files: the engine and file view tests; the trash: the shell layer's.)
#include "actions/AllesLoeschen.h"
#include "engine/ErrorText.h"
#include "support/TestSupport.h"

#include <QtTest>

#include <cerrno>
#include <unistd.h>

using namespace velmaro;
using namespace velmaro::testsupport;

class TstOrdnerLoeschen : public QObject {
    Q_OBJECT

private:
    QByteArray root_;  // a fresh folder per test, ending in "/"
    QByteArray workDir_;

    QByteArray at(const char* relative) const { return root_ + relative; }
    // tree/: a/b/c.txt (5 bytes), d.txt, e/ (empty)
    QByteArray buildTree()
    {
        const QByteArray tree = at("tree/");
        for (const char* dir : {"", "a", "a/b", "e"})
            makeDir(tree + dir);
        makeFile(tree + "a/b/c.txt", "12345");
        makeFile(tree + "d.txt", "x");
        return tree;
    }
    bool quiet(const QByteArray& pattern, bool confirm = false, bool showErrors = false)
    {
        return Ordner_löschen(pattern, nullptr, confirm, false, false, false, showErrors);
    }

private slots:
    void initTestCase()
    {
        // A relative path must never reach the working folder: make it one we own.
        workDir_ = scratchFolder();
        QVERIFY(::chdir(workDir_.constData()) == 0);
    }
    void init() { root_ = scratchFolder(); }

    // "folder/*.*" deletes the folder with everything in it; any other
    // pattern, a file's name or a relative one, deletes nothing.
    void patternAndTheRemovalError()
    {
        const engine::ErrorInfo expected = engine::errorFromErrno(ENOENT);
        QVERIFY(!quiet(at("gone/*.*")));
        DeleteRequest gone;
        gone.folder = at("gone/");
        const DeleteOutcome missing = Ordner_löschen(gone);
        QVERIFY(!missing.ok);
        QCOMPARE(missing.errorNumber, 76);
        QCOMPARE(missing.errorText, QString::fromStdString(expected.text));
        const QByteArray tree = buildTree();
        QVERIFY(quiet(tree + "*.*"));
        QVERIFY(!exists(tree) && exists(root_));

        makeFile(at("x\xfe"), "abc");
        makeFile(workDir_ + "keep.txt", "k");
        QVERIFY(!quiet(at("x\xfe")));
        for (const char* relative : {"*.*", "keep.txt"})
            QVERIFY(!quiet(relative));
        QVERIFY(exists(at("x\xfe")) && exists(workDir_ + "keep.txt"));
    }

    // The question only when asked for, No is no error; the error box only
    // when asked for.
    void questionAndErrorBox()
    {
        const QByteArray tree = buildTree();
        platform::MsgBoxScript script;
        script.answer(7);
        QVERIFY(!quiet(tree + "*.*", true));
        QVERIFY(exists(tree + "a/b/c.txt"));
        script.answer(6);
        QVERIFY(quiet(tree + "*.*", true));
        QVERIFY(!exists(tree));
        QCOMPARE(script.calls().size(), 2);

        script.clear();
        QVERIFY(!quiet(at("gone/*.*")));
        QCOMPARE(script.calls().size(), 0);
        QVERIFY(!quiet(at("gone/*.*"), false, true));
        QCOMPARE(script.calls().size(), 1);
        QCOMPARE(script.calls().at(0).style, 16);
    }
};

VELMARO_TEST_CLASS(TstOrdnerLoeschen);
#include "tst_ordnerloeschen.moc"
