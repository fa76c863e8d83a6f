// Times a folder scan the way the main window runs it: the engine's walk,
// rows built on the workers, list batches on the user-interface thread,
// running counts, the final sort. Offscreen; prints "key: value" lines.
//
//   scan_window <folder> [--workers N] [--no-stop] [--no-sort] [--hidden]
//   (--hidden: the list is not shown, to tell the view's share of the time)
//
// Reports: wall time of the full scan, the longest gap of a 5 ms timer on the
// user-interface thread during it (and that thread's CPU time and the time
// it waited for a core), peak RSS, the time from stop() until the
// walk ended on a second scan, and the time to sort the list by each column.
#include "ResidentMemory.h"
#include "controls/RoListBox.h"
#include "engine/AllocatorArenas.h"
#include "scan/ScanRun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

using namespace velmaro;

namespace {

struct Options {
    QByteArray root;
    unsigned workers = 0;  // 0: the engine's default
    bool stop = true;
    bool sort = true;
    bool showList = true;
};

// Records the longest gap between ticks of a 5 ms timer.
class StallMeter {
public:
    StallMeter()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            maxGapNs_ = std::max(maxGapNs_, now - last_);
            last_ = now;
        });
    }
    void start()
    {
        clock_.start();
        last_ = 0;
        maxGapNs_ = 0;
        timer_.start();
    }
    double stopMs()
    {
        timer_.stop();
        return maxGapNs_ / 1e6;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0, maxGapNs_ = 0;
};

// This thread's CPU time and time spent runnable but waiting for a core (ns).
std::pair<double, double> schedStat()
{
    QFile f(QStringLiteral("/proc/thread-self/schedstat"));
    if (!f.open(QIODevice::ReadOnly))
        return {0, 0};
    const QList<QByteArray> parts = f.readAll().simplified().split(' ');
    if (parts.size() < 2)
        return {0, 0};
    return {parts[0].toDouble(), parts[1].toDouble()};
}

// The longest events on the user-interface thread (outermost dispatches
// only): wall and thread CPU time, when (ms since the probe was reset) and
// what they were.
class ProbeApp : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (depth_++ > 0) {
            const bool r = QApplication::notify(receiver, event);
            --depth_;
            return r;
        }
        QElapsedTimer t;
        t.start();
        const double cpu0 = threadCpuNs();
        const int type = event->type();  // the event may be gone afterwards
        const bool r = QApplication::notify(receiver, event);
        const qint64 ns = t.nsecsElapsed();
        --depth_;
        if (longest_.size() < kKept || ns > longest_.back().ns) {
            longest_.push_back({ns, threadCpuNs() - cpu0, since_.nsecsElapsed(),
                                QByteArray(receiver->metaObject()->className()) + " event " +
                                    QByteArray::number(type)});
            std::sort(longest_.begin(), longest_.end(), [](const Event& a, const Event& b) { return a.ns > b.ns; });
            if (longest_.size() > kKept)
                longest_.pop_back();
        }
        return r;
    }
    void resetLongest()
    {
        longest_.clear();
        since_.start();
    }
    void printLongest(const char* key) const
    {
        for (const Event& e : longest_)
            printf("%s: %.1f ms wall, %.1f ms CPU, at %.0f ms, %s\n", key, e.ns / 1e6, e.cpuNs / 1e6,
                   e.at / 1e6, e.what.constData());
    }

private:
    struct Event {
        qint64 ns;
        double cpuNs;
        qint64 at;
        QByteArray what;
    };
    static constexpr std::size_t kKept = 3;
    static double threadCpuNs()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e9 + t.tv_nsec;
    }
    int depth_ = 0;
    QElapsedTimer since_;
    std::vector<Event> longest_;
};

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        if (a == "--workers" && i + 1 < argc)
            o.workers = unsigned(atoi(argv[++i]));
        else if (a == "--no-stop")
            o.stop = false;
        else if (a == "--no-sort")
            o.sort = false;
        else if (a == "--hidden")
            o.showList = false;
        else if (!a.startsWith("--") && o.root.isEmpty())
            o.root = a;
        else
            return false;
    }
    return !o.root.isEmpty();
}

void runFull(ScanRun& run, RoListBox& list, QLabel& count, QLabel& zero)
{
    StallMeter stall;
    QEventLoop loop;
    QElapsedTimer clock;
    double walkMs = 0;
    long walkEndKb = 0;
    auto c1 = QObject::connect(&run, &ScanRun::walkEnded, [&] {
        walkMs = clock.nsecsElapsed() / 1e6;
        walkEndKb = residentKb();
    });
    auto c2 = QObject::connect(&run, &ScanRun::finished, &loop, &QEventLoop::quit);
    const auto sched0 = schedStat();
    stall.start();
    clock.start();
    run.Verzeichnisse_lesen();
    loop.exec();
    const auto sched1 = schedStat();
    const double wallMs = clock.nsecsElapsed() / 1e6;
    const double maxGap = stall.stopMs();
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    const auto root = list.RowAt(1);
    printf("folders: %lld\n", (long long)list.RowCount());
    printf("zero_byte_folders: %lld\n", (long long)list.ZeroByteCount());
    printf("root_bytes: %llu\n", root ? (unsigned long long)root->bytes : 0ULL);
    printf("root_size_text: %s\n", root ? root->sizeText.toUtf8().constData() : "");
    printf("count_lines: %s| %s\n", count.text().toUtf8().constData(), zero.text().toUtf8().constData());
    printf("walk_ms: %.1f\n", walkMs);
    printf("scan_ms: %.1f\n", wallMs);
    printf("ui_max_gap_ms: %.1f\n", maxGap);
    printf("ui_cpu_ms: %.1f\n", (sched1.first - sched0.first) / 1e6);
    printf("ui_runqueue_wait_ms: %.1f\n", (sched1.second - sched0.second) / 1e6);
    printf("rss_at_walk_end_kb: %ld\n", walkEndKb);
    printf("rss_at_end_kb: %ld\n", residentKb());
    printf("peak_rss_kb: %ld\n", peakRssKb());
}

// Sorts by every column as a header click does, and waits until the rows
// are in their places (a long list sorts on a worker thread).
void runSorts(RoListBox& list)
{
    StallMeter stall;
    stall.start();
    for (int column = 1; column <= 5; ++column) {
        for (auto order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            QElapsedTimer t;
            t.start();
            list.SortBy(column, order);
            while (list.folderModel()->sorting())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::processEvents();  // let the view take the new order
            printf("sort_col%d_%s_ms: %.1f\n", column, order == Qt::AscendingOrder ? "asc" : "desc",
                   t.nsecsElapsed() / 1e6);
        }
    }
    printf("ui_max_gap_sorting_ms: %.1f\n", stall.stopMs());
}

// A second scan, stopped once a quarter of the folders is found.
void runStop(ScanRun& run, RoListBox& list, qint64 total)
{
    QEventLoop loop;
    QElapsedTimer sinceStop;
    double walkEndMs = -1, finishedMs = -1;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (run.progress().folders >= quint64(std::max<qint64>(1, total / 4))) {
            poll.stop();
            sinceStop.start();
            run.stop();
        }
    });
    auto c1 = QObject::connect(&run, &ScanRun::walkEnded, [&] {
        if (sinceStop.isValid())
            walkEndMs = sinceStop.nsecsElapsed() / 1e6;
    });
    auto c2 = QObject::connect(&run, &ScanRun::finished, &loop, [&] {
        if (sinceStop.isValid())
            finishedMs = sinceStop.nsecsElapsed() / 1e6;
        loop.quit();
    });
    poll.start();
    run.Verzeichnisse_lesen();
    loop.exec();
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    printf("stopped_scan_folders: %lld\n", (long long)list.RowCount());
    printf("stop_to_walk_end_ms: %.1f\n", walkEndMs);
    printf("stop_to_finished_ms: %.1f\n", finishedMs);
}

}  // namespace

int main(int argc, char** argv)
{
    engine::useFewAllocatorArenas();  // as the program does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ProbeApp app(argc, argv);
    setlocale(LC_NUMERIC, "C");  // "key: value" lines with a decimal point in any locale
    Options o;
    if (!parse(argc, argv, o)) {
        fprintf(stderr, "usage: scan_window <folder> [--workers N] [--no-stop] [--no-sort] [--hidden]\n");
        return 2;
    }
    RoListBox list;
    list.resize(1000, 700);
    if (o.showList)
        list.show();  // the view takes part as in the window
    QLabel count, zero;
    ScanRun run([&] { return ScanTarget{&list, &count, &zero, o.root}; });
    if (o.workers) {
        engine::FolderScanner::Options so;
        so.workers = o.workers;
        run.setScannerOptions(so);
    }
    app.resetLongest();
    runFull(run, list, count, zero);
    app.printLongest("ui_longest_event_scan");
    app.resetLongest();
    const qint64 total = list.RowCount();
    if (o.sort)
        runSorts(list);
    app.printLongest("ui_longest_event_sorting");
    if (o.stop)
        runStop(run, list, total);
    return 0;
}
