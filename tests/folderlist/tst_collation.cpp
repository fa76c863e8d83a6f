// The fast collation order and the text ranks against QCollator itself.

#include "folderlist/CollationOrder.h"
#include "folderlist/CollationSort.h"
#include "folderlist/PathRanking.h"
#include "folderlist/TextRanking.h"

#include <QCollator>
#include <QFile>
#include <QLocale>
#include <QtTest>
#include <functional>
#include <numeric>
#include <random>

using namespace velmaro;

namespace {

int sign(int v)
{
    return (v > 0) - (v < 0);
}

// Texts that share prefixes, with case and accent variants, "ß"/"ss",
// punctuation, characters outside Latin-1 and duplicates.
QStringList makeTexts(int count, unsigned seed)
{
    static const QStringList parts{"apfel",  "Apfel",   "Äpfel",     "äpfel",  "Birne",   "birne", "Zebra",
                                   "Straße", "Strasse", "strasse",   "Ölbild", "Oelbild", "_alt",  "-neu",
                                   "a b",    "a/b",     "a.b",       "2024",   "10",      "9",     "€uro",
                                   "Ωmega",  "日本",    "co\u0308l", "cöl",    "ŒUVRE",   "zz",    " ",
                                   "/",      "Ærø",     "ø",         "ÿ"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, int(parts.size()) - 1);
    std::uniform_int_distribution<int> length(1, 5);
    QStringList texts;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && random() % 7 == 0) {
            texts.append(texts.at(int(random() % texts.size())));  // a duplicate
            continue;
        }
        QString text = i % 3 ? QStringLiteral("/home/benutzer/") : QString();
        for (int n = length(random); n > 0; --n)
            text += parts.at(pick(random)) + (random() % 2 ? "/" : "");
        texts.append(text);
    }
    return texts;
}

// Ranks must order exactly as the collator does, equal texts sharing a rank.
void expectRanksMatchCollator(const QStringList& texts, const std::function<quint32(int)>& rankOf)
{
    QCollator collator{QLocale()};
    for (int i = 0; i + 1 < texts.size(); ++i) {
        for (int j : {i + 1, int((i * 7919) % texts.size())}) {
            const int truth = sign(collator.compare(texts[i], texts[j]));
            const int got = sign(int(qint64(rankOf(i)) - qint64(rankOf(j))));
            if (truth != got)
                QFAIL(qPrintable(QStringLiteral("%1 / %2: collator %3, ranks %4")
                                     .arg(texts[i], texts[j])
                                     .arg(truth)
                                     .arg(got)));
        }
    }
}

void expectRanksMatchCollator(const QStringList& texts, const TextRanking& ranking)
{
    expectRanksMatchCollator(texts, [&ranking](int i) { return ranking.rank(quint32(i)); });
}

// A folder tree of names that part at primary level only after case,
// accents or "ß", that hold blanks and punctuation sorting around "/",
// and, rarely (the folders beside them are then ranked by the collator),
// characters of unknown weight, tab, newline and bytes that are not UTF-8.
// Every fifth folder is no row (its record has not arrived).
void makeTree(FolderSlots& table, std::vector<quint32>& rows, int count, unsigned seed)
{
    static const QList<QByteArray> names{"Foto",       "foto", "Föto",   "a",       "a b",     "a-b", "ab",
                                         "a.b",        "a_b",  "Straße", "Strasse", "strasse", "10",  "9",
                                         ".versteckt", "_alt", "Ölbild", "Oelbild", "zz",      "A",   "Ёlka"};
    static const QList<QByteArray> rare{"日本", "co\xcc\x88l", "x\ty", "z\nz", "e\xff"};
    std::mt19937 random(seed);
    table.add(FolderSlot::kNoParent, "/home/benutzer/", 15);
    table.add(FolderSlot::kNoParent, "/daten/", 7);
    for (int i = 2; i < count; ++i) {
        const quint32 recent = table.size() - 1 - quint32(random() % std::min<quint32>(table.size(), 30));
        const quint32 parent = random() % 4 ? recent : quint32(random() % table.size());
        const auto& list = random() % 60 ? names : rare;
        const QByteArray& name = list[qsizetype(random() % list.size())];
        table.add(parent, name.constData(), std::size_t(name.size()));
    }
    for (quint32 s = 0; s < table.size(); ++s)
        if (s % 5 != 4)
            rows.push_back(s);
}

}  // namespace

class TestCollation : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void germanUsesFastPath();
    void compareMatchesCollator();
    void sortMatchesCollator();
    void ranksFromScratchAndIncremental();
    void ranksInOtherScriptsAndLocales_data();
    void ranksInOtherScriptsAndLocales();
    void pathRanksFollowTheCollator_data();
    void pathRanksFollowTheCollator();
};

void TestCollation::germanUsesFastPath()
{
    const CollationOrder order;
    QVERIFY(order.fast());
    QVERIFY(order.prefix(u"Ёлка") != 0 && order.prefix(u"Ёлка") == order.prefix(u"ёлка"));
    QVERIFY(order.separatorWeight() != 0);  // paths rank through the folder tree
}

void TestCollation::compareMatchesCollator()
{
    const CollationOrder order;
    QCollator collator{QLocale()};
    const QStringList texts = makeTexts(3000, 7);
    for (int i = 0; i + 1 < texts.size(); ++i) {
        const QString& a = texts[i];
        const QString& b = texts[i + 1];
        QCOMPARE(sign(order.compare(a, b)), sign(collator.compare(a, b)));
        const quint64 pa = order.prefix(a), pb = order.prefix(b);
        if (pa != pb && CollationOrder::prefixDecides(pa, pb))
            QCOMPARE(pa < pb ? -1 : 1, sign(collator.compare(a, b)));
    }
}

void TestCollation::sortMatchesCollator()
{
    const CollationOrder order;
    QCollator collator{QLocale()};
    const QStringList texts = makeTexts(20000, 11);
    std::vector<QStringView> views(texts.begin(), texts.end());
    std::vector<quint32> rows(views.size());
    std::iota(rows.begin(), rows.end(), 0);
    const CollationSort::Result sorted = CollationSort::sort(order, views, rows, 0);
    QCOMPARE(sorted.rows.size(), rows.size());
    for (size_t i = 1; i < sorted.rows.size(); ++i) {
        const QString& a = texts[int(sorted.rows[i - 1])];
        const QString& b = texts[int(sorted.rows[i])];
        const int c = collator.compare(a, b);
        QVERIFY2(c <= 0, qPrintable(a + " > " + b));
        QCOMPARE(bool(sorted.equalToPrevious[i]), c == 0);
        if (c == 0)
            QVERIFY(sorted.rows[i - 1] < sorted.rows[i]);  // equal texts by row
    }
}

void TestCollation::ranksFromScratchAndIncremental()
{
    const QStringList texts = makeTexts(6000, 3);
    const auto textOf = [&texts](quint32 row) { return QStringView(texts[int(row)]); };
    TextRanking whole;
    whole.update(quint32(texts.size()), textOf);
    expectRanksMatchCollator(texts, whole);

    TextRanking stepwise;  // as during a scan: first a block, then small batches
    stepwise.update(3000, textOf);
    for (quint32 count = 3100; count <= quint32(texts.size()); count += 100)
        stepwise.update(count, textOf);
    QCOMPARE(stepwise.ranked(), quint32(texts.size()));
    expectRanksMatchCollator(texts, stepwise);
}

// Names in a script outside the known set, and locales with their own
// letters and contractions, still rank as their collator orders.
void TestCollation::ranksInOtherScriptsAndLocales_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("fast");  // -1: either way
    QTest::newRow("German, foreign scripts") << QLocale(QLocale::German, QLocale::Germany) << 1;
    QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden) << -1;
    QTest::newRow("Czech: \"ch\" is one letter") << QLocale(QLocale::Czech, QLocale::CzechRepublic) << 0;
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << -1;
    QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia) << 1;
}

void TestCollation::ranksInOtherScriptsAndLocales()
{
    QFETCH(QLocale, locale);
    QFETCH(int, fast);
    QLocale::setDefault(locale);
    QStringList texts = makeTexts(1500, 5);
    texts << "chata"
          << "hrad"
          << "cesta"
          << "ärlig"
          << "zebra"
          << "åska"
          << "ö";
    std::mt19937 random(9);
    const QString letters = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЖЯ日本語한국어");
    for (int i = 0; i < 1500; ++i) {
        QString text = QStringLiteral("/home/");
        for (int n = 1 + int(random() % 8); n > 0; --n)
            text += letters[qsizetype(random() % letters.size())];
        texts.append(text + (random() % 3 ? "/" : "/Ordner"));
    }
    const auto textOf = [&texts](quint32 row) { return QStringView(texts[int(row)]); };
    TextRanking ranking;
    ranking.update(quint32(texts.size()), textOf);
    expectRanksMatchCollator(texts, ranking);
    if (fast >= 0)
        QCOMPARE(CollationOrder().fast(), bool(fast));
}

void TestCollation::pathRanksFollowTheCollator_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("German: through the tree") << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("Czech: by the collator") << QLocale(QLocale::Czech, QLocale::CzechRepublic);
    QTest::newRow("C: by code units") << QLocale::c();
}

// Ranks from the tree equal the collator's order of the full paths.
void TestCollation::pathRanksFollowTheCollator()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    FolderSlots table;
    std::vector<quint32> rows;
    makeTree(table, rows, 4000, 17);
    const std::vector<quint32> ranks = PathRanking::rank(table, rows, CollationOrder());
    QStringList paths;
    for (const quint32 row : rows)
        paths << QFile::decodeName(table.rawPath(row));
    expectRanksMatchCollator(paths, [&](int i) { return ranks[rows[std::size_t(i)]]; });
}

QTEST_APPLESS_MAIN(TestCollation)
#include "tst_collation.moc"
