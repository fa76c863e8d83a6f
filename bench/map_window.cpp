// Times the map window ("Übersicht") on a scanned tree, offscreen, and what
// the size bars cost the folder list's painting. Prints "key: value" lines.
//
//   map_window <folder> [--runs N]
//
// Scans the folder as the window does, then:
// - open_ms: from asking for the map of the scanned folder to its first
//   painted frame (the tree from the list, the layout, the tiles painted);
//   median and largest of N runs;
// - zoom_ms: one zoom step (into the largest subfolder that has subfolders,
//   or back out) up to the next painted frame; median and largest of all
//   steps down the tree and back;
// - open_tree_ms, open_layout_ms: the parts of it (the rest is painting);
// - longest_block_ms: the longest of the blocks these run in on the
//   user-interface thread (asking for the map, its paint, a zoom step and
//   its paint), so the longest the window stalls;
// - map_kb: resident memory the open map adds (after the runs, the window
//   still open, against before it was first opened);
// - list_paint_ms with and without the size bars: median CPU time of 20 N
//   full paints each of the list's visible rows, and the difference.
#include "ResidentMemory.h"
#include "controls/RoListBox.h"
#include "map/MapView.h"
#include "map/MapWindow.h"
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "scan/ScanRun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace velmaro;

namespace {

double timedMs(const std::function<void()>& work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double largest(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

void scan(RoListBox& list, const QByteArray& root)
{
    QLabel count, zero;
    ScanRun run([&] { return ScanTarget{&list, &count, &zero, root}; });
    QEventLoop loop;
    QObject::connect(&run, &ScanRun::finished, &loop, &QEventLoop::quit);
    run.Verzeichnisse_lesen();
    loop.exec();
}

// The child tile of the shown folder with the most weight that has children itself.
std::size_t deepestStep(const MapView& view, const MapTree& tree)
{
    for (std::size_t t = 1; t < view.tiles().size(); ++t) {
        const auto& tile = view.tiles()[t];
        if (tile.depth == 1 && !tree.isFiles(tile.node) && tree.layoutTree().childCount(tile.node) > 0)
            return t;
    }
    return 0;
}

void benchMap(RoListBox& list, int runs)
{
    const long before = residentKb();
    auto* map = platform::forms().load<MapWindow>(FormNames::frm_Übersicht());
    map->resize(1000, 700);
    const quint32 root = list.folderModel()->store().rootSlot();
    // Asking for the map and painting it are two events of the window:
    // each is a block, their sum the time to the first frame.
    std::vector<double> open, zoom, blocks;
    for (int i = 0; i < runs; ++i) {
        const double ask = timedMs([&] { map->showFolder(&list, root); });
        const double paint = timedMs([&] { map->view()->repaint(); });
        open.push_back(ask + paint);
        blocks.insert(blocks.end(), {ask, paint});
        QCoreApplication::processEvents();
    }
    printf("tiles_at_root: %zu\n", map->view()->tiles().size());
    // The parts of opening: the tree from the list, the layout alone.
    std::vector<double> build, layout;
    for (int i = 0; i < runs; ++i) {
        build.push_back(timedMs([&] { MapTree tree(list.folderModel()->store()); }));
        layout.push_back(timedMs([&] {
            treemap::TreemapLayout::layout(map->tree()->layoutTree(), 0, treemap::Rect{0, 0, 1000, 640},
                                           treemap::LayoutOptions{2, 1, 15});
        }));
    }
    printf("open_tree_ms_median: %.1f\nopen_layout_ms_median: %.1f\n", median(build), median(layout));
    int depth = 0;
    for (std::size_t step; (step = deepestStep(*map->view(), *map->tree())) != 0; ++depth)
        zoom.push_back(timedMs([&] {
            map->view()->zoomInto(step);
            map->view()->repaint();
        }));
    blocks.insert(blocks.end(), zoom.begin(), zoom.end());
    while (map->view()->shown() != 0) {
        zoom.push_back(timedMs([&] {
            map->view()->zoomOut();
            map->view()->repaint();
        }));
        blocks.push_back(zoom.back());
    }
    printf("open_ms_median: %.1f\nopen_ms_max: %.1f\n", median(open), largest(open));
    printf("zoom_steps: %zu (depth %d)\nzoom_ms_median: %.1f\nzoom_ms_max: %.1f\n", zoom.size(), depth,
           median(zoom), largest(zoom));
    printf("longest_block_ms: %.1f\n", largest(blocks));
    printf("map_kb: %ld\n", residentKb() - before);
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Full paints of the list's visible rows, sorted by size (largest first),
// with and without the bars by turns (so that other work on the machine
// weighs on both alike), in the thread's CPU time.
void benchBars(RoListBox& list, int runs)
{
    list.SortBy(3, Qt::DescendingOrder);
    while (list.folderModel()->sorting())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    auto* bars = list.itemDelegateForColumn(2);
    std::vector<double> with, without;
    for (int i = 0; i < runs * 40; ++i) {
        const bool on = i % 2 == 0;
        list.setItemDelegateForColumn(2, on ? bars : nullptr);  // nullptr: the other columns' delegate
        const double start = threadCpuMs();
        list.viewport()->repaint();
        (on ? with : without).push_back(threadCpuMs() - start);
    }
    list.setItemDelegateForColumn(2, bars);
    const double w = median(with), wo = median(without);
    printf("list_paint_ms_with_bars: %.3f\nlist_paint_ms_without_bars: %.3f\n", w, wo);
    printf("bars_share_percent: %.1f\n", wo > 0 ? (w - wo) / wo * 100 : 0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setlocale(LC_NUMERIC, "C");
    QByteArray root;
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--runs" && i + 1 < argc)
            runs = std::max(1, atoi(argv[++i]));
        else
            root = argv[i];
    }
    if (root.isEmpty()) {
        fprintf(stderr, "usage: map_window <folder> [--runs N]\n");
        return 2;
    }
    platform::forms().registerForm(FormNames::frm_Übersicht(), [] { return new MapWindow; });
    RoListBox list;
    list.resize(1000, 700);
    list.show();
    scan(list, root);
    printf("folders: %lld\n", (long long)list.RowCount());
    benchMap(list, runs);
    benchBars(list, runs);
    platform::forms().unload(FormNames::frm_Übersicht());
    return 0;
}
