// Folder list benchmark: fills the list model with 1,000,000 generated rows
// in batches, sorts by every column (the first sort by a text column ranks
// the texts in collation order, later sorts reuse the ranks), then clears.
// Prints milliseconds per step.
// Usage: list_sort [rows]

#include "app/controls/FolderListModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <string>

using velmaro::FolderListModel;
using velmaro::FolderRow;

namespace {

const char* const kWords[] = {"Äpfel", "apfel", "Birne", "Zebra", "daten", "Bilder", "Übersicht",
                              "ordner", "Sicherung", "musik", "Straße", "projekt", "_alt", "2024",
                              "Öl", "zeug", "Archiv", "src", "build", "Dokumente", "cache"};

std::vector<FolderRow> makeRows(int first, int count, std::mt19937& random)
{
    std::vector<FolderRow> rows;
    rows.reserve(size_t(count));
    std::uniform_int_distribution<int> word(0, int(std::size(kWords)) - 1);
    std::uniform_int_distribution<int> depth(2, 7);
    std::uniform_int_distribution<qint64> bytes(0, 50'000'000'000LL);
    std::uniform_int_distribution<qint64> time(1'000'000'000'000LL, 1'800'000'000'000LL);
    for (int i = first; i < first + count; ++i) {
        FolderRow row;
        QString path = QStringLiteral("/home/benutzer/");
        const int levels = depth(random);
        for (int level = 0; level < levels; ++level)
            path += QString::fromUtf8(kWords[word(random)]) + QString::number(i % (level + 7)) + '/';
        row.name = QString::fromUtf8(kWords[word(random)]) + QString::number(i);
        path += row.name + '/';
        row.path = path;
        row.rawPath = path.toUtf8();
        row.bytes = quint64(i % 10 == 0 ? 0 : bytes(random));
        row.sizeKnown = i % 1000 != 0;
        row.sizeText = row.sizeKnown ? QString::number(row.bytes / 1024) : QStringLiteral("Zugriff verweigert");
        row.zeroByte = row.sizeKnown && row.bytes == 0;
        row.createdMs = i % 50 == 0 ? FolderRow::kNoTime : time(random);
        row.accessedMs = time(random);
        rows.push_back(std::move(row));
    }
    return rows;
}

long cpuMs(std::clock_t since)
{
    return long((std::clock() - since) * 1000 / CLOCKS_PER_SEC);
}

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

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int total = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    std::mt19937 random(42);
    FolderListModel model;
    QElapsedTimer clock;
    qint64 fillMs = 0;
    for (int first = 0; first < total; first += 1000) {
        std::vector<FolderRow> batch = makeRows(first, std::min(1000, total - first), random);
        clock.start();
        model.append(std::move(batch));
        fillMs += clock.elapsed();
    }
    std::printf("rows %lld, append in batches of 1000: %lld ms, RSS %ld MB\n", model.totalRows(),
                fillMs, residentMegabytes());
    const char* const names[] = {"Ordnername", "kompletter Pfad", "Ordnergröße", "erstellt am",
                                 "letzte Änderung"};
    std::printf("times: wall clock ms (CPU ms of this process)\n");
    for (int pass = 1; pass <= 2; ++pass) {
        for (int column = 0; column < 5; ++column) {
            clock.start();
            std::clock_t cpu = std::clock();
            model.sort(column, Qt::AscendingOrder);
            const qint64 up = clock.elapsed();
            const long upCpu = cpuMs(cpu);
            clock.start();
            cpu = std::clock();
            model.sort(column, Qt::DescendingOrder);
            std::printf("pass %d, column %d (%s): ascending %lld (%ld), descending %lld (%ld)\n", pass,
                        column + 1, names[column], up, upCpu, clock.elapsed(), cpuMs(cpu));
        }
    }
    std::printf("RSS after sorting: %ld MB\n", residentMegabytes());
    // Appending to a sorted list merges the batch in.
    for (int column : {1, 2}) {
        model.sort(column, Qt::AscendingOrder);
        for (int n = 0; n < 3; ++n) {
            std::vector<FolderRow> batch = makeRows(int(model.totalRows()), 1000, random);
            clock.start();
            const std::clock_t cpu = std::clock();
            model.append(std::move(batch));
            std::printf("append 1000 rows to the list sorted by column %d: %lld (%ld)\n", column + 1,
                        clock.elapsed(), cpuMs(cpu));
        }
    }
    clock.start();
    model.clear();
    std::printf("clear: %lld ms\n", clock.elapsed());
    return 0;
}
