// Folder list benchmark: fills the list model with a generated folder tree
// of 1,000,000 rows in batches of 1000 (as a scan hands them over), sorts by
// every column as a header click does (the first sort by a text column
// ranks the texts, later sorts reuse the ranks; long lists sort on a worker
// thread), adds rows to the sorted list, then clears. Prints milliseconds
// per step: until the rows are in place, the CPU time of the process (on a
// machine shared with other work the CPU time tells what the step costs),
// and the longest time the calling thread was busy at a stretch (a window
// would not repaint meanwhile).
// Usage: list_sort [rows]

#include "folderlist/FolderListModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <string>

using velmaro::FolderListModel;
using velmaro::FolderSlot;
using velmaro::RowBatch;

namespace {

const char* const kWords[] = {"Äpfel",  "apfel",     "Birne",  "Zebra",  "daten",   "Bilder",    "Übersicht",
                              "ordner", "Sicherung", "musik",  "Straße", "projekt", "_alt",      "2024",
                              "Öl",     "zeug",      "Archiv", "src",    "build",   "Dokumente", "cache"};

// A tree like a home folder: most new folders below one of the recent ones.
class TreeMaker {
public:
    RowBatch batch(quint32 first, quint32 count)
    {
        RowBatch batch;
        batch.firstSlot = first;
        std::uniform_int_distribution<int> word(0, int(std::size(kWords)) - 1);
        std::uniform_int_distribution<qint64> bytes(0, 50'000'000'000LL);
        std::uniform_int_distribution<qint64> time(1'000'000'000'000LL, 1'800'000'000'000LL);
        for (quint32 slot = first; slot < first + count; ++slot) {
            if (slot == 0) {
                batch.addSlot(FolderSlot::kNoParent, "/home/benutzer/", 15);
            } else {
                const std::string name = std::string(kWords[word(random_)]) + std::to_string(slot);
                batch.addSlot(parentOf(slot), name.data(), name.size());
            }
            depth_.push_back(slot == 0 ? 0 : depth_[parentOf(slot)] + 1);
            RowBatch::Fill fill;
            fill.slot = slot;
            fill.bytes = quint64(slot % 10 == 0 ? 0 : bytes(random_));
            fill.sizeKnown = slot % 1000 != 0;
            if (!fill.sizeKnown)
                fill.sizeText = batch.sizeTextNumber(QStringLiteral("Zugriff verweigert"));
            fill.zeroByte = fill.sizeKnown && fill.bytes == 0;
            fill.createdMs = slot % 50 == 0 ? FolderSlot::kNoTime : time(random_);
            fill.accessedMs = time(random_);
            fill.root = slot == 0;
            batch.rows.push_back(fill);
            if (depth_.back() < 12)
                open_.push_back(slot);
        }
        return batch;
    }

private:
    quint32 parentOf(quint32 slot)
    {
        auto it = parents_.find(slot);
        if (it != parents_.end())
            return it->second;
        std::uniform_real_distribution<double> roll(0, 1);
        const std::size_t n = open_.size();
        const quint32 parent = roll(random_) < 0.7
                                   ? open_[n - 1 - std::size_t(roll(random_) * std::min<std::size_t>(n, 50))]
                                   : open_[std::size_t(roll(random_) * n)];
        parents_[slot] = parent;
        return parent;
    }

    std::mt19937 random_{42};
    std::vector<quint32> open_;
    std::vector<int> depth_;
    std::unordered_map<quint32, quint32> parents_;
};

long residentMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6)) / 1024;
    }
    return -1;
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Timing {
    double ms, cpuMs, busyMs;
};

// Runs `step`, then the event loop until the model has every row in place.
template <typename Step>
Timing timed(FolderListModel& model, Step step)
{
    QElapsedTimer total, piece;
    const double cpu = cpuMs();
    total.start();
    piece.start();
    step();
    double longest = piece.nsecsElapsed() / 1e6;
    while (model.sorting()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        piece.start();
        QCoreApplication::processEvents();
        longest = std::max(longest, piece.nsecsElapsed() / 1e6);
    }
    return {total.nsecsElapsed() / 1e6, cpuMs() - cpu, longest};
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const quint32 total = argc > 1 ? quint32(std::atoi(argv[1])) : 1'000'000;
    const long emptyMb = residentMegabytes();
    TreeMaker maker;
    FolderListModel model;
    QElapsedTimer clock;
    qint64 fillNs = 0;
    for (quint32 first = 0; first < total; first += 1000) {
        const RowBatch batch = maker.batch(first, std::min<quint32>(1000, total - first));
        clock.start();
        model.append(batch);
        fillNs += clock.nsecsElapsed();
    }
    model.publish();
    std::printf("rows %lld, append in batches of 1000: %.0f ms, RSS %ld MB (%ld MB before)\n",
                model.totalRows(), fillNs / 1e6, residentMegabytes(), emptyMb);
    const char* const names[] = {"Ordnername", "kompletter Pfad", "Ordnergröße", "erstellt am",
                                 "letzte Änderung"};
    std::printf("ms until sorted / CPU ms / longest busy stretch of this thread, ms\n");
    for (int pass = 1; pass <= 2; ++pass) {
        for (int column = 0; column < 5; ++column) {
            const auto up = timed(model, [&] { model.sort(column, Qt::AscendingOrder); });
            const auto down = timed(model, [&] { model.sort(column, Qt::DescendingOrder); });
            std::printf(
                "pass %d, column %d (%s): ascending %.0f / %.0f / %.0f, descending %.0f / %.0f / %.0f\n",
                pass, column + 1, names[column], up.ms, up.cpuMs, up.busyMs, down.ms, down.cpuMs,
                down.busyMs);
        }
    }
    std::printf("RSS after sorting: %ld MB\n", residentMegabytes());
    for (int column : {1, 2}) {
        model.sort(column, Qt::AscendingOrder);
        timed(model, [] {});
        for (int n = 0; n < 3; ++n) {
            const RowBatch batch = maker.batch(quint32(model.nextSlot()), 1000);
            const auto added = timed(model, [&] { model.append(batch); });
            std::printf("add 1000 rows to the list sorted by column %d: %.0f / %.0f / %.0f\n", column + 1,
                        added.ms, added.cpuMs, added.busyMs);
        }
    }
    clock.start();
    model.clear();
    std::printf("clear: %lld ms\n", clock.elapsed());
    return 0;
}
