// Scan engine: the records of a readable tree, trees that fight back
// (denied access, symlink loops, mounts, folders vanishing), size limits
// (deep, wide, long paths with few descriptors) and cancelling.

#include "TempTree.h"

#include <sys/inotify.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

namespace enginetest {
namespace {

std::string lastComponent(const std::string& folderPath)
{
    std::string parent = parentPath(folderPath);
    return folderPath.substr(parent.size(), folderPath.size() - parent.size() - 1);
}

TEST(Scan, RecordsOfAReadableTree)
{
    TempTree t;
    t.file("top.bin", std::string(1000, 'x'));
    t.file("a/one", std::string(1536, 'x'));
    t.file("a/b/two", "1234567");
    t.file("a/b/c/three", std::string(1048576, 'x'));
    t.dir("a/empty");
    t.dir("links");
    t.symlink("a/one", "a/b/link");  // counted by its own size: 5
    ASSERT_EQ(::link((t / "a/one").c_str(), (t / "a/b/c/hard").c_str()), 0);
    t.dir("hollow/deeper/deepest");
    t.file("emptyfiles/x", "");
    t.file("emptyfiles/sub/y", "");
    t.file("tiny/three", "abc");
    t.dir("linked");
    t.symlink("nowhere", "linked/dangling");  // 7 bytes, and not an empty file
    t.dir("piped");
    ASSERT_EQ(::mkfifo((t / "piped/fifo").c_str(), 0644), 0);
    const std::string odd[] = {"tab\there", "new\nline", std::string("bad\xff") + "byte", " lead"};
    for (const std::string& name : odd)
        t.file(name + "/f", name);
    int link = 0;
    for (const char* target : {".", "..", "/", "../a"})  // 1 + 2 + 1 + 4 bytes, none followed
        t.symlink(target, "links/l" + std::to_string(link++));
    const timespec old[2] = {{978307200, 0}, {978307200, 0}};  // 2001-01-01
    ASSERT_EQ(::utimensat(AT_FDCWD, (t / "tiny").c_str(), old, 0), 0);

    const uint64_t a = 1048576 + 2 * 1536 + 7 + 5;
    struct Case {
        std::string folder;
        uint64_t bytes;
        bool zeroByte;
    };
    std::vector<Case> cases = {
        {"", a + 1000 + 3 + 7 + 8 + 8 + 8 + 5 + 8, false},
        {"a/", a, false},
        {"a/b/c/", 1048576 + 1536, false},
        {"a/b/", 1048576 + 1536 + 7 + 5, false},
        {"a/empty/", 0, true},
        {"hollow/", 0, true},
        {"hollow/deeper/", 0, true},
        {"hollow/deeper/deepest/", 0, true},
        {"emptyfiles/", 0, true},
        {"emptyfiles/sub/", 0, true},
        {"tiny/", 3, false},
        {"linked/", 7, false},
        {"links/", 8, false},
        {"piped/", 0, false}  // a fifo has no bytes, yet is something
    };
    for (const std::string& name : odd)
        cases.push_back({name + "/", name.size(), false});

    FolderScanner::Options options;
    options.batchSize = 3;
    options.workers = 4;
    ScanResult r = scan(t.root(), options);
    EXPECT_EQ(r.byPath.size(), cases.size()) << r.describe();
    EXPECT_EQ(r.records, cases.size()) << "a folder reported twice";
    for (const Case& c : cases) {
        const FolderRecord& record = r.byPath[t / c.folder];
        EXPECT_EQ(record.bytes, c.bytes) << c.folder;
        EXPECT_EQ(record.zeroByte, c.zeroByte) << c.folder;
        EXPECT_EQ(record.sizeState, SizeState::Complete) << c.folder;
        EXPECT_EQ(record.name, lastComponent(t / c.folder)) << c.folder;
    }
    EXPECT_EQ(r.progress.folders, cases.size());
    EXPECT_EQ(r.progress.files, 11u + 4u + 4u);
    EXPECT_EQ(r.progress.bytes, cases[0].bytes);
    EXPECT_LE(r.largestBatch, 3u);
    EXPECT_GE(r.batches, 6u);
    EXPECT_FALSE(r.overlappingSinks);
    EXPECT_TRUE(r.postOrder);
    EXPECT_EQ(r.doneCalls, 1);

    // Times are read without touching them; a birth time only where the file system has one.
    const FolderRecord& tiny = r.byPath[t / "tiny/"];
    EXPECT_EQ(tiny.accessed.seconds, 978307200);
    struct statx st;
    ASSERT_EQ(::statx(AT_FDCWD, (t / "tiny").c_str(), 0, STATX_ATIME | STATX_BTIME, &st), 0);
    EXPECT_EQ(st.stx_atime.tv_sec, 978307200) << "the scan changed the access time";
    ASSERT_EQ(tiny.created.has_value(), (st.stx_mask & STATX_BTIME) != 0);
    if (tiny.created) {
        EXPECT_EQ(tiny.created->seconds, st.stx_btime.tv_sec);
        EXPECT_EQ(tiny.created->nanoseconds, st.stx_btime.tv_nsec);
    }
}

TEST(Scan, WithoutPathsTheWalksNumbersAndNamesTellThem)
{
    TempTree t;
    t.file("a/b/c/f", "x");
    t.dir("a/e");
    t.file("tab\there/g", "yy");
    t.dir(std::string("bad\xff/y"));
    FolderScanner::Options options;
    options.workers = 4;
    options.batchSize = 2;
    ScanResult withPaths = scan(t.root(), options);

    options.recordPaths = false;
    std::vector<FolderRecord> records;
    std::mutex mutex;
    FolderScanner scanner(options);
    scanner.start(
        t.root(),
        [&](std::vector<FolderRecord>&& batch) {
            std::lock_guard lock(mutex);
            for (FolderRecord& r : batch)
                records.push_back(std::move(r));
        },
        [] {});
    scanner.wait();
    // Backwards every folder comes before its subfolders.
    std::map<WalkIndex, std::string> pathOf;
    for (auto r = records.rbegin(); r != records.rend(); ++r) {
        if (r->parent == kNoWalkIndex) {
            EXPECT_EQ(r->path, t / "") << "the root keeps its path";
            pathOf[r->index] = r->path;
        } else {
            EXPECT_EQ(r->path, "") << r->name;
            ASSERT_TRUE(pathOf.count(r->parent)) << r->name << ": parent after it";
            pathOf[r->index] = pathOf[r->parent] + r->name + "/";
        }
        ASSERT_TRUE(withPaths.byPath.count(pathOf[r->index])) << pathOf[r->index];
        EXPECT_EQ(withPaths.byPath[pathOf[r->index]].bytes, r->bytes) << pathOf[r->index];
    }
    EXPECT_EQ(pathOf.size(), withPaths.byPath.size());
}

TEST(Scan, RootGivenInAnyFormOrMissing)
{
    TempTree t;
    t.file("Alt/f", "1");
    for (const std::string& given : {t.root(), t.root() + "/", t.root() + "//"}) {
        ScanResult r = scan(given);
        EXPECT_EQ(r.byPath.size(), 2u) << given;
        EXPECT_EQ(r.byPath[t / ""].name, lastComponent(t / "")) << given;
        EXPECT_EQ(r.byPath[t / ""].bytes, 1u) << given;
    }
    ScanResult missing = scan(t / "gone");
    EXPECT_EQ(missing.records, 0u);
    EXPECT_EQ(missing.doneCalls, 1);
    EXPECT_EQ(missing.progress.folders, 0u);
}

TEST(Scan, FileSystemRootIsNamedSlash)
{
    TempTree t;
    t.file("a/f", "abc");
    t.dir("b");
    EXPECT_IN_CHILD([&]() -> std::string {
        if (::chroot(t.root().c_str()) != 0 || ::chdir("/") != 0)
            return skipUnless(false, "chroot into a small tree (needs root)");
        ScanResult r = scan("/");
        bool right = r.byPath.size() == 3 && r.byPath["/"].name == "/" && r.byPath["/"].bytes == 3 &&
                     r.byPath["/a/"].name == "a" && r.byPath["/b/"].name == "b";
        return right ? "" : r.describe();
    });
}

TEST(Scan, DeniedSubtreeFailsEveryFolderAboveForAnUnprivilegedUser)
{
    TempTree t;
    t.file("ok/f", std::string(10, 'x'));
    t.file("a/b/locked/x/f", "abc");
    t.file("a/c/f", "abcd");
    t.file("noexec/f", "abcde");
    ASSERT_EQ(::chmod((t / "a/b/locked").c_str(), 0700), 0);
    ASSERT_EQ(::chmod((t / "noexec").c_str(), 0644), 0);  // names readable, entries not

    EXPECT_IN_CHILD([&]() -> std::string {
        if (std::string why = dropToNobody(); !why.empty())
            return why;
        ScanResult r = scan(t.root());
        auto is = [&](const std::string& p, SizeState s, int error, uint64_t bytes = 0) {
            auto it = r.byPath.find(t / p);
            return it != r.byPath.end() && it->second.sizeState == s && it->second.error == error &&
                   !it->second.zeroByte && (s == SizeState::Failed || it->second.bytes == bytes);
        };
        bool right = r.byPath.size() == 6 && is("", SizeState::Failed, EACCES) &&
                     is("a/", SizeState::Failed, EACCES) && is("a/b/", SizeState::Failed, EACCES) &&
                     is("a/c/", SizeState::Complete, 0, 4) && is("ok/", SizeState::Complete, 0, 10) &&
                     is("noexec/", SizeState::Failed, EACCES) && r.doneCalls == 1;
        return right ? "" : r.describe();
    });
}

// A tmpfs on mnt/ and the tree itself bind-mounted on sub/loop/ (a cycle), in
// a private mount namespace, with and without openat2: neither is entered.
TEST(Scan, MountsInsideTheTreeAreNeitherEnteredNorListed)
{
    TempTree t;
    t.dir("mnt");
    t.dir("sub/loop");
    t.file("sub/f", "1234567");
    t.dir("plain");
    t.dir("only/empty-mount");  // its only entry is an empty mount point: not zero-byte
    for (bool withoutOpenat2 : {false, true}) {
        EXPECT_IN_CHILD([&]() -> std::string {
            std::string why = steps(
                {enterPrivateMountNamespace, [&] { return mountOrSkip("tmpfs", t / "mnt", "tmpfs", 0); },
                 [&] { return mountOrSkip("tmpfs", t / "only/empty-mount", "tmpfs", 0); },
                 [&] { return mountOrSkip(t.root().c_str(), t / "sub/loop", nullptr, MS_BIND); },
                 [&] { return withoutOpenat2 ? hideOpenat2() : ""; }});
            if (!why.empty())
                return why;
            ::mkdir((t / "mnt/inside").c_str(), 0755);
            ScanResult r = scan(t.root());
            bool right = r.byPath.size() == 4 && r.progress.folders == 4 && r.byPath.count(t / "sub/") &&
                         !r.byPath[t / "only/"].zeroByte && r.byPath[t / ""].bytes == 7 &&
                         !r.byPath[t / "sub/"].zeroByte && r.byPath[t / "plain/"].zeroByte &&
                         r.byPath[t / ""].sizeState == SizeState::Complete;
            return right ? "" : r.describe();
        });
    }
}

TEST(Scan, FoldersVanishingDuringTheScan)
{
    for (int round = 0; round < 3; ++round) {
        TempTree t(TempTree::Where::Memory);
        for (int i = 0; i < 20; ++i)
            for (int j = 0; j < 20; ++j)
                for (int k = 0; k < 4; ++k)
                    t.file("d" + std::to_string(i) + "/e" + std::to_string(j) + "/f" + std::to_string(k),
                           "1");
        std::atomic<bool> go{false};
        std::thread remover([&] {
            while (!go) {}
            std::system(("rm -rf " + t.root() + "/d1* " + t.root() + "/d5").c_str());
        });
        FolderScanner::Options options;
        options.workers = 8;
        go = true;
        ScanResult r = scan(t.root(), options);
        remover.join();
        EXPECT_EQ(r.doneCalls, 1);
        ASSERT_TRUE(r.byPath.count(t / "")) << "round " << round;
        EXPECT_EQ(r.byPath[t / ""].sizeState, SizeState::Complete) << "a vanished folder is simply gone";
        EXPECT_LE(r.byPath[t / ""].bytes, 20u * 20u * 4u);
        for (const auto& [path, record] : r.byPath)
            EXPECT_TRUE(path == t / "" || r.byPath.count(parentPath(path))) << path;
    }
}

TEST(Scan, TwentyThousandLevelsWithSixtyFourDescriptors)
{
    constexpr int kLevels = 20000;
    TempTree t(TempTree::Where::Memory);
    makeChain(t.root(), kLevels, "d", 5);
    EXPECT_IN_CHILD([&]() -> std::string {
        if (std::string why = lowerDescriptorLimit(64); !why.empty())
            return why;
        // Paths grow to 40 KB: check each record on arrival, keep none.
        std::vector<int> seen(kLevels + 1, 0);
        std::atomic<bool> wrong{false};
        FolderScanner scanner;
        scanner.start(
            t.root(),
            [&](std::vector<FolderRecord>&& batch) {
                for (const FolderRecord& r : batch) {
                    std::size_t depth = (r.path.size() - t.root().size() - 1) / 2;
                    if (depth > kLevels || r.bytes != 5 || r.sizeState != SizeState::Complete ||
                        (depth > 0 && r.name != "d"))
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
    });
}

// 30 names of 200 bytes make paths longer than PATH_MAX; with 8 workers and
// 32 descriptors the walk keeps no parent open and reopens every folder from
// the root, through openat2 or step by step; a symlink back up is not followed.
TEST(Scan, LongPathsWithNoDescriptorToSpare)
{
    TempTree t(TempTree::Where::Memory);
    makeChain(t.root(), 30, std::string(200, 'n'), 9);
    t.dir("side/a/b");
    t.symlink(t / "side", "side/a/b/back");
    for (bool withoutOpenat2 : {false, true}) {
        EXPECT_IN_CHILD([&]() -> std::string {
            std::string why = steps({[] { return lowerDescriptorLimit(32); },
                                     [&] { return withoutOpenat2 ? hideOpenat2() : ""; }});
            if (!why.empty())
                return why;
            FolderScanner::Options options;
            options.workers = 8;
            ScanResult r = scan(t.root(), options);
            if (r.byPath.size() != 34)
                return "records: " + std::to_string(r.byPath.size());
            for (const auto& [path, record] : r.byPath)
                if (record.sizeState != SizeState::Complete)
                    return "not complete at length " + std::to_string(path.size());
            return r.byPath[t / ""].bytes == 9 + (t / "side").size() ? "" : "wrong total";
        });
    }
}

TEST(Scan, TwoHundredThousandEntriesInOneFolder)
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
    for (ssize_t got; (got = ::read(inotifyFd, buffer, sizeof buffer)) > 0;)
        for (char* p = buffer; p < buffer + got;) {
            auto* event = reinterpret_cast<inotify_event*>(p);
            opens += (event->mask & IN_OPEN) && (event->mask & IN_ISDIR) && event->len == 0;
            p += sizeof(inotify_event) + event->len;
        }
    return opens;
}

// 1 + 12 + 144 + 1728 folders, each watched for opens, a 1-byte file in each
// leaf; the scan is cancelled at its first record. Folders finished before
// the stop keep their whole size.
TEST(Scan, CancelFromTheSinkEndsTheWalkAndMarksCutSubtrees)
{
    TempTree t(TempTree::Where::Memory);
    int inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    bool watched =
        inotifyFd >= 0 && ::inotify_add_watch(inotifyFd, t.root().c_str(), IN_OPEN | IN_ONLYDIR) >= 0;
    for (int i = 0; i < 12 * 12 * 12; ++i) {
        std::string dir = t.dir("a" + std::to_string(i / 144) + "/b" + std::to_string(i / 12 % 12) + "/c" +
                                std::to_string(i % 12));
        watched = watched && ::inotify_add_watch(inotifyFd, dir.c_str(), IN_OPEN | IN_ONLYDIR) >= 0;
        t.file(dir.substr(t.root().size() + 1) + "/f", "1");
    }
    if (!watched)
        GTEST_SKIP() << "inotify watches not available";

    std::vector<FolderRecord> records;
    int opensBeforeCancel = -1, doneCalls = 0;
    FolderScanner scanner(FolderScanner::Options{4, 1});
    std::mutex mutex;
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
    // Only workers already past the check may still open one folder each.
    EXPECT_LE(drainOpens(inotifyFd), 4) << "folders were opened after cancel() returned";
    ::close(inotifyFd);

    EXPECT_GT(opensBeforeCancel, 0);
    EXPECT_EQ(doneCalls, 1);
    EXPECT_EQ(records.size(), scanner.progress().folders) << "a found folder got no record";
    EXPECT_LT(records.size(), 1885u) << "the scan did not stop early";
    int incomplete = 0;
    const uint64_t wholeSize[] = {1728, 144, 12, 1};  // by depth: one byte in each leaf
    for (const FolderRecord& r : records) {
        incomplete += r.sizeState == SizeState::Incomplete;
        EXPECT_FALSE(r.sizeState == SizeState::Incomplete && r.zeroByte) << r.path;
        const auto depth = std::count(r.path.begin() + long(t.root().size()), r.path.end(), '/') - 1;
        EXPECT_TRUE(r.sizeState != SizeState::Complete || r.bytes == wholeSize[depth]) << r.path;
    }
    EXPECT_GT(incomplete, 0);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().path, t / "");
    EXPECT_EQ(records.back().sizeState, SizeState::Incomplete);
}

// A stop at any moment, from a thread of its own as the window's is: every
// folder the walk found gets its record, also when the workers run out of
// work and end the walk while the stop is still marking what they left.
TEST(Scan, AStopAtAnyMomentGivesEveryFoundFolderItsRecord)
{
    TempTree t(TempTree::Where::Memory);
    for (int i = 0; i < 40 * 10; ++i)
        t.dir("a" + std::to_string(i / 10) + "/b" + std::to_string(i % 10));
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::atomic<std::size_t> records{0};
        FolderScanner scanner(FolderScanner::Options{8, 1});
        scanner.start(
            t.root(), [&](std::vector<FolderRecord>&& batch) { records += batch.size(); }, [] {});
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(random() % 3000);
        while (std::chrono::steady_clock::now() < until && scanner.progress().folders < 441)
            std::this_thread::yield();
        scanner.cancel();
        scanner.wait();
        ASSERT_EQ(records.load(), scanner.progress().folders) << "round " << round << ": a found folder got no record";
    }
}

}  // namespace
}  // namespace enginetest
