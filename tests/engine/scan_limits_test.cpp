// Scan engine: size limits (deep, wide, long paths with few descriptors)
// and stopping a scan.

#include "scan_test_helpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace scantest {
namespace {

bool lowerDescriptorLimit(rlim_t limit)
{
    rlimit r{limit, limit};
    return ::setrlimit(RLIMIT_NOFILE, &r) == 0;
}

TEST(ScanLimits, TwentyThousandLevelsWithSixtyFourDescriptors)
{
    constexpr int kLevels = 20000;
    TempTree t(TempTree::Where::Memory);
    makeChain(t.root(), kLevels, "d", 5);
    EXPECT_EXIT(exitWithVerdict([&]() -> std::string {
                    if (!lowerDescriptorLimit(64))
                        return "setrlimit failed";
                    // Paths grow to 40 KB: check each record on arrival, keep none.
                    std::vector<int> seen(kLevels + 1, 0);
                    std::atomic<bool> wrong{false};
                    const std::size_t base = t.root().size() + 1;
                    FolderScanner scanner;
                    scanner.start(
                        t.root(),
                        [&](std::vector<FolderRecord>&& batch) {
                            for (const FolderRecord& r : batch) {
                                std::size_t depth = (r.path.size() - base) / 2;
                                if (depth > kLevels || r.bytes != 5 || r.sizeState != SizeState::Complete
                                    || (depth > 0 && r.name != "d"))
                                    wrong = true;
                                else
                                    ++seen[depth];
                            }
                        },
                        [] {});
                    scanner.wait();
                    for (int level = 0; level <= kLevels; ++level)
                        if (seen[level] != 1)
                            return "level " + std::to_string(level) + " seen " + std::to_string(seen[level]);
                    return wrong ? "a record is wrong" : "";
                }),
                ::testing::ExitedWithCode(0), "");
}

// 30 names of 200 bytes make paths longer than PATH_MAX; a symlink back up
// must not be followed.
void makeLongPathTree(const TempTree& t)
{
    makeChain(t.root(), 30, std::string(200, 'n'), 9);
    t.dir("side/a/b");
    t.symlink(t.root() + "/side", "side/a/b/back");
}

// With 8 workers and 32 descriptors the walk keeps no parent open and
// reopens every folder from the root.
std::string scanLongPathsWithoutSpareDescriptors(const TempTree& t)
{
    if (!lowerDescriptorLimit(32))
        return "setrlimit failed";
    FolderScanner::Options options;
    options.workers = 8;
    ScanResult r = scan(t.root(), options);
    if (r.byPath.size() != 34)
        return "records: " + std::to_string(r.byPath.size());
    for (const auto& [path, record] : r.byPath)
        if (record.sizeState != SizeState::Complete)
            return "not complete: " + std::to_string(path.size()) + " error " + std::to_string(record.error);
    std::size_t linkSize = t.root().size() + 5;
    return r.byPath[t.root() + "/"].bytes == 9 + linkSize ? "" : "wrong total";
}

TEST(ScanLimits, LongPathsOpenedFromTheRootWithNoDescriptorToSpare)
{
    TempTree t(TempTree::Where::Memory);
    makeLongPathTree(t);
    EXPECT_EXIT(exitWithVerdict([&] { return scanLongPathsWithoutSpareDescriptors(t); }),
                ::testing::ExitedWithCode(0), "");
}

TEST(ScanLimits, LongPathsOpenedStepwiseWithoutOpenat2)
{
    TempTree t(TempTree::Where::Memory);
    makeLongPathTree(t);
    EXPECT_EXIT(exitWithVerdict([&]() -> std::string {
                    if (!hideOpenat2())
                        return "cannot install the seccomp filter";
                    return scanLongPathsWithoutSpareDescriptors(t);
                }),
                ::testing::ExitedWithCode(0), "");
}

TEST(ScanLimits, TwoHundredThousandEntriesInOneFolder)
{
    TempTree t(TempTree::Where::Memory);
    std::string wide = t.dir("wide");
    int dirFd = ::open(wide.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(dirFd, 0);
    for (int i = 0; i < 200000; ++i) {
        std::string name = "e" + std::to_string(i);
        if (i % 1000 == 0) {
            ASSERT_EQ(::mkdirat(dirFd, name.c_str(), 0755), 0);
            continue;
        }
        int fd = ::openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        if (i % 1000 == 1) {
            ASSERT_EQ(::write(fd, "xy", 2), 2);
        }
        ::close(fd);
    }
    ::close(dirFd);
    ScanResult r = scan(t.root());
    EXPECT_EQ(r.byPath.size(), 202u);
    EXPECT_EQ(r.progress.files, 199800u);
    EXPECT_EQ(r.byPath[wide + "/"].bytes, 400u);
    EXPECT_TRUE(r.byPath[wide + "/e5000/"].zeroByte);
}

// Counts folder opens reported by inotify since the last call.
int drainOpens(int inotifyFd)
{
    int opens = 0;
    alignas(inotify_event) char buffer[64 * 1024];
    ssize_t got;
    while ((got = ::read(inotifyFd, buffer, sizeof buffer)) > 0)
        for (char* p = buffer; p < buffer + got;) {
            auto* event = reinterpret_cast<inotify_event*>(p);
            if ((event->mask & IN_OPEN) && (event->mask & IN_ISDIR) && event->len == 0)
                ++opens;
            p += sizeof(inotify_event) + event->len;
        }
    return opens;
}

// 1 + 12 + 144 + 1728 folders, each watched for opens. Returns the inotify
// descriptor (or -1).
int makeWatchedTree(const TempTree& t)
{
    int inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    bool watched = inotifyFd >= 0 && ::inotify_add_watch(inotifyFd, t.root().c_str(), IN_OPEN | IN_ONLYDIR) >= 0;
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 12; ++j)
            for (int k = 0; k < 12; ++k) {
                std::string dir = t.dir("a" + std::to_string(i) + "/b" + std::to_string(j) + "/c" + std::to_string(k));
                watched = watched && ::inotify_add_watch(inotifyFd, dir.c_str(), IN_OPEN | IN_ONLYDIR) >= 0;
            }
    return watched ? inotifyFd : -1;
}

struct CancelRun {
    std::vector<FolderRecord> records;
    int opensBeforeCancel = -1;
    int opensAfterCancel = -1;
    int doneCalls = 0;
    uint64_t foldersFound = 0;
};

// Scans `root` and cancels as soon as the first record arrives; counts the
// folder opens inotify saw up to cancel() and after it returned.
CancelRun cancelAtFirstRecord(const std::string& root, int inotifyFd)
{
    CancelRun run;
    FolderScanner::Options options;
    options.workers = 4;
    options.batchSize = 1;
    FolderScanner scanner(options);
    std::mutex mutex;
    scanner.start(
        root,
        [&](std::vector<FolderRecord>&& batch) {
            if (run.opensBeforeCancel < 0) {
                scanner.cancel();
                run.opensBeforeCancel = drainOpens(inotifyFd);
            }
            std::lock_guard lock(mutex);
            for (FolderRecord& r : batch)
                run.records.push_back(std::move(r));
        },
        [&] { ++run.doneCalls; });
    scanner.wait();
    run.opensAfterCancel = drainOpens(inotifyFd);
    run.foldersFound = scanner.progress().folders;
    return run;
}

TEST(ScanLimits, CancelOpensNothingMoreAndMarksCutSubtrees)
{
    TempTree t(TempTree::Where::Memory);
    int inotifyFd = makeWatchedTree(t);
    if (inotifyFd < 0)
        GTEST_SKIP() << "inotify watches not available";
    CancelRun run = cancelAtFirstRecord(t.root(), inotifyFd);
    ::close(inotifyFd);

    EXPECT_GT(run.opensBeforeCancel, 0);
    EXPECT_EQ(run.opensAfterCancel, 0) << "a folder was opened after cancel() returned";
    EXPECT_EQ(run.doneCalls, 1);
    EXPECT_EQ(run.records.size(), run.foldersFound) << "a found folder got no record";
    EXPECT_LT(run.records.size(), 1885u) << "the scan did not stop early";
    int incomplete = 0;
    for (const FolderRecord& r : run.records) {
        if (r.sizeState == SizeState::Incomplete) {
            ++incomplete;
            EXPECT_FALSE(r.zeroByte) << r.path;
        }
    }
    EXPECT_GT(incomplete, 0);
    ASSERT_FALSE(run.records.empty());
    EXPECT_EQ(run.records.back().path, t.root() + "/");
    EXPECT_EQ(run.records.back().sizeState, SizeState::Incomplete);
}

}  // namespace
}  // namespace scantest
