// Scan engine: trees that fight back — denied access, symlink loops, mounts
// inside the tree, folders removed while the scan runs.

#include "scan_test_helpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace scantest {
namespace {

std::string describe(const ScanResult& r)
{
    std::string text;
    for (const auto& [path, record] : r.byPath)
        text += path + " state " + std::to_string(static_cast<int>(record.sizeState)) + " error "
                + std::to_string(record.error) + " bytes " + std::to_string(record.bytes) + "\n";
    return text;
}

TEST(ScanFailures, DeniedSubtreeFailsEveryFolderAbove)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to switch to an unprivileged user";
    TempTree t;
    t.file("ok/f", 10);
    t.file("a/b/locked/x/f", 3);
    t.file("a/c/f", 4);
    t.file("noexec/f", 5);
    ASSERT_EQ(::chmod(t.path("a/b/locked").c_str(), 0700), 0);
    ASSERT_EQ(::chmod(t.path("noexec").c_str(), 0644), 0);  // names readable, entries not

    EXPECT_EXIT(exitWithVerdict([&]() -> std::string {
                    if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0
                        || ::setresuid(65534, 65534, 65534) != 0)
                        return "cannot become nobody";
                    ScanResult r = scan(t.root());
                    const std::string root = t.root() + "/";
                    auto is = [&](const std::string& p, SizeState s, int error) {
                        auto it = r.byPath.find(root + p);
                        return it != r.byPath.end() && it->second.sizeState == s && it->second.error == error
                               && !it->second.zeroByte;
                    };
                    bool right = r.byPath.size() == 6 && is("", SizeState::Failed, EACCES)
                                 && is("a/", SizeState::Failed, EACCES) && is("a/b/", SizeState::Failed, EACCES)
                                 && is("a/c/", SizeState::Complete, 0) && is("ok/", SizeState::Complete, 0)
                                 && is("noexec/", SizeState::Failed, EACCES) && r.byPath[root + "ok/"].bytes == 10
                                 && r.byPath[root + "a/c/"].bytes == 4 && r.doneCalls == 1;
                    return right ? "" : describe(r);
                }),
                ::testing::ExitedWithCode(0), "");
}

TEST(ScanFailures, SymlinksAreNeverFollowed)
{
    TempTree t;
    t.file("a/f", 2);
    t.symlink(".", "self");
    t.symlink("..", "up");
    t.symlink("/", "slash");
    t.symlink("../a", "a/loop");
    ScanResult r = scan(t.root());
    ASSERT_TRUE(r.finishedInTime);
    EXPECT_EQ(r.byPath.size(), 2u) << describe(r);
    // Four links of 1, 2, 1 and 4 bytes, one 2-byte file.
    EXPECT_EQ(r.byPath[t.root() + "/"].bytes, 10u);
    EXPECT_EQ(r.byPath[t.root() + "/a/"].bytes, 6u);
}

bool privateMountsWork(const std::string& where)
{
    return probeInChild([&] {
               return enterPrivateMountNamespace() && ::mount("tmpfs", where.c_str(), "tmpfs", 0, "size=1m") == 0
                          ? 0
                          : 1;
           })
           == 0;
}

// Mounts a tmpfs on mnt/ and the tree itself on sub/loop/ (a bind-mount
// cycle), then scans: neither may be entered or listed.
std::string scanAroundMounts(const TempTree& t, bool withoutOpenat2)
{
    std::string mnt = t.path("mnt"), loop = t.path("sub/loop");
    if (!enterPrivateMountNamespace() || ::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=1m") != 0
        || ::mount(t.root().c_str(), loop.c_str(), nullptr, MS_BIND, nullptr) != 0)
        return "mount failed";
    if (withoutOpenat2 && !hideOpenat2())
        return "cannot install the seccomp filter";
    ::mkdir((mnt + "/inside").c_str(), 0755);
    ScanResult r = scan(t.root());
    const std::string root = t.root() + "/";
    bool right = r.finishedInTime && r.byPath.size() == 3 && r.byPath.count(root + "sub/")
                 && r.byPath.count(root + "plain/") && r.byPath[root].bytes == 7
                 && !r.byPath[root + "sub/"].zeroByte && r.byPath[root + "plain/"].zeroByte
                 && r.byPath[root].sizeState == SizeState::Complete;
    return right ? "" : describe(r);
}

TEST(ScanFailures, MountsInsideTheTreeAreNeitherEnteredNorListed)
{
    TempTree t;
    std::string mnt = t.dir("mnt");
    t.dir("sub/loop");
    t.file("sub/f", 7);
    t.dir("plain");
    if (!privateMountsWork(mnt))
        GTEST_SKIP() << "no private mount namespace here (unshare -m not permitted)";
    EXPECT_EXIT(exitWithVerdict([&] { return scanAroundMounts(t, false); }), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(exitWithVerdict([&] { return scanAroundMounts(t, true); }), ::testing::ExitedWithCode(0), "");
}

TEST(ScanFailures, FoldersVanishingDuringTheScan)
{
    for (int round = 0; round < 3; ++round) {
        TempTree t(TempTree::Where::Memory);
        for (int i = 0; i < 20; ++i)
            for (int j = 0; j < 20; ++j)
                for (int k = 0; k < 4; ++k)
                    t.file("d" + std::to_string(i) + "/e" + std::to_string(j) + "/f" + std::to_string(k), 1);
        std::atomic<bool> go{false};
        std::thread remover([&] {
            while (!go) {
            }
            std::system(("rm -rf " + t.root() + "/d1* " + t.root() + "/d5").c_str());
        });
        FolderScanner::Options options;
        options.workers = 8;
        go = true;
        ScanResult r = scan(t.root(), options);
        remover.join();
        EXPECT_TRUE(r.finishedInTime);
        EXPECT_EQ(r.doneCalls, 1);
        ASSERT_TRUE(r.byPath.count(t.root() + "/")) << "round " << round;
        const FolderRecord& root = r.byPath[t.root() + "/"];
        EXPECT_EQ(root.sizeState, SizeState::Complete) << "a vanished folder is simply gone";
        EXPECT_LE(root.bytes, 20u * 20u * 4u);
        for (const auto& [path, record] : r.byPath)
            EXPECT_TRUE(path == t.root() + "/" || r.byPath.count(parentPath(path))) << path;
    }
}

}  // namespace
}  // namespace scantest
