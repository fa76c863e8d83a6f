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

TEST(ScanLimits, LongPathsOpenedStepwiseWithNoDescriptorToSpare)
{
    // With 8 workers and 32 descriptors the walk keeps no parent open and
    // reopens every folder from the root: 30 names of 200 bytes make paths
    // longer than PATH_MAX, and a symlink on the way must not be followed.
    TempTree t(TempTree::Where::Memory);
    std::string name(200, 'n');
    makeChain(t.root(), 30, name, 9);
    t.dir("side/a/b");
    t.symlink(t.root() + "/side", "side/a/b/back");
    EXPECT_EXIT(exitWithVerdict([&]() -> std::string {
                    if (!lowerDescriptorLimit(32))
                        return "setrlimit failed";
                    FolderScanner::Options options;
                    options.workers = 8;
                    ScanResult r = scan(t.root(), options);
                    if (r.byPath.size() != 34)
                        return "records: " + std::to_string(r.byPath.size());
                    for (const auto& [path, record] : r.byPath)
                        if (record.sizeState != SizeState::Complete)
                            return "not complete: " + std::to_string(path.size()) + " error "
                                   + std::to_string(record.error);
                    std::size_t linkSize = t.root().size() + 5;
                    return r.byPath[t.root() + "/"].bytes == 9 + linkSize ? "" : "wrong total";
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

TEST(ScanLimits, CancelOpensNothingMoreAndMarksCutSubtrees)
{
    TempTree t(TempTree::Where::Memory);
    int inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotifyFd, 0);
    auto watch = [&](const std::string& path) {
        ASSERT_GE(::inotify_add_watch(inotifyFd, path.c_str(), IN_OPEN | IN_ONLYDIR), 0);
    };
    watch(t.root());
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 12; ++j)
            for (int k = 0; k < 12; ++k)
                watch(t.dir("a" + std::to_string(i) + "/b" + std::to_string(j) + "/c" + std::to_string(k)));

    FolderScanner::Options options;
    options.workers = 4;
    options.batchSize = 1;
    FolderScanner scanner(options);
    std::mutex mutex;
    std::vector<FolderRecord> records;
    int opensBeforeCancel = -1, doneCalls = 0;
    scanner.start(
        t.root(),
        [&](std::vector<FolderRecord>&& batch) {
            if (opensBeforeCancel < 0) {
                scanner.cancel();
                opensBeforeCancel = drainOpens(inotifyFd);
            }
            std::lock_guard lock(mutex);
            for (FolderRecord& r : batch)
                records.push_back(std::move(r));
        },
        [&] { ++doneCalls; });
    scanner.wait();
    EXPECT_EQ(drainOpens(inotifyFd), 0) << "a folder was opened after cancel() returned";
    ::close(inotifyFd);

    EXPECT_EQ(doneCalls, 1);
    EXPECT_GT(opensBeforeCancel, 0);
    EXPECT_EQ(records.size(), scanner.progress().folders) << "a found folder got no record";
    EXPECT_LT(records.size(), 1885u) << "the scan did not stop early";
    int incomplete = 0;
    for (const FolderRecord& r : records) {
        if (r.sizeState == SizeState::Incomplete) {
            ++incomplete;
            EXPECT_FALSE(r.zeroByte) << r.path;
        }
    }
    EXPECT_GT(incomplete, 0);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().path, t.root() + "/");
    EXPECT_EQ(records.back().sizeState, SizeState::Incomplete);
}

}  // namespace
}  // namespace scantest
