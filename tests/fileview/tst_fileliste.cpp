// FileListe on real temporary folders: what it lists, in which order, and
// when it tells about a new path.
#include "engine/SafeDelete.h"
#include "fileview/FileListe.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>


#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmaro;

namespace {

void touch(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, path.constData());
    ::close(fd);
}

QList<QByteArray> names(const FileListe& list)
{
    return QList<QByteArray>(list.entries().begin(), list.entries().end());
}

}  // namespace

class TestFileListe : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QByteArray root() const { return QFile::encodeName(dir_.path()) + '/'; }

private slots:
    // Names that are not UTF-8 defeat QDir::removeRecursively: remove by descriptor.
    void cleanupTestCase() { engine::deleteTree(QFile::encodeName(dir_.path()).toStdString()); }

    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(dir_.isValid());
    }

    void listsEveryNonFolderEntryInCollationOrder()
    {
        const QByteArray f = root() + "mixed/";
        QCOMPARE(::mkdir(f.constData(), 0755), 0);
        for (const char* n : {"b.txt", ".hidden", "A.txt", "-dash", "zz", "\xc3\x84pfel"})
            touch(f + n);
        touch(f + "new\nline");
        touch(f + "raw\xff");
        QCOMPARE(::mkdir((f + "sub").constData(), 0755), 0);
        QCOMPARE(::mkdir((f + ".hiddendir").constData(), 0755), 0);
        QCOMPARE(::symlink("b.txt", (f + "link-to-file").constData()), 0);
        QCOMPARE(::symlink("sub", (f + "link-to-folder").constData()), 0);
        QCOMPARE(::mkfifo((f + "pipe").constData(), 0644), 0);

        FileListe list;
        QCOMPARE(list.setPath(f), 0);
        QCOMPARE(list.count(), qint64(11));
        const QList<QByteArray> got = names(list);
        QVERIFY(!got.contains("sub"));
        QVERIFY(!got.contains(".hiddendir"));
        for (const char* n : {".hidden", "-dash", "new\nline", "raw\xff", "link-to-folder", "pipe"})
            QVERIFY2(got.contains(n), n);
        // German collation: case and umlaut fold to their letters, punctuation first.
        QVERIFY(got.indexOf("A.txt") < got.indexOf("\xc3\x84pfel"));
        QVERIFY(got.indexOf("\xc3\x84pfel") < got.indexOf("b.txt"));
        QVERIFY(got.indexOf("b.txt") < got.indexOf("zz"));
        QCOMPARE(list.entry(0), got.first());
        QVERIFY(list.entry(11).isEmpty());
        QVERIFY(list.entry(-1).isEmpty());
    }

    void pathAlwaysEndsInSlashAndJoinsWithoutDoubling()
    {
        FileListe list;
        QCOMPARE(list.setPath(QFile::encodeName(dir_.path())), 0);
        QVERIFY(list.path().endsWith('/'));
        QCOMPARE(list.fullPath("x"), root() + "x");
        QCOMPARE(FileListe::joinPath("/", "Test.txt"), QByteArray("/Test.txt"));
        QCOMPARE(FileListe::joinPath("/data", "a"), QByteArray("/data/a"));
    }

    void emptyFolderAndOnlySubfolders()
    {
        const QByteArray f = root() + "onlysubs/";
        QCOMPARE(::mkdir(f.constData(), 0755), 0);
        QCOMPARE(::mkdir((f + "one").constData(), 0755), 0);
        FileListe list;
        QCOMPARE(list.setPath(f), 0);
        QCOMPARE(list.count(), qint64(0));
    }

    void pathChangedOnlyForAnotherFolder()
    {
        const QByteArray a = root() + "sigA/", b = root() + "sigB/";
        QCOMPARE(::mkdir(a.constData(), 0755), 0);
        QCOMPARE(::mkdir(b.constData(), 0755), 0);
        touch(a + "one");
        FileListe list;
        QSignalSpy spy(&list, &FileListe::pathChanged);
        int countWhenSignalled = -1;
        connect(&list, &FileListe::pathChanged, this,
                [&] { countWhenSignalled = int(list.count()); });
        QCOMPARE(list.setPath(a), 0);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(countWhenSignalled, 1);  // entries are read before the signal
        QCOMPARE(list.setPath(a.chopped(1)), 0);  // the same folder without "/"
        QCOMPARE(spy.count(), 1);
        QCOMPARE(list.setPath(b), 0);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(list.count(), qint64(0));
    }

    void missingFolderFailsAndKeepsState()
    {
        const QByteArray a = root() + "keep/";
        QCOMPARE(::mkdir(a.constData(), 0755), 0);
        touch(a + "f");
        FileListe list;
        QCOMPARE(list.setPath(a), 0);
        QSignalSpy spy(&list, &FileListe::pathChanged);
        QCOMPARE(list.setPath(root() + "does-not-exist/"), ENOENT);
        QCOMPARE(list.setPath(a + "f"), ENOTDIR);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(list.path(), a);
        QCOMPARE(list.count(), qint64(1));
    }

    void refreshSeesChangesAndAGoneFolder()
    {
        const QByteArray a = root() + "refresh/";
        QCOMPARE(::mkdir(a.constData(), 0755), 0);
        touch(a + "one");
        FileListe list;
        QCOMPARE(list.setPath(a), 0);
        QSignalSpy spy(&list, &FileListe::pathChanged);
        touch(a + "two");
        QCOMPARE(::unlink((a + "one").constData()), 0);
        QCOMPARE(list.refresh(), 0);
        QCOMPARE(names(list), QList<QByteArray>{"two"});
        QCOMPARE(::unlink((a + "two").constData()), 0);
        QCOMPARE(::rmdir(a.constData()), 0);
        QCOMPARE(list.refresh(), ENOENT);
        QCOMPARE(list.count(), qint64(0));
        QCOMPARE(spy.count(), 0);
    }

    void patternFilters()
    {
        const QByteArray a = root() + "pattern/";
        QCOMPARE(::mkdir(a.constData(), 0755), 0);
        for (const char* n : {"a.txt", "b.log", "noext"})
            touch(a + n);
        FileListe list;
        QCOMPARE(list.pattern(), QStringLiteral("*.*"));
        QCOMPARE(list.setPath(a), 0);
        QCOMPARE(list.count(), qint64(3));  // "*.*" admits names without a dot too
        list.setPattern(QStringLiteral("*.txt"));
        QCOMPARE(list.count(), qint64(3));  // takes effect with the next read
        QCOMPARE(list.refresh(), 0);
        QCOMPARE(names(list), QList<QByteArray>{"a.txt"});
    }
};

QTEST_GUILESS_MAIN(TestFileListe)
#include "tst_fileliste.moc"
