// FileListe on real temporary folders: what it lists, in which order, and
// when it tells about a new path; the size, date and time texts of its rows.
#include "fileview/FileDateText.h"
#include "fileview/FileListe.h"
#include "fileview/FileSizeText.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace velmaro;
using namespace velmaro::testsupport;

namespace {

QList<QByteArray> names(const FileListe& list)
{
    return QList<QByteArray>(list.entries().begin(), list.entries().end());
}

}  // namespace

class TestFileListe : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    // A fresh folder `name` holding empty files `files`.
    QByteArray folder(const char* name, std::initializer_list<const char*> files = {})
    {
        const QByteArray f = QFile::encodeName(dir_.path()) + '/' + name + '/';
        makeDir(f);
        for (const char* n : files)
            makeFile(f + n);
        return f;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(dir_.isValid());
    }
    void cleanupTestCase() { removeTree(dir_.path()); }

    void listsEveryNonFolderEntryInCollationOrder()
    {
        const QByteArray f = folder(
            "mixed", {"b.txt", ".hidden", "A.txt", "-dash", "zz", "\xc3\x84pfel", "new\nline", "raw\xff"});
        for (const char* sub : {"sub", ".hiddendir"})
            makeDir(f + sub);
        QCOMPARE(::symlink("b.txt", (f + "link-to-file").constData()), 0);
        QCOMPARE(::symlink("sub", (f + "link-to-folder").constData()), 0);
        QCOMPARE(::mkfifo((f + "pipe").constData(), 0644), 0);

        FileListe list;
        QCOMPARE(list.setPath(f), 0);
        QCOMPARE(list.count(), qint64(11));
        const QList<QByteArray> got = names(list);
        QVERIFY(!got.contains("sub") && !got.contains(".hiddendir"));
        for (const char* n : {".hidden", "-dash", "new\nline", "raw\xff", "link-to-folder", "pipe"})
            QVERIFY2(got.contains(n), n);
        // German collation: case and umlaut fold to their letters.
        QVERIFY(got.indexOf("A.txt") < got.indexOf("\xc3\x84pfel"));
        QVERIFY(got.indexOf("\xc3\x84pfel") < got.indexOf("b.txt"));
        QVERIFY(got.indexOf("b.txt") < got.indexOf("zz"));
        QCOMPARE(list.entry(0), got.first());
        QVERIFY(list.entry(11).isEmpty() && list.entry(-1).isEmpty());

        QCOMPARE(list.setPath(folder("onlysubs").chopped(1)), 0);
        makeDir(list.path() + "one");
        QCOMPARE(list.refresh(), 0);
        QCOMPARE(list.count(), qint64(0));
        QVERIFY(list.path().endsWith("onlysubs/"));
        QCOMPARE(list.fullPath("x"), list.path() + "x");
        QCOMPARE(FileListe::joinPath("/", "Test.txt"), QByteArray("/Test.txt"));
        QCOMPARE(FileListe::joinPath("/data", "a"), QByteArray("/data/a"));
    }

    void pathChangedOnlyForAnotherReadableFolder()
    {
        const QByteArray a = folder("sigA", {"one"}), b = folder("sigB");
        FileListe list;
        QSignalSpy spy(&list, &FileListe::pathChanged);
        int countWhenSignalled = -1;
        connect(&list, &FileListe::pathChanged, this, [&] { countWhenSignalled = int(list.count()); });
        QCOMPARE(list.setPath(a), 0);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(countWhenSignalled, 1);          // entries are read before the signal
        QCOMPARE(list.setPath(a.chopped(1)), 0);  // the same folder without "/"
        QCOMPARE(spy.count(), 1);
        QCOMPARE(list.path(), a);
        // A missing folder or a file fails and keeps the state.
        QCOMPARE(list.setPath(a + "does-not-exist/"), ENOENT);
        QCOMPARE(list.setPath(a + "one"), ENOTDIR);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(list.path(), a);
        QCOMPARE(list.count(), qint64(1));
        QCOMPARE(list.setPath(b), 0);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(list.count(), qint64(0));
    }

    void refreshSeesChangesAndAGoneFolder()
    {
        const QByteArray a = folder("refresh", {"one"});
        FileListe list;
        QCOMPARE(list.setPath(a), 0);
        QSignalSpy spy(&list, &FileListe::pathChanged);
        makeFile(a + "two");
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
        FileListe list;
        QCOMPARE(list.pattern(), QStringLiteral("*.*"));
        QCOMPARE(list.setPath(folder("pattern", {"a.txt", "b.log", "noext"})), 0);
        QCOMPARE(list.count(), qint64(3));  // "*.*" admits names without a dot too
        list.setPattern(QStringLiteral("*.txt"));
        QCOMPARE(list.count(), qint64(3));  // takes effect with the next read
        QCOMPARE(list.refresh(), 0);
        QCOMPARE(names(list), QList<QByteArray>{"a.txt"});
    }

    void sizeRule_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QString>("text");
        const qint64 gib = qint64(1) << 30;
        QTest::newRow("empty") << qint64(0) << "0,00 KB";
        QTest::newRow("500 bytes") << qint64(500) << "0,49 KB";
        QTest::newRow("1023 bytes") << qint64(1023) << "1,00 KB";
        QTest::newRow("1 KB") << qint64(1024) << "1 KB";
        QTest::newRow("1536 bytes rounds") << qint64(1536) << "2 KB";
        QTest::newRow("1040000 bytes") << qint64(1040000) << "1.016 KB";
        QTest::newRow("just below 1 MB") << qint64(1048575) << "1.024 KB";
        QTest::newRow("1 MB") << qint64(1048576) << "1 MB";
        QTest::newRow("just below 1 GB") << qint64(1073741823) << "1.024 MB";
        QTest::newRow("1.5 GB") << qint64(1610612736) << "1,5 GB";
        QTest::newRow("2 GiB (the old limit)") << 2 * gib << "2,0 GB";
        QTest::newRow("5 TB groups") << 5120 * gib << "5.120,0 GB";
        QTest::newRow("negative") << qint64(-1) << "> 2 GB (Error)";
    }
    void sizeRule()
    {
        QFETCH(qint64, length);
        QFETCH(QString, text);
        QCOMPARE(FileSizeText::of(length), text);
    }

    void otherLocaleSigns()
    {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(FileSizeText::of(1610612736, english) + FileSizeText::of(1048575, english),
                 QStringLiteral("1.5 GB1,024 KB"));
    }

    void dateAndTime_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::newRow("December afternoon") << QDateTime(QDate(2026, 12, 5), QTime(14, 3, 9)) << "05.Dez.26"
                                            << "14:03:09";
        QTest::newRow("March (umlaut)") << QDateTime(QDate(2024, 3, 31), QTime(0, 0, 0)) << "31.März.24"
                                        << "00:00:00";
        QTest::newRow("May (no dot)") << QDateTime(QDate(2009, 5, 1), QTime(23, 59, 59)) << "01.Mai.09"
                                      << "23:59:59";
        QTest::newRow("invalid: empty cells") << QDateTime() << ""
                                              << "";
    }
    void dateAndTime()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QCOMPARE(FileDateText::date(when), date);
        QCOMPARE(FileDateText::time(when), time);
    }
};

QTEST_GUILESS_MAIN(TestFileListe)
#include "tst_fileliste.moc"
