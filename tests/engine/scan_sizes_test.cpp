// Scan engine: what the records say about a readable tree — totals, the
// zero-byte rule, names and paths, times, and how batches are delivered.

#include "scan_test_helpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scantest {
namespace {

TEST(ScanSizes, TotalsAreSummedBottomUpOverEveryEntry)
{
    TempTree t;
    t.file("top.bin", 1000);
    t.file("a/one", 1536);
    t.file("a/b/two", 7);
    t.file("a/b/c/three", 1048576);
    t.dir("a/empty");
    t.symlink("a/one", "a/b/link");  // counted by its own size: 5
    ASSERT_EQ(::link(t.path("a/one").c_str(), t.path("a/b/c/hard").c_str()), 0);

    ScanResult r = scan(t.root());
    ASSERT_TRUE(r.finishedInTime);
    ASSERT_EQ(r.byPath.size(), 5u);
    EXPECT_EQ(r.records, 5u);
    const std::string root = t.root() + "/";
    EXPECT_EQ(r.byPath[root + "a/b/c/"].bytes, 1048576u + 1536u);
    EXPECT_EQ(r.byPath[root + "a/b/"].bytes, 1048576u + 1536u + 7u + 5u);
    EXPECT_EQ(r.byPath[root + "a/"].bytes, 1048576u + 2u * 1536u + 7u + 5u);
    EXPECT_EQ(r.byPath[root].bytes, 1048576u + 2u * 1536u + 7u + 5u + 1000u);
    EXPECT_EQ(r.byPath[root + "a/empty/"].bytes, 0u);
    for (const auto& [path, record] : r.byPath) {
        EXPECT_EQ(record.sizeState, SizeState::Complete) << path;
        auto parent = r.byPath.find(parentPath(path));
        if (parent != r.byPath.end()) {
            EXPECT_GE(parent->second.bytes, record.bytes) << path;
        }
    }
    EXPECT_EQ(r.progress.folders, 5u);
    EXPECT_EQ(r.progress.files, 6u);
    EXPECT_EQ(r.progress.bytes, r.byPath[root].bytes);
}

TEST(ScanSizes, ZeroByteMeansNothingButFoldersAndEmptyFiles)
{
    TempTree t;
    t.dir("hollow/deeper/deepest");
    t.file("emptyfiles/x", 0);
    t.file("emptyfiles/sub/y", 0);
    t.file("tiny/three", 3);
    t.dir("linked");
    t.symlink("nowhere", "linked/dangling");
    t.dir("piped");
    ASSERT_EQ(::mkfifo(t.path("piped/fifo").c_str(), 0644), 0);

    ScanResult r = scan(t.root());
    const std::string root = t.root() + "/";
    EXPECT_TRUE(r.byPath[root + "hollow/"].zeroByte);
    EXPECT_TRUE(r.byPath[root + "hollow/deeper/deepest/"].zeroByte);
    EXPECT_TRUE(r.byPath[root + "emptyfiles/"].zeroByte);
    EXPECT_TRUE(r.byPath[root + "emptyfiles/sub/"].zeroByte);
    EXPECT_FALSE(r.byPath[root + "tiny/"].zeroByte);
    EXPECT_EQ(r.byPath[root + "tiny/"].bytes, 3u);
    EXPECT_FALSE(r.byPath[root + "linked/"].zeroByte);
    EXPECT_FALSE(r.byPath[root + "piped/"].zeroByte);
    EXPECT_EQ(r.byPath[root + "piped/"].bytes, 0u);  // a fifo has no bytes, yet is something
    EXPECT_FALSE(r.byPath[root].zeroByte);
}

TEST(ScanSizes, NamesKeepTheirRawBytes)
{
    TempTree t;
    const std::string odd[] = {"tab\there", "new\nline", std::string("bad\xff") + "byte", " lead"};
    for (const std::string& name : odd)
        t.file(name + "/f", name.size());

    ScanResult r = scan(t.root());
    ASSERT_EQ(r.byPath.size(), 5u);
    for (const std::string& name : odd) {
        auto it = r.byPath.find(t.root() + "/" + name + "/");
        ASSERT_NE(it, r.byPath.end()) << name;
        EXPECT_EQ(it->second.name, name);
        EXPECT_EQ(it->second.bytes, name.size());
    }
}

TEST(ScanSizes, RootPathEndsInOneSlashHoweverItIsGiven)
{
    TempTree t;
    t.file("Alt/f", 1);
    const std::string name = t.root().substr(t.root().rfind('/') + 1);
    for (const std::string& given : {t.root(), t.root() + "/", t.root() + "//"}) {
        ScanResult r = scan(given);
        ASSERT_EQ(r.byPath.size(), 2u) << given;
        const FolderRecord& root = r.byPath[t.root() + "/"];
        EXPECT_EQ(root.name, name) << given;
        EXPECT_EQ(root.bytes, 1u);
        EXPECT_EQ(r.byPath[t.root() + "/Alt/"].name, "Alt");
    }
}

TEST(ScanSizes, MissingRootGivesNoRecordsButFinishes)
{
    TempTree t;
    ScanResult r = scan(t.path("gone"));
    EXPECT_TRUE(r.finishedInTime);
    EXPECT_EQ(r.records, 0u);
    EXPECT_EQ(r.doneCalls, 1);
    EXPECT_EQ(r.progress.folders, 0u);
}

TEST(ScanSizes, FileSystemRootIsNamedSlash)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to chroot into a small tree";
    TempTree t;
    t.file("a/f", 3);
    t.dir("b");
    EXPECT_EXIT(exitWithVerdict([&]() -> std::string {
                    if (::chroot(t.root().c_str()) != 0 || ::chdir("/") != 0)
                        return "chroot failed";
                    ScanResult r = scan("/");
                    if (r.byPath.size() != 3)
                        return "records: " + std::to_string(r.byPath.size());
                    const FolderRecord& root = r.byPath["/"];
                    if (root.name != "/" || root.bytes != 3)
                        return "root record: name '" + root.name + "'";
                    if (r.byPath["/a/"].name != "a" || r.byPath["/b/"].name != "b")
                        return "subfolder names";
                    return "";
                }),
                ::testing::ExitedWithCode(0), "");
}

TEST(ScanSizes, TimesAreReadWithoutTouchingThem)
{
    TempTree t;
    std::string folder = t.dir("old");
    t.file("old/f", 1);
    const timespec old[2] = {{978307200, 0}, {978307200, 0}};  // 2001-01-01
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.c_str(), old, 0), 0);

    for (int round = 0; round < 2; ++round) {
        ScanResult r = scan(t.root());
        const FolderRecord& record = r.byPath[folder + "/"];
        EXPECT_EQ(record.accessed.seconds, 978307200) << "round " << round;
        struct statx st;
        ASSERT_EQ(::statx(AT_FDCWD, folder.c_str(), 0, STATX_ATIME | STATX_BTIME, &st), 0);
        EXPECT_EQ(st.stx_atime.tv_sec, 978307200) << "the scan changed the access time";
        ASSERT_EQ(record.created.has_value(), (st.stx_mask & STATX_BTIME) != 0);
        if (record.created) {
            EXPECT_EQ(record.created->seconds, st.stx_btime.tv_sec);
            EXPECT_EQ(record.created->nanoseconds, st.stx_btime.tv_nsec);
        }
    }
}

TEST(ScanSizes, BirthTimeMissingLeavesCreatedEmpty)
{
    TempTree t;
    std::string mountPoint = t.dir("ram");
    int probe = probeInChild([&] {
        if (!enterPrivateMountNamespace() || ::mount("ramfs", mountPoint.c_str(), "ramfs", 0, nullptr) != 0)
            return 1;
        struct statx st;
        ::statx(AT_FDCWD, mountPoint.c_str(), 0, STATX_BTIME, &st);
        return (st.stx_mask & STATX_BTIME) ? 2 : 0;
    });
    if (probe == 1)
        GTEST_SKIP() << "cannot mount ramfs in a private mount namespace here";
    if (probe == 2)
        GTEST_SKIP() << "ramfs records birth times on this kernel";
    EXPECT_EXIT(exitWithVerdict([&]() -> std::string {
                    if (!enterPrivateMountNamespace() || ::mount("ramfs", mountPoint.c_str(), "ramfs", 0, nullptr) != 0)
                        return "mount failed";
                    ::mkdir((mountPoint + "/inner").c_str(), 0755);
                    ScanResult r = scan(mountPoint);
                    if (r.byPath.size() != 2)
                        return "records: " + std::to_string(r.byPath.size());
                    for (const auto& [path, record] : r.byPath)
                        if (record.created || record.accessed.seconds == 0)
                            return "times of " + path;
                    return "";
                }),
                ::testing::ExitedWithCode(0), "");
}

TEST(ScanSizes, BatchesAreSmallSerialAndPostOrder)
{
    TempTree t;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            t.file("d" + std::to_string(i) + "/e" + std::to_string(j) + "/f", 1);
    FolderScanner::Options options;
    options.batchSize = 5;
    options.workers = 4;
    ScanResult r = scan(t.root(), options);
    EXPECT_EQ(r.byPath.size(), 43u);
    EXPECT_EQ(r.records, 43u) << "a folder reported twice";
    EXPECT_LE(r.largestBatch, 5u);
    EXPECT_GE(r.batches, 9u);
    EXPECT_FALSE(r.overlappingSinks);
    EXPECT_TRUE(r.postOrder);
    EXPECT_EQ(r.doneCalls, 1);
    EXPECT_EQ(r.byPath[t.root() + "/"].bytes, 36u);
}

}  // namespace
}  // namespace scantest
