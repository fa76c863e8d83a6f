// Times the bare scan engine over a folder tree.
//
//   engine_scan [--workers N] [--repeat K] [--cancel-after MS] [--dump FILE] ROOT
//
// Prints, per run, the wall time, the folders, files and bytes found and the
// records delivered; then the median time and the peak resident memory.
// --dump writes "bytes<TAB>path" for every folder (path without its trailing
// '/', the root "/" as is) for checking against find (check_totals.sh).
// --cancel-after stops each run after MS milliseconds and reports how long
// the walk took to finish after the stop.

#include "engine/AllocatorArenas.h"
#include "engine/FolderScanner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

using velmaro::engine::FolderRecord;
using velmaro::engine::FolderScanner;
using Clock = std::chrono::steady_clock;

namespace {

struct Args {
    unsigned workers = 8;
    int repeat = 1;
    long cancelAfterMs = -1;
    std::string dump;
    std::string root;
};

bool parse(int argc, char** argv, Args& args)
{
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--workers" && hasValue)
            args.workers = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (a == "--repeat" && hasValue)
            args.repeat = std::max(1, std::atoi(argv[++i]));
        else if (a == "--cancel-after" && hasValue)
            args.cancelAfterMs = std::atol(argv[++i]);
        else if (a == "--dump" && hasValue)
            args.dump = argv[++i];
        else if (!a.empty() && a[0] != '-')
            args.root = a;
        else
            return false;
    }
    return !args.root.empty();
}

struct RunResult {
    double seconds = 0;
    double stopSeconds = -1;
    std::size_t records = 0;
    velmaro::engine::ScanProgress progress;
};

RunResult runOnce(const Args& args, std::vector<std::pair<uint64_t, std::string>>* totals)
{
    FolderScanner::Options options;
    options.workers = args.workers;
    FolderScanner scanner(options);
    std::atomic<std::size_t> records{0};
    std::mutex mutex;
    auto begin = Clock::now();
    scanner.start(
        args.root,
        [&](std::vector<FolderRecord>&& batch) {
            records += batch.size();
            if (!totals)
                return;
            std::lock_guard lock(mutex);
            for (FolderRecord& r : batch) {
                std::string path = r.path.size() > 1 ? r.path.substr(0, r.path.size() - 1) : r.path;
                totals->emplace_back(r.bytes, std::move(path));
            }
        },
        [] {});
    RunResult result;
    if (args.cancelAfterMs >= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(args.cancelAfterMs));
        auto stop = Clock::now();
        scanner.cancel();
        scanner.wait();
        result.stopSeconds = std::chrono::duration<double>(Clock::now() - stop).count();
    }
    scanner.wait();
    result.seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    result.records = records;
    result.progress = scanner.progress();
    return result;
}

bool writeDump(const std::string& file, const std::vector<std::pair<uint64_t, std::string>>& totals)
{
    FILE* out = std::fopen(file.c_str(), "w");
    if (!out)
        return false;
    for (const auto& [bytes, path] : totals)
        std::fprintf(out, "%llu\t%s\n", static_cast<unsigned long long>(bytes), path.c_str());
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    velmaro::engine::useFewAllocatorArenas();  // as the program does
    Args args;
    if (!parse(argc, argv, args)) {
        std::fprintf(stderr, "usage: %s [--workers N] [--repeat K] [--cancel-after MS] [--dump FILE] ROOT\n",
                     argv[0]);
        return 2;
    }
    std::vector<double> times;
    for (int run = 0; run < args.repeat; ++run) {
        std::vector<std::pair<uint64_t, std::string>> totals;
        bool dumping = !args.dump.empty() && run == 0;
        RunResult r = runOnce(args, dumping ? &totals : nullptr);
        times.push_back(r.seconds);
        std::printf("run %d: %.3f s  folders %llu  files %llu  bytes %llu  records %zu", run + 1, r.seconds,
                    static_cast<unsigned long long>(r.progress.folders),
                    static_cast<unsigned long long>(r.progress.files),
                    static_cast<unsigned long long>(r.progress.bytes), r.records);
        if (r.stopSeconds >= 0)
            std::printf("  stop took %.1f ms", r.stopSeconds * 1000);
        std::printf("\n");
        if (dumping && !writeDump(args.dump, totals))
            std::fprintf(stderr, "cannot write %s\n", args.dump.c_str());
    }
    std::sort(times.begin(), times.end());
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("workers %u  median %.3f s  peak RSS %.1f MB\n", args.workers, times[times.size() / 2],
                usage.ru_maxrss / 1024.0);
    return 0;
}
