// The program's own controls: button, label, line and the folder list.

#include "controls/RoCommand.h"
#include "controls/RoLabel.h"
#include "controls/RoListBox.h"
#include "platform/AccessibleApplication.h"
#include "platform/Twips.h"
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QCollator>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QSignalSpy>
#include <QtTest>
#include <limits>
#include <numeric>

using namespace velmaro;
using velmaro::testsupport::appendRows;

namespace {

FolderRow row(const QString& name, quint64 bytes = 0, qint64 created = FolderRow::kNoTime,
              qint64 accessed = FolderRow::kNoTime)
{
    FolderRow r;
    r.name = name;
    r.path = "/daten/" + name + "/";
    r.rawPath = r.path.toUtf8();
    r.bytes = bytes;
    r.sizeText = QString::number(bytes / 1024);
    r.zeroByte = bytes == 0;
    r.createdMs = created;
    r.accessedMs = accessed;
    return r;
}

FolderRow failed(const QString& name)
{
    FolderRow r = row(name, 0);
    r.sizeKnown = false;
    r.zeroByte = false;
    r.sizeText = QStringLiteral("Zugriff verweigert");
    return r;
}

QStringList column(const RoListBox& list, int col)
{
    QStringList texts;
    for (qint64 r = 1; r <= list.RowCount(); ++r)
        texts.append(list.CellText(r, col));
    return texts;
}

qint64 ms(int year, int month, int day, int hour = 12)
{
    return QDateTime(QDate(year, month, day), QTime(hour, 0)).toMSecsSinceEpoch();
}

// Rows to sort: 0 sizes (with failures), 1 times (with missing times), 2 names.
std::vector<FolderRow> sortSet(int set)
{
    if (set == 2)
        return {row("Zebra"), row("Äpfel"), row("apfel"), row("Birne")};
    if (set == 0)
        return {row("k", 1024 * 1024), failed("f1"), row("z", 2 * 1024),
                row("m", 10 * 1024),   failed("f2"), row("n", 0)};
    return {row("neu", 0, ms(2026, 1, 2)), row("leer"), row("alt", 0, ms(1999, 12, 31)),
            row("mittel", 0, ms(2010, 6, 1), ms(2011, 1, 1))};
}

// A folder tree as a scan hands it over: slot 0 is "/daten/", slot s lies
// below (s - 1) / 4. New slots [first, end) and rows for `filled`. Sizes
// repeat (ties), every 101st size failed, some names are not UTF-8.
RowBatch treeBatch(quint32 first, quint32 end, const std::vector<quint32>& filled)
{
    RowBatch batch;
    batch.firstSlot = first;
    for (quint32 s = first; s < end; ++s) {
        QByteArray name = s == 0 ? QByteArray("/daten/") : "Ordner " + QByteArray::number(s % 97);
        if (s % 13 == 1)
            name += "\xff";
        batch.addSlot(s == 0 ? FolderSlot::kNoParent : (s - 1) / 4, name.constData(),
                      std::size_t(name.size()));
    }
    for (const quint32 s : filled) {
        RowBatch::Fill fill;
        fill.slot = s;
        fill.bytes = (s % 5) * 1024;
        fill.sizeKnown = s % 101 != 0;
        if (!fill.sizeKnown)
            fill.sizeText = batch.sizeTextNumber(QStringLiteral("Zugriff verweigert"));
        fill.zeroByte = fill.sizeKnown && fill.bytes == 0;
        fill.accessedMs = 1'700'000'000'000LL + s;
        fill.id = engine::FolderIdentity{s % 2 ? 41u : 42u, 1000u + s, 7, true, false, {}};
        fill.root = s == 0;
        batch.rows.push_back(fill);
    }
    return batch;
}

std::vector<quint32> range(quint32 first, quint32 end)
{
    std::vector<quint32> numbers(end - first);
    std::iota(numbers.begin(), numbers.end(), first);
    return numbers;
}

}  // namespace

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void buttonClicksOnlyWhenEnabled();
    void labelLinks();
    void listSetUp();
    void listOperationsCountFromOne();
    void listSorts_data();
    void listSorts();
    void laterSortsKeepTiesInThePresentOrder();
    void listKeepsOrderWhileAdding();
    void listClearAfterSortAndCounts();
    void listRowEvent();
    void longListTellsViewLater();
    void treeRowsTakeTheirPlacesWhileSorted();
    void modelPassesTheTester();
    void listCellsAreAccessible();
    void sizeAndDateTooltips();
    void keyboardFocusAndContextMenu();
};

void TestControls::buttonClicksOnlyWhenEnabled()
{
    RoCommand button("Exit");
    button.resize(60, 30);
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(&button, key);
    QCOMPARE(clicks.count(), 4);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(&button, key);
    button.click();
    QCOMPARE(clicks.count(), 4);
}

void TestControls::labelLinks()
{
    QList<QUrl> opened;
    RoLabel::setUrlOpener([&opened](const QUrl& url) {
        opened.append(url);
        return true;
    });
    RoLabel web("www.velmaro.example");
    web.setKind(RoLabel::WebLink);
    RoLabel mail("info@velmaro.example");
    mail.setKind(RoLabel::MailLink);
    RoLabel plain("Velmaro");
    for (RoLabel* label : {&web, &mail, &plain})
        label->resize(160, 20);
    QSignalSpy webClicks(&web, &RoLabel::linkClicked);
    QSignalSpy plainClicks(&plain, &RoLabel::linkClicked);
    QTest::mouseClick(&web, Qt::LeftButton);
    QTest::mouseClick(&mail, Qt::LeftButton);
    QTest::mouseClick(&plain, Qt::LeftButton);
    QCOMPARE(webClicks.count(), 1);
    QCOMPARE(plainClicks.count(), 0);
    QCOMPARE(opened, QList<QUrl>({QUrl("https://www.velmaro.example"), QUrl("mailto:info@velmaro.example")}));

    RoLabel::setUrlOpener({});
}

void TestControls::listSetUp()
{
    RoListBox list;
    // Wider than its columns, the path column takes the free width; the
    // designed width stays the minimum.
    list.resize(2000, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.header()->length(), list.viewport()->width());
    // Narrower than its columns, the path gives way so that the size column
    // stays in view beside the name; down to the width its header needs.
    const int nameAndSize = list.columnWidth(0) + list.columnWidth(2);
    list.resize(list.width() - list.viewport()->width() + nameAndSize + 150, 300);
    QTRY_COMPARE(list.columnWidth(1), 150);
    QCOMPARE(list.header()->sectionViewportPosition(2) + list.columnWidth(2), list.viewport()->width());
    list.resize(300, 300);
    QTRY_COMPARE(list.columnWidth(1), list.header()->sectionSizeHint(1));
    // A failure text wider than the column widens it.
    const int before = list.columnWidth(2);
    FolderRow cut = failed("weit");
    cut.sizeText = QStringLiteral("Größe unvollständig (Suche abgebrochen) und noch viel breiter als sonst");
    appendRows(*list.folderModel(), {cut});
    QVERIFY(list.columnWidth(2) > before);
    QVERIFY(list.sizeHintForIndex(list.model()->index(0, 2)).width() <= list.columnWidth(2));
    QCOMPARE(list.selectionMode(), QAbstractItemView::SingleSelection);
    appendRows(*list.folderModel(), {row("a")});
    QVERIFY(!list.model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
}

void TestControls::listOperationsCountFromOne()
{
    RoListBox list;
    QCOMPARE(list.CellText(list.SelectedIndex(), 2), QString());  // nothing selected: 0
    appendRows(*list.folderModel(), {row("eins", 2048, ms(2026, 12, 5))});
    appendRows(*list.folderModel(), {row("zwei"), row("drei")});
    QCOMPARE(list.RowCount(), 3);
    QStringList first;
    for (int c = 1; c <= 5; ++c)
        first << list.CellText(1, c);
    QCOMPARE(first, QStringList({"eins", "/daten/eins/", "2", "05.12.26 12:00:00", ""}));
    for (auto [r, c] : {std::pair{0, 1}, {4, 1}, {1, 0}, {1, 6}, {-1, 2}})
        QCOMPARE(list.CellText(r, c), QString());
    QVERIFY(!list.RowAt(4));
    list.SelectRow(2);
    QCOMPARE(list.SelectedIndex(), 2);
    QCOMPARE(list.CellText(list.SelectedIndex(), 2), QStringLiteral("/daten/zwei/"));
    list.ClearRows();
    QCOMPARE(list.RowCount(), 0);
    QCOMPARE(list.SelectedIndex(), 0);
}

void TestControls::listSorts_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("col");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("names");
    // Failed sizes stay last either way; rows without a time come first ascending.
    QTest::newRow("size") << 0 << 3 << false << QStringList{"n", "z", "m", "k", "f1", "f2"};
    QTest::newRow("size down") << 0 << 3 << true << QStringList{"k", "m", "z", "n", "f1", "f2"};
    QTest::newRow("created") << 1 << 4 << false << QStringList{"leer", "alt", "mittel", "neu"};
    QTest::newRow("created down") << 1 << 4 << true << QStringList{"neu", "mittel", "alt", "leer"};
    QTest::newRow("name, German") << 2 << 1 << false << QStringList{"apfel", "Äpfel", "Birne", "Zebra"};
    QTest::newRow("accessed, one time") << 1 << 5 << false << QStringList{"neu", "leer", "alt", "mittel"};
}

void TestControls::listSorts()
{
    QFETCH(int, set);
    QFETCH(int, col);
    QFETCH(bool, descending);
    QFETCH(QStringList, names);
    RoListBox list;
    appendRows(*list.folderModel(), sortSet(set));
    const Qt::SortOrder order = descending ? Qt::DescendingOrder : Qt::AscendingOrder;
    list.SortBy(col, order);
    QCOMPARE(column(list, 1), names);
    QCOMPARE(list.header()->sortIndicatorSection(), col - 1);
    QCOMPARE(list.header()->sortIndicatorOrder(), order);
    if (set != 0 || descending)
        return;
    // A header click sorts as well.
    list.SortBy(1);
    list.resize(600, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, {},
                      QPoint(list.header()->sectionViewportPosition(2) + 5, 5));
    QCOMPARE(list.header()->sortIndicatorSection(), 2);
    QCOMPARE(list.CellText(6, 1), QStringLiteral("f2"));
}

// A column sorted before sorts again in either direction: equal sizes in the
// order the list shows before the click, the failure last. "g" is too far
// from the other sizes for sizes and rows to be sorted packed together.
void TestControls::laterSortsKeepTiesInThePresentOrder()
{
    RoListBox list;
    appendRows(*list.folderModel(), {row("a", 5 * 1024), row("b", 7 * 1024), row("c", 5 * 1024), failed("d"),
                                row("e", 7 * 1024), row("f", 5 * 1024), row("g", quint64(1) << 62)});
    list.SortBy(3);
    QCOMPARE(column(list, 1), QStringList({"a", "c", "f", "b", "e", "g", "d"}));
    list.SortBy(1, Qt::DescendingOrder);
    list.SortBy(3, Qt::DescendingOrder);
    QCOMPARE(column(list, 1), QStringList({"g", "e", "b", "f", "c", "a", "d"}));
    list.SortBy(3);
    QCOMPARE(column(list, 1), QStringList({"f", "c", "a", "e", "b", "g", "d"}));
}

void TestControls::listKeepsOrderWhileAdding()
{
    RoListBox list;
    appendRows(*list.folderModel(), {row("b", 5 * 1024), row("d", 1024)});
    list.SortBy(3);
    list.SelectRow(2);  // "b"
    appendRows(*list.folderModel(), {row("c", 3 * 1024), row("a", 9 * 1024), failed("x")});
    QCOMPARE(column(list, 1), QStringList({"d", "c", "b", "a", "x"}));
    QCOMPARE(list.CellText(list.SelectedIndex(), 1), QStringLiteral("b"));
    list.SortBy(1);
    appendRows(*list.folderModel(), {row("ab")});
    QCOMPARE(column(list, 1), QStringList({"a", "ab", "b", "c", "d", "x"}));
    QCOMPARE(list.CellText(list.SelectedIndex(), 1), QStringLiteral("b"));
}

void TestControls::listClearAfterSortAndCounts()
{
    RoListBox list;
    appendRows(*list.folderModel(), {row("null", 0), row("voll", 4096), failed("kaputt"), row("leer", 0)});
    QCOMPARE(list.ZeroByteCount(), 2);
    list.SortBy(2);
    list.ClearRows();
    QCOMPARE(list.RowCount(), 0);
    QCOMPARE(list.ZeroByteCount(), 0);
    appendRows(*list.folderModel(), {row("b", 0), row("a", 1)});
    QCOMPARE(list.ZeroByteCount(), 1);
    QCOMPARE(column(list, 1), QStringList({"b", "a"}));  // arrival order after clearing
    QCOMPARE(list.header()->sortIndicatorSection(), -1);
    list.SortBy(2);
    QCOMPARE(column(list, 1), QStringList({"a", "b"}));
    // The model alone keeps its sort over clear().
    FolderListModel* model = list.folderModel();
    model->clear();
    appendRows(*model, {row("d"), row("c")});
    QCOMPARE(model->cellText(0, 0), QStringLiteral("c"));
}

void TestControls::listRowEvent()
{
    RoListBox list;
    list.resize(400, 200);
    appendRows(*list.folderModel(), {row("a"), row("b")});
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy events(&list, &RoListBox::rowActivated);
    const QRect second = list.visualRect(list.model()->index(1, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(events.count(), 1);
    QCOMPARE(list.SelectedIndex(), 2);
    const QPoint below(5, list.viewport()->height() - 5);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, below);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, below);
    QCOMPARE(events.count(), 1);  // below the rows: no row, no event
    list.SelectRow(1);
    QTest::keyClick(&list, Qt::Key_Return);
    QTest::keyClick(&list, Qt::Key_Enter);
    QCOMPARE(events.count(), 3);
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.SelectedIndex(), 2);

    // Keyboard reach, also with no current row (a new scan's list): three
    // steps to the right show the last column whole; Ctrl+3 sorts by size as
    // a header click does, again turns it round.
    list.selectionModel()->clear();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&list, Qt::Key_Right);
    QVERIFY(list.header()->sectionViewportPosition(4) + list.columnWidth(4) <= list.viewport()->width());
    QTest::keyClick(&list, Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(list.header()->sortIndicatorSection(), 2);
    const Qt::SortOrder first = list.header()->sortIndicatorOrder();
    QTest::keyClick(&list, Qt::Key_3, Qt::ControlModifier);
    QVERIFY(list.header()->sortIndicatorOrder() != first);
}

// A long unsorted list (a scan) tells its view about new rows now and then;
// the operations see every row at once. A long list sorts on a worker thread.
void TestControls::longListTellsViewLater()
{
    RoListBox list;
    for (int batch = 0; batch < 30; ++batch) {
        std::vector<FolderRow> rows;
        for (int i = 0; i < 1000; ++i)
            rows.push_back(row(QString::number(batch * 1000 + i)));
        appendRows(*list.folderModel(), std::move(rows));
    }
    QCOMPARE(list.RowCount(), 30000);
    QCOMPARE(list.CellText(30000, 1), QStringLiteral("29999"));
    QVERIFY(list.model()->rowCount() >= 1000);  // the first rows at once
    QVERIFY(list.model()->rowCount() < 30000);
    QTRY_COMPARE(list.model()->rowCount(), 30000);
    appendRows(*list.folderModel(), {row("neu")});
    QCOMPARE(list.model()->rowCount(), 30000);
    QSignalSpy sorted(list.folderModel(), &FolderListModel::sorted);
    list.SortBy(1, Qt::DescendingOrder);  // sorting tells the view everything first
    QCOMPARE(list.model()->rowCount(), 30001);
    QVERIFY(list.folderModel()->sorting());
    QTRY_COMPARE(sorted.count(), 1);
    QCOMPARE(list.CellText(1, 1), QStringLiteral("neu"));
}

// Rows of a tree (ancestors filled after their subfolders, as a scan does)
// in a list long enough to sort on a worker thread: equal sizes keep their
// order, failures stay last, rows that arrive while sorted take their places,
// the selection stays on its folder, raw names are kept.
void TestControls::treeRowsTakeTheirPlacesWhileSorted()
{
    RoListBox list;
    const quint32 count = FolderListModel::kSortAtOnce + 6000, inner = count / 4;
    QVERIFY(list.AddBatch(treeBatch(0, count, range(inner, count))));
    QVERIFY(!list.AddBatch(treeBatch(0, 1, {0})));  // does not continue the slots
    list.SortBy(3);
    QTRY_VERIFY(!list.folderModel()->sorting());
    list.SelectRow(5);
    const QByteArray selected = list.RawPathAt(5);
    QVERIFY(list.AddBatch(treeBatch(count, count, range(0, inner))));
    QCOMPARE(list.RowCount(), qint64(count));
    QTRY_VERIFY(!list.folderModel()->sorting());
    QCOMPARE(list.RawPathAt(list.SelectedIndex()), selected);
    qint64 zero = 0;
    for (quint32 s = 0; s < count; ++s)
        zero += s % 5 == 0 && s % 101 != 0;
    QCOMPARE(list.ZeroByteCount(), zero);
    // Equal sizes: first the rows sorted before, then those that came later,
    // each group in the order of arrival (slot numbers ascending).
    quint64 lastBytes = 0;
    qint64 lastSlot = -1;
    bool failures = false;
    for (qint64 r = 1; r <= list.RowCount(); ++r) {
        const auto row = list.RowAt(r);
        QVERIFY(row && row->path == QFile::decodeName(row->rawPath));
        const qint64 slot = row->accessedMs - 1'700'000'000'000LL;
        if (!row->sizeKnown) {
            failures = true;
            QCOMPARE(row->sizeText, QStringLiteral("Zugriff verweigert"));
            continue;
        }
        QVERIFY(!failures && row->bytes >= lastBytes);
        if (row->bytes == lastBytes && lastSlot >= 0) {
            const bool early = slot >= qint64(inner), lastEarly = lastSlot >= qint64(inner);
            QVERIFY2(early == lastEarly ? slot > lastSlot : lastEarly, qPrintable(QString::number(slot)));
        }
        lastBytes = row->bytes;
        lastSlot = slot;
    }
    // Rows arriving while sorted by size descending take their places in
    // that order too.
    RoListBox down;
    QVERIFY(down.AddBatch(treeBatch(0, count, range(inner, count))));
    down.SortBy(3, Qt::DescendingOrder);
    QTRY_VERIFY(!down.folderModel()->sorting());
    QVERIFY(down.AddBatch(treeBatch(count, count, range(0, inner))));
    QTRY_VERIFY(!down.folderModel()->sorting());
    quint64 previous = std::numeric_limits<quint64>::max();
    for (qint64 r = 1; r <= down.RowCount(); ++r) {
        const auto row = down.RowAt(r);
        if (row && row->sizeKnown) {
            QVERIFY2(row->bytes <= previous, qPrintable(QString::number(r)));
            previous = row->bytes;
        }
    }
    list.SortBy(2);
    QTRY_VERIFY(!list.folderModel()->sorting());
    QCOMPARE(list.RawPathAt(list.SelectedIndex()), selected);
    QCOMPARE(list.RawPathAt(1), QByteArray("/daten/"));
    QCOMPARE(list.CellText(1, 1), QStringLiteral("daten"));
    QCOMPARE(list.ScannedFolderAt(1)->id.dev, 42u);
    QCOMPARE(list.ScannedFolderAt(2)->rootId.dev, 42u);
    QCollator collator{QLocale()};
    for (qint64 r = 2; r <= list.RowCount(); ++r)
        QVERIFY2(collator.compare(list.CellText(r - 1, 2), list.CellText(r, 2)) < 0,
                 qPrintable(list.CellText(r, 2)));
    const std::optional<engine::ScannedFolder> odd = list.ScannedFolderAt(list.RowCount());
    QVERIFY(odd && odd->path.back() == '/' && QByteArray::fromStdString(odd->path).startsWith("/daten/"));
    QCOMPARE(odd->id.dev, odd->id.ino % 2 ? 41u : 42u);  // each row its own device
}

// The model's signals and indexes stay consistent through batches, sorts on
// both threads, rows arriving while sorted and clearing.
void TestControls::modelPassesTheTester()
{
    FolderListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.append(treeBatch(0, 40, range(10, 40)));
    model.sort(1);
    model.append(treeBatch(40, 40, range(0, 10)));
    model.sort(2, Qt::DescendingOrder);
    const quint32 big = FolderListModel::kSortAtOnce + 100;
    model.append(treeBatch(40, big, range(40, big)));
    model.sort(0);
    QTRY_VERIFY(!model.sorting());
    appendRows(model, {row("neu")});
    QTRY_VERIFY(!model.sorting());
    QCOMPARE(model.rowCount(), int(big) + 1);
    model.sort(4, Qt::DescendingOrder);
    model.clear();  // while the worker sorts
    appendRows(model, {row("b"), row("a")});
    model.sort(0);
    QCOMPARE(model.cellText(0, 0), QStringLiteral("a"));
    model.sort(-1);
    QCOMPARE(model.cellText(0, 0), QStringLiteral("b"));
    QTest::qWait(50);  // a late order of the cleared rows must not land
    QCOMPARE(model.rowCount(), 2);
}

void TestControls::listCellsAreAccessible()
{
    RoListBox list;
    appendRows(*list.folderModel(), {row("Bilder", 3 * 1024, ms(2026, 12, 5))});
    list.show();
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&list);
    QVERIFY(view && view->tableInterface());
    QCOMPARE(view->tableInterface()->rowCount(), 1);
    QCOMPARE(view->tableInterface()->columnCount(), 5);
    QAccessibleInterface* cell = view->tableInterface()->cellAt(0, 1);
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("/daten/Bilder/"));
    QCOMPARE(view->tableInterface()->cellAt(0, 3)->text(QAccessible::Name),
             QStringLiteral("05.12.26 12:00:00"));
}

// Size cells tell the exact bytes; a size that reads "0" but holds bytes is
// told from a zero-byte folder (tooltip and italics); dates show four-digit
// years.
void TestControls::sizeAndDateTooltips()
{
    RoListBox list;
    FolderRow three = row("drei", 3);
    three.sizeText = QStringLiteral("0");
    three.zeroByte = false;
    appendRows(*list.folderModel(),
        {row("leer", 0, ms(2026, 12, 5)), three, row("gross", 134432123456), failed("f")});
    auto tip = [&](int r, int c) { return list.model()->index(r, c).data(Qt::ToolTipRole).toString(); };
    auto italic = [&](int r) { return list.model()->index(r, 2).data(Qt::FontRole).value<QFont>().italic(); };
    QCOMPARE(tip(0, 2), QStringLiteral("0 Bytes (0 Byte Ordner)"));
    QCOMPARE(tip(1, 2), QStringLiteral("3 Bytes"));
    QCOMPARE(tip(2, 2), QStringLiteral("125,2 GB (134.432.123.456 Bytes)"));
    QCOMPARE(tip(3, 2), QStringLiteral("Zugriff verweigert"));
    QCOMPARE(tip(0, 3), QStringLiteral("05.12.2026 12:00:00"));
    QCOMPARE(tip(0, 1), QStringLiteral("/daten/leer/"));
    QCOMPARE(QList<bool>({italic(0), italic(1), italic(2), italic(3)}),
             QList<bool>({false, true, false, false}));
}

// The names of the popup menus among the program's accessible children,
// each with the number of its entries.
QStringList accessiblePopups()
{
    QStringList found;
    QAccessibleInterface* app = QAccessible::queryAccessibleInterface(qApp);
    for (int i = 0; app && i < app->childCount(); ++i) {
        QAccessibleInterface* top = app->child(i);
        if (top && top->role() == QAccessible::PopupMenu)
            found << QStringLiteral("%1 (%2)").arg(top->text(QAccessible::Name)).arg(top->childCount());
    }
    return found;
}

// Reached by Tab, the list selects its first row; the Menu key and
// Shift+F10 open its context menu with the first entry active, which
// assistive technology finds among the program's windows while it shows.
void TestControls::keyboardFocusAndContextMenu()
{
    platform::AccessibleApplication::install();
    QWidget window;
    auto* before = new QPushButton(QStringLiteral("davor"), &window);
    auto* list = new RoListBox(&window);
    list->setGeometry(0, 40, 400, 200);
    appendRows(*list->folderModel(), {row("a"), row("b")});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    before->setFocus();
    QCOMPARE(list->SelectedIndex(), 0);
    QTest::keyClick(before, Qt::Key_Tab);
    QTRY_VERIFY(list->hasFocus());
    QCOMPARE(list->SelectedIndex(), 1);

    for (const QKeyCombination key :
         {QKeyCombination(Qt::Key_Menu), QKeyCombination(Qt::ShiftModifier, Qt::Key_F10)}) {
        QStringList seen;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible())
                return;
            poll.stop();
            seen << menu->accessibleName()
                 << (menu->activeAction() ? menu->activeAction()->text() : QString()) << accessiblePopups();
            menu->close();
        });
        poll.start();
        QTest::keyClick(list, key.key(), key.keyboardModifiers());
        QCOMPARE(seen, (QStringList{"Kontextmenü der Ordnerliste", "Ordnername",
                                    "Kontextmenü der Ordnerliste (5)"}));
    }
    QCOMPARE(accessiblePopups(), QStringList());  // gone with the menu
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
