// The scan as the main window runs it: real engine, real windows, temporary trees.
#include "app/MainWindow.h"
#include "controls/RoCommand.h"
#include "controls/RoListBox.h"
#include "platform/FormRegistry.h"
#include "platform/MsgBox.h"
#include "platform/WaitCursor.h"
#include "scan/BitteWarten.h"
#include "rows/FolderRowBuilder.h"
#include "scan/ScanRun.h"
#include "scan/ScanSession.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <unistd.h>

using namespace velmaro;
using testsupport::makeDir;
using testsupport::makeFile;

namespace {
const QString kWait = QStringLiteral("BitteWarten");

QString countLine(qint64 n)
{
    return QString::number(n) + QStringLiteral(" Ordner gefunden ");
}
QString zeroLine(qint64 z)
{
    return QStringLiteral("davon %1 Ordner mit 0 Byte").arg(z);
}

// Runs `check` every millisecond while a scan is shown, until it returns true.
class Poller {
public:
    explicit Poller(std::function<bool()> check)
        : check_(std::move(check))
    {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (check_())
                timer_.stop();
        });
        timer_.start();
    }

private:
    std::function<bool()> check_;
    QTimer timer_;
};
}  // namespace

class TestScanRun : public QObject {
    Q_OBJECT
private:
    ScanSession scans_;  // the program's one scan session
    QTemporaryDir trees_;
    QByteArray bigRoot_;
    static constexpr int kBigTop = 100, kBigSub = 300;
    QPointer<MainWindow> window_;
    platform::MsgBoxScript boxes_;

    QByteArray tree(const char* name) const { return QFile::encodeName(trees_.path()) + '/' + name; }
    MainWindow* window()
    {
        if (!window_) {
            window_ = platform::forms().load<MainWindow>(QStringLiteral("Velmaro"));
            window_->show();
        }
        return window_;
    }
    void scan(const QByteArray& root)
    {
        window()->setScanRoot(root);
        scans_.Scan_starten();
        QVERIFY(!platform::forms().isLoaded(kWait));
        QCOMPARE(platform::WaitCursor::depth(), 0);
        QVERIFY(!run().running());
    }
    RoListBox* list() { return window()->roListBox_Ordner(); }
    ScanRun& run()
    {
        window();  // attaches the walk
        return *scans_.run();
    }
    // Every row of a scan with `workers` workers, in list order: raw path,
    // cells and identity. Empty when the scan does not finish.
    static QStringList scanRows(const QByteArray& root, unsigned workers)
    {
        RoListBox list;
        QLabel count, zero;
        ScanRun run([&] { return ScanTarget{&list, &count, &zero, root}; });
        engine::FolderScanner::Options options;
        options.workers = workers;
        run.setScannerOptions(options);
        bool finished = false;
        QObject::connect(&run, &ScanRun::finished, [&] { finished = true; });
        run.Verzeichnisse_lesen();
        if (!QTest::qWaitFor([&] { return finished; }, 30000))
            return {};
        QStringList rows{count.text() + zero.text()};
        for (qint64 r = 1; r <= list.RowCount(); ++r) {
            QString line = QString::fromLatin1(list.RawPathAt(r).toHex());
            for (int c = 1; c <= 5; ++c)
                line += '|' + list.CellText(r, c);
            const auto folder = list.ScannedFolderAt(r);
            line +=
                QStringLiteral("|%1:%2:%3").arg(folder->id.dev).arg(folder->id.ino).arg(folder->id.mountId);
            rows << line;
        }
        return rows;
    }
    void expectCounts(qint64 rows, qint64 zero)
    {
        QCOMPARE(list()->RowCount(), rows);
        QCOMPARE(window()->Label_Info(0)->text(), countLine(rows));
        QCOMPARE(window()->Label_Info(1)->text(), zeroLine(zero));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(trees_.isValid());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        platform::forms().registerForm(QStringLiteral("Velmaro"), [this] { return new MainWindow(scans_); });
        platform::forms().registerForm(kWait, [this] { return new BitteWarten(scans_); });

        bigRoot_ = tree("gross");
        makeDir(bigRoot_);
        for (int i = 0; i < kBigTop; ++i) {
            const QByteArray top = bigRoot_ + "/t" + QByteArray::number(i);
            makeDir(top);
            for (int j = 0; j < kBigSub; ++j)
                makeDir(top + "/s" + QByteArray::number(j));
        }
    }

    void searchButtonCountsRowsAndZeroByteFolders()
    {
        // root (3 bytes) / a (empty) / b (3-byte file) / c / d (empty)
        const QByteArray root = tree("zaehlen");
        makeDir(root);
        makeDir(root + "/a");
        makeDir(root + "/b");
        makeFile(root + "/b/f", "xyz");
        makeDir(root + "/c");
        makeDir(root + "/c/d");
        makeFile(root + "/c/d/leer");

        window()->picker()->setDir1Path(QFile::decodeName(root));
        QTRY_COMPARE(window()->picker()->dir1Path(), QFile::decodeName(root) + '/');
        window()->cmd_Go()->click();
        QVERIFY(!platform::forms().isLoaded(kWait));
        QCOMPARE(platform::WaitCursor::depth(), 0);
        QCOMPARE(window()->LabelVerzeichnis()->text(), QFile::decodeName(root) + '/');

        // a, c, d hold nothing; b shows "0" but holds 3 bytes, so it is not counted.
        expectCounts(5, 3);
        const QString base = QFile::decodeName(root);
        const QStringList paths = {base + "/", base + "/a/", base + "/b/", base + "/c/", base + "/c/d/"};
        for (int i = 0; i < paths.size(); ++i)  // sorted once by the full path
            QCOMPARE(list()->CellText(i + 1, 2), paths[i]);
        QCOMPARE(list()->CellText(3, 1), QString("b"));
        QCOMPARE(list()->CellText(3, 3), QString("0"));
        QVERIFY(!list()->RowAt(3)->zeroByte);
        QCOMPARE(list()->CellText(1, 3), QString("0"));  // the root: 3 bytes as well
    }

    void missingRootGivesAnEmptyList()
    {
        scan(tree("gibt-es-nicht"));
        expectCounts(0, 0);
    }

    void secondScanReplacesTheFirst()
    {
        const QByteArray first = tree("erster"), second = tree("zweiter");
        makeDir(first);
        makeDir(first + "/x");
        makeDir(first + "/y");
        makeDir(second);
        makeDir(second + "/z");
        scan(first);
        QCOMPARE(list()->RowCount(), 3);
        scan(second);
        expectCounts(2, 2);
        for (qint64 r = 1; r <= 2; ++r)
            QVERIFY(list()->RowAt(r)->rawPath.startsWith(second + '/'));
        // A rescan keeps the column and direction the user sorted by.
        list()->SortBy(1, Qt::DescendingOrder);
        scan(first);
        QCOMPARE(list()->sortOrder(), Qt::DescendingOrder);
        QCOMPARE((QStringList{list()->CellText(1, 1), list()->CellText(2, 1), list()->CellText(3, 1)}),
                 (QStringList{"y", "x", "erster"}));
        list()->SortBy(2);
    }

    // The order in which workers finish folders never shows in the list.
    void oneAndEightWorkersGiveTheSameRows()
    {
        const QByteArray root = tree("arbeiter");
        const QList<QByteArray> names{"Foto", "foto", "a b", "Straße", "x\ty", "\xff", "leer", "9", "10"};
        QList<QByteArray> folders{root};
        makeDir(root);
        for (int i = 1; i < 1500; ++i) {
            const QByteArray parent = folders[(i * 7) % folders.size()];
            const QByteArray folder = parent + '/' + names[i % names.size()] + QByteArray::number(i / 40);
            if (folders.contains(folder))
                continue;
            makeDir(folder);
            folders << folder;
            if (i % 3)
                makeFile(folder + "/f", QByteArray(i % 50, 'x'));
        }
        const QStringList one = scanRows(root, 1);
        QCOMPARE(one.size(), folders.size() + 1);
        QCOMPARE(scanRows(root, 8), one);
    }

    void timerStartsExactlyOneScan()
    {
        int walks = 0, finishedCount = 0, started = -1;
        bool timerIdle = false;
        auto c1 = connect(&run(), &ScanRun::walkEnded, this, [&] {
            ++walks;
            if (auto* wait = platform::forms().find<BitteWarten>(kWait)) {
                started = wait->scansStarted();
                timerIdle = !wait->Timer()->isActive() && wait->Timer()->interval() == 0;
            }
        });
        auto c2 = connect(&run(), &ScanRun::finished, this, [&] { ++finishedCount; });
        scan(tree("zaehlen"));
        QTest::qWait(100);  // a second tick would start a second walk here
        disconnect(c1);
        disconnect(c2);
        QCOMPARE(walks, 1);
        QCOMPARE(finishedCount, 1);
        QCOMPARE(started, 1);
        QVERIFY(timerIdle);
    }

    void stopEndsABigScanWithIncompleteRows()
    {
        bool clicked = false, disabledAfterClick = false, cursorWasWait = false;
        bool escapeIgnored = false;
        QPointer<BitteWarten> seenWait;
        Poller poll([&] {
            auto* wait = platform::forms().find<BitteWarten>(kWait);
            if (!wait || !run().running())
                return false;
            seenWait = wait;
            if (run().progress().folders < 100)
                return false;
            cursorWasWait = platform::WaitCursor::depth() == 1 && QGuiApplication::overrideCursor() &&
                            QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
            QTest::keyClick(wait, Qt::Key_Escape);
            wait->close();
            escapeIgnored = wait->isVisible();
            QTest::mouseClick(wait->cmd_Stopp(), Qt::LeftButton);
            clicked = true;
            disabledAfterClick = !wait->cmd_Stopp()->isEnabled();
            return true;
        });
        scan(bigRoot_);
        QVERIFY(clicked);
        QVERIFY(disabledAfterClick);
        QVERIFY(cursorWasWait);
        QVERIFY(escapeIgnored);
        QTRY_VERIFY(seenWait.isNull());  // unloaded and destroyed

        const qint64 rows = list()->RowCount();
        QVERIFY2(rows > 0 && rows < 1 + kBigTop + kBigTop * kBigSub, qPrintable(QString::number(rows)));
        QCOMPARE(list()->CellText(1, 2), QFile::decodeName(bigRoot_) + '/');
        QCOMPARE(list()->CellText(1, 3), FolderRowBuilder::kIncompleteText);
        qint64 zero = 0;
        for (qint64 r = 1; r <= rows; ++r) {
            const auto row = list()->RowAt(r);
            if (row->sizeText == FolderRowBuilder::kIncompleteText)
                QVERIFY(!row->zeroByte && !row->sizeKnown);
            zero += row->zeroByte ? 1 : 0;
        }
        expectCounts(rows, zero);
    }

    void fullScanOfTheBigTree()
    {
        int shownDuringWalk = -1;
        qint64 countedDuringWalk = -1;
        auto c = connect(&run(), &ScanRun::walkEnded, this, [&] {
            shownDuringWalk = list()->model()->rowCount();
            const QString line = window()->Label_Info(0)->text();
            for (qint64 n = 1; n <= list()->RowCount() && countedDuringWalk < 0; ++n)
                if (line == countLine(n))
                    countedDuringWalk = n;
        });
        scan(bigRoot_);
        disconnect(c);
        // The rows show while the walk goes on, and the count line follows
        // them (a hand-over or a few behind), up to the final count.
        QVERIFY(shownDuringWalk > 0);
        QVERIFY(countedDuringWalk > 0);
        const qint64 all = 1 + kBigTop + kBigTop * kBigSub;
        expectCounts(all, all);
        QCOMPARE(list()->CellText(1, 2), QFile::decodeName(bigRoot_) + '/');  // sorted by the path
        QCOMPARE(list()->CellText(3, 2), QFile::decodeName(bigRoot_) + "/t0/s0/");
    }

    void restartDropsRowsOfTheEarlierScan()
    {
        ScanRun& run = this->run();
        int finishedCount = 0;
        auto c = connect(&run, &ScanRun::finished, this, [&] { ++finishedCount; });
        window()->setScanRoot(bigRoot_);
        run.Verzeichnisse_lesen();
        // Let the workers queue batches without delivering them.
        QElapsedTimer clock;
        clock.start();
        while (run.progress().folders < 5000 && clock.elapsed() < 10000)
            QThread::msleep(5);
        QThread::msleep(50);
        window()->setScanRoot(tree("zweiter"));
        run.Verzeichnisse_lesen();  // cancels the first walk; its queued rows must not land
        QTRY_COMPARE(finishedCount, 1);
        QTest::qWait(50);
        disconnect(c);
        QCOMPARE(finishedCount, 1);
        QCOMPARE(list()->RowCount(), 2);
        QCOMPARE(window()->Label_Info(0)->text(), countLine(2));
    }

    void closingTheWindowDuringAScanIsSafe()
    {
        QPointer<MainWindow> w = window();
        w->setScanRoot(bigRoot_);
        run().Verzeichnisse_lesen();  // the walk runs on the workers now
        QVERIFY(run().running());
        delete w.data();  // cancels and joins; queued batches are dropped
        QVERIFY(w.isNull());
        QTest::qWait(50);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        platform::WaitCursor::restore();  // nothing pending: must stay harmless
        QCOMPARE(platform::WaitCursor::depth(), 0);
        QVERIFY(window()->roListBox_Ordner());  // a fresh window works again
        bool enabled = false;                   // no stop left over from the earlier scans
        Poller poll([&] {
            auto* wait = platform::forms().find<BitteWarten>(kWait);
            return wait && (enabled = wait->cmd_Stopp()->isEnabled(), true);
        });
        scan(tree("zweiter"));
        QVERIFY(enabled);
        QCOMPARE(list()->RowCount(), 2);
    }

    void cleanupTestCase()
    {
        platform::Alle_Fenster_schliessen();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(boxes_.calls().isEmpty());  // a scan never asks anything
        // QTemporaryDir removes by decoded names: names that do not decode go first.
        testsupport::removeTree(QFile::decodeName(tree("arbeiter")));
    }
};

VELMARO_TEST_CLASS(TestScanRun);
#include "tst_scanrun.moc"
