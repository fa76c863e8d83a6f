// Name ranks from the slots' collation keys against QCollator itself.

#include "folderlist/CollationKeys.h"
#include "folderlist/CollationOrder.h"
#include "folderlist/NameRanking.h"

#include <QCollator>
#include <QFile>
#include <QLocale>
#include <QtTest>
#include <random>

using namespace velmaro;

namespace {

int sign(qint64 v)
{
    return (v > 0) - (v < 0);
}

// Names whose keys agree for 8 bytes and more before they part, names equal
// at primary level (case, accents, "ß"/"ss"), duplicates, names one a start
// of another, and `rare` of every 1000 names with a character of unknown
// weight or bytes that are not UTF-8; two detached slots (full paths).
void makeSlots(FolderSlots& table, int count, int rare, unsigned seed)
{
    static const QList<QByteArray> names{"Sicherungskopie",
                                         "sicherungskopie",
                                         "Sicherungskopie2",
                                         "Sicherungskopien",
                                         "Sicherungskopie_alt",
                                         "Straße",
                                         "Strasse",
                                         "strasse",
                                         "Ölbild",
                                         "Oelbild",
                                         "ölbild",
                                         "a",
                                         "A",
                                         "ab",
                                         "a b",
                                         "a-b",
                                         "a.b",
                                         "_alt",
                                         "10",
                                         "9",
                                         "Übersichtsplan",
                                         "Uebersichtsplan",
                                         "Übersichtsplän",
                                         "Ёлка",
                                         "ёлка",
                                         "daten_1234567890a",
                                         "daten_1234567890",
                                         "Daten_1234567890a"};
    static const QList<QByteArray> unknown{"日本", "co\xcc\x88l", "cöl", "e\xff", "x\xe2\x82\xacy", "Ωmega"};
    std::mt19937 random(seed);
    table.add(FolderSlot::kNoParent, "/home/benutzer/", 15);
    table.add(FolderSlot::kNoParent, "/daten/Straße/", 15);
    for (int i = 2; i < count; ++i) {
        const bool odd = int(random() % 1000) < rare;
        const auto& list = odd ? unknown : names;
        const QByteArray name = list[qsizetype(random() % list.size())];
        table.add(random() % 2, name.constData(), std::size_t(name.size()));
    }
}

}  // namespace

class TestNameRanking : public QObject {
    Q_OBJECT
private slots:
    void ranksFollowTheCollator_data();
    void ranksFollowTheCollator();
};

void TestNameRanking::ranksFollowTheCollator_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("rare");
    QTest::addColumn<bool>("ranked");  // false: too many names without a key
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << 0 << true;
    QTest::newRow("German, names without a key") << QLocale(QLocale::German, QLocale::Germany) << 5 << true;
    QTest::newRow("German, too many without a key")
        << QLocale(QLocale::German, QLocale::Germany) << 200 << false;
    QTest::newRow("C: by code units") << QLocale::c() << 5 << true;
    QTest::newRow("Czech: no keys") << QLocale(QLocale::Czech, QLocale::CzechRepublic) << 0 << false;
}

// Equal names share a rank; otherwise the ranks order as the collator does.
void TestNameRanking::ranksFollowTheCollator()
{
    QFETCH(QLocale, locale);
    QFETCH(int, rare);
    QFETCH(bool, ranked);
    QLocale::setDefault(locale);
    FolderSlots table;
    makeSlots(table, 6000, rare, 23);
    const CollationOrder order;
    CollationKeys keys(order);
    keys.update(table);
    std::vector<quint32> ranks;
    QCOMPARE(NameRanking::rank(table, keys, order, ranks), ranked);
    if (!ranked)
        return;
    QCOMPARE(ranks.size(), std::size_t(table.size()));
    QCollator collator{QLocale()};
    for (quint32 i = 0; i + 1 < table.size(); ++i) {
        for (const quint32 j : {i + 1, quint32((i * 7919) % table.size())}) {
            const QString a = QFile::decodeName(table.rawName(i)), b = QFile::decodeName(table.rawName(j));
            const int truth = sign(collator.compare(a, b));
            if (truth != sign(qint64(ranks[i]) - qint64(ranks[j])))
                QFAIL(qPrintable(QStringLiteral("%1 / %2: collator %3").arg(a, b).arg(truth)));
        }
    }
}

QTEST_APPLESS_MAIN(TestNameRanking)
#include "tst_nameranking.moc"
