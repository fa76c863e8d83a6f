// Row texts of the folder list: size text, failure texts, name rule, times.
#include "folderlist/FolderStore.h"
#include "engine/ErrorText.h"
#include "engine/FolderTree.h"
#include "rows/FolderRowBuilder.h"
#include "folderlist/RowBatchBuilder.h"

#include <QFile>
#include <QtTest>
#include <cerrno>
#include <limits>

using velmaro::FolderRow;
using velmaro::FolderRowBuilder;
using velmaro::FolderStore;
using velmaro::RowBatchBuilder;
using velmaro::engine::FolderRecord;
using velmaro::engine::SizeState;

namespace {
FolderRecord record(const std::string& path, uint64_t bytes = 0)
{
    FolderRecord r;
    r.path = path;
    r.bytes = bytes;
    return r;
}
}  // namespace

class TestFolderRowBuilder : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void sizeText_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << quint64(0) << "0";
        QTest::newRow("5 bytes round down to 0") << quint64(5) << "0";
        QTest::newRow("6 bytes") << quint64(6) << "0,01";
        QTest::newRow("half rounds up") << quint64(128) << "0,13";
        QTest::newRow("1 KB") << quint64(1024) << "1";
        QTest::newRow("1.0098 KB") << quint64(1034) << "1,01";
        QTest::newRow("no trailing zero") << quint64(1536) << "1,5";
        QTest::newRow("rounds up to a whole") << quint64(1023) << "1";
        QTest::newRow("1 MB without grouping") << quint64(1048576) << "1024";
        QTest::newRow("largest size, no overflow")
            << std::numeric_limits<quint64>::max() << "18014398509481984";
    }
    void sizeText()
    {
        QFETCH(quint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(FolderRowBuilder().sizeText(bytes), text);
        const FolderRow row = FolderRowBuilder().build(record("/x/", bytes));
        QCOMPARE(row.sizeText, text);
        QVERIFY(row.sizeKnown);
        QCOMPARE(row.bytes, bytes);
    }

    void sizeTextFollowsTheLocale()
    {
        const FolderRowBuilder english{QLocale(QLocale::English, QLocale::UnitedStates)};
        QCOMPARE(english.sizeText(1536), QString("1.5"));
        QCOMPARE(english.sizeText(1048576000), QString("1024000"));
    }

    void stateTexts_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("error");
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<bool>("zeroByte");  // as the record says
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("rowZeroByte");
        const int known = int(SizeState::Complete), failed = int(SizeState::Failed);
        QTest::newRow("3 bytes show 0 but hold data") << known << 0 << quint64(3) << false << "0" << false;
        QTest::newRow("zero-byte by the record") << known << 0 << quint64(0) << true << "0" << true;
        QTest::newRow("denied, never zero-byte")
            << failed << EACCES << quint64(0) << true << "Zugriff verweigert" << false;
        QTest::newRow("incomplete") << int(SizeState::Incomplete) << 0 << quint64(0) << true
                                    << "Größe unvollständig (Suche abgebrochen)" << false;
    }
    void stateTexts()
    {
        QFETCH(int, state);
        QFETCH(int, error);
        QFETCH(quint64, bytes);
        QFETCH(bool, zeroByte);
        QFETCH(QString, text);
        QFETCH(bool, rowZeroByte);
        FolderRecord r = record("/t/x/", bytes);
        r.sizeState = SizeState(state);
        r.error = error;
        r.zeroByte = zeroByte;
        const FolderRow row = FolderRowBuilder().build(r);
        QCOMPARE(row.sizeText, text);
        QCOMPARE(row.zeroByte, rowZeroByte);
        QCOMPARE(row.sizeKnown, SizeState(state) == SizeState::Complete);
        if (SizeState(state) == SizeState::Failed) {
            QCOMPARE(text, QString::fromStdString(velmaro::engine::errorFromErrno(error).text));
            r.error = 0;  // never an empty cell
            QVERIFY(!FolderRowBuilder().build(r).sizeText.isEmpty());
        }
    }

    void nameRule_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QByteArray>("rawPath");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("root") << QByteArray("/") << QByteArray("/") << QByteArray("/");
        QTest::newRow("deep") << QByteArray("/a/b/Daten/") << QByteArray("/a/b/Daten/")
                              << QByteArray("Daten");
        QTest::newRow("no trailing slash")
            << QByteArray("/a/Daten") << QByteArray("/a/Daten/") << QByteArray("Daten");
        QTest::newRow("newline") << QByteArray("/a/x\ny/") << QByteArray("/a/x\ny/") << QByteArray("x\ny");
        QTest::newRow("not utf-8") << QByteArray("/a/\xff\xfeZ/") << QByteArray("/a/\xff\xfeZ/")
                                   << QByteArray("\xff\xfeZ");
    }
    void nameRule()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QByteArray, rawPath);
        QFETCH(QByteArray, name);
        const FolderRow row = FolderRowBuilder().build(record(raw.toStdString()));
        QCOMPARE(row.rawPath, rawPath);  // the exact bytes for file operations
        QCOMPARE(row.path, QFile::decodeName(rawPath));
        QCOMPARE(row.name, QFile::decodeName(name));
        QVERIFY(row.path.endsWith('/'));
        QVERIFY(!row.name.isEmpty());
    }

    // A walk's records (every folder after its subfolders) become slots of a
    // tree, ancestors filled last, across batches; each row then shows
    // exactly what the record gives as a whole row.
    void batchesKeepTheTree()
    {
        using velmaro::engine::FileTime;
        using velmaro::engine::FolderTree;
        FolderTree tree("/t/w");
        const auto times = [](uint64_t inode, uint64_t dev) {  // a subvolume: devices differ
            return FolderTree::Times{std::nullopt, FileTime{1700000000 + int64_t(inode), 0}, inode, dev, {}};
        };
        FolderTree::Times born = times(102, 41);
        born.created = FileTime{1600000000, 500000000};
        const auto root = tree.addRoot(times(100, 40));
        const auto a = tree.addChild(root, "a", times(101, 41));
        const auto d = tree.addChild(root, "d", times(104, 40));
        const auto e = tree.addChild(root, "e\nf", times(105, 41));
        const auto bc = tree.addChild(a, "b\tc", times(103, 40));
        const auto ff = tree.addChild(a, "\xff", born);
        std::vector<FolderRecord> walk;
        tree.finishListing(bc, {10, false}, walk);
        tree.finishListing(ff, {}, walk);
        const std::size_t firstBatch = walk.size();
        tree.finishListing(a, {1990, false}, walk);
        tree.finishListing(d, {0, true, SizeState::Failed, EACCES}, walk);
        tree.finishListing(e, {0, true, SizeState::Incomplete}, walk);
        tree.finishListing(root, {}, walk);
        QCOMPARE(walk.size(), std::size_t(6));

        RowBatchBuilder builder;
        FolderStore store;
        std::vector<quint32> rows;
        QVERIFY(store.append(builder.build({walk.begin(), walk.begin() + firstBatch}), rows));
        QCOMPARE(store.rowCount(), 2);
        QCOMPARE(store.slotCount(), 4u);  // the root and "a" wait for their records
        QVERIFY(store.append(builder.build({walk.begin() + firstBatch, walk.end()}), rows));
        QCOMPARE(rows.size(), walk.size());
        QCOMPARE(store.slotCount(), quint32(walk.size()));
        QCOMPARE(store.rootSlot(), rows.back());
        QCOMPARE(store.zeroByteCount(), 1);
        for (std::size_t i = 0; i < walk.size(); ++i) {
            const FolderRow got = store.row(rows[i]), want = FolderRowBuilder().build(walk[i]);
            QCOMPARE(got.rawPath, want.rawPath);
            QCOMPARE(got.path, want.path);
            QCOMPARE(got.name, want.name);
            QCOMPARE(got.sizeText, want.sizeText);
            QCOMPARE(got.bytes, want.bytes);
            QCOMPARE(got.sizeKnown, want.sizeKnown);
            QCOMPARE(got.zeroByte, want.zeroByte);
            QCOMPARE(got.createdMs, want.createdMs);
            QCOMPARE(got.accessedMs, want.accessedMs);
            QVERIFY(got.id.sameAs(want.id) && got.id.dev == want.id.dev);
            QCOMPARE(got.isRoot, want.isRoot);
        }
        QCOMPARE(store.row(rows[0]).rawPath, QByteArray("/t/w/a/b\tc/"));
    }

    void times()
    {
        FolderRecord r = record("/t/");
        r.accessed = {1700000000, 999999999};
        FolderRow row = FolderRowBuilder().build(r);
        QCOMPARE(row.createdMs, FolderRow::kNoTime);  // no birth time: empty cell, row stays
        QCOMPARE(row.accessedMs, qint64(1700000000999));

        r.created = velmaro::engine::FileTime{1600000000, 500000000};
        row = FolderRowBuilder().build(r);
        QCOMPARE(row.createdMs, qint64(1600000000500));
    }
};

QTEST_GUILESS_MAIN(TestFolderRowBuilder)
#include "tst_folderrowbuilder.moc"
