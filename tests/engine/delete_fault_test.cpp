// deleteTree() where the system says no: permissions, immutable files and
// mount points inside the tree or as the top.

#include "TempTree.h"

namespace enginetest {
namespace {

// An unprivileged user may delete the tree but not a root-owned,
// read-only folder in it.
TEST(DeleteFaults, PermissionDeniedDeepInTheTreeKeepsOnlyThatBranch)
{
    TempTree tmp;
    tmp.file("top/s1/f.txt", "1");
    tmp.file("top/s2/g/h.txt", "2");
    tmp.file("top/a/b/blocked/x.txt", "x");
    tmp.file("top/a/b/blocked/inner/y.txt", "y");
    tmp.file("top/a/b/z.txt", "z");
    chownTree(tmp / "top", kNobody, kNobody);
    chownTree(tmp / "top/a/b/blocked", 0, 0);
    ASSERT_EQ(::chmod((tmp / "top/a/b/blocked").c_str(), 0555), 0);

    EXPECT_IN_CHILD([&]() -> std::string {
        if (std::string why = dropToNobody(); !why.empty())
            return why;
        DeleteResult r = deleteTree(tmp / "top");
        return verdict(r, {{!r.ok && r.error == EACCES, "error"},
                           {r.failedPath.rfind(tmp / "top/a/b/blocked/", 0) == 0, "failedPath"}});
    });
    ::chmod((tmp / "top/a/b/blocked").c_str(), 0755);
    EXPECT_FALSE(exists(tmp / "top/s1"));
    EXPECT_FALSE(exists(tmp / "top/s2"));
    EXPECT_FALSE(exists(tmp / "top/a/b/z.txt"));
    EXPECT_EQ(readFile(tmp / "top/a/b/blocked/x.txt"), "x");
    EXPECT_EQ(readFile(tmp / "top/a/b/blocked/inner/y.txt"), "y");
}

TEST(DeleteFaults, ImmutableFileIsReportedAndSiblingsGo)
{
    TempTree tmp;
    tmp.file("top/a/locked.txt", "locked");
    tmp.file("top/a/free.txt", "free");
    tmp.file("top/b/c/d.txt", "d");
    if (int err = setImmutable(tmp / "top/a/locked.txt", true))
        GTEST_SKIP() << "no immutable flag here (chattr +i): " << std::strerror(err);

    DeleteResult r = deleteTree(tmp / "top");
    setImmutable(tmp / "top/a/locked.txt", false);

    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EPERM) << describe(r);
    EXPECT_EQ(r.failedPath, tmp / "top/a/locked.txt");
    EXPECT_EQ(readFile(tmp / "top/a/locked.txt"), "locked");
    EXPECT_FALSE(exists(tmp / "top/a/free.txt"));
    EXPECT_FALSE(exists(tmp / "top/b"));
    EXPECT_EQ(r.removedFiles, 2u);
    EXPECT_EQ(r.removedFolders, 2u);  // b and c
}

// In a private mount namespace: a tmpfs, a read-only bind mount and a
// writable bind mount inside the tree are not entered; a tmpfs as the top
// (a drive root) is emptied but cannot be removed itself.
TEST(DeleteFaults, MountPointsAreNotEnteredNorRemoved)
{
    TempTree tmp;
    tmp.file("source-ro/data.txt", "ro");
    tmp.file("source-rw/data.txt", "rw");
    tmp.file("top/plain/p.txt", "p");
    tmp.file("top/zzz.txt", "z");
    tmp.dir("top/m/tmpfs");
    tmp.dir("top/m/ro");
    tmp.dir("top/rw");
    tmp.dir("drive");

    EXPECT_IN_CHILD([&]() -> std::string {
        std::string why = steps(
            {enterPrivateMountNamespace, [&] { return mountOrSkip("none", tmp / "top/m/tmpfs", "tmpfs", 0); },
             [&] { return mountOrSkip((tmp / "source-ro").c_str(), tmp / "top/m/ro", nullptr, MS_BIND); },
             [&] {
                 return mountOrSkip(nullptr, tmp / "top/m/ro", nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY);
             },
             [&] { return mountOrSkip((tmp / "source-rw").c_str(), tmp / "top/rw", nullptr, MS_BIND); },
             [&] { return mountOrSkip("none", tmp / "drive", "tmpfs", 0); }});
        if (!why.empty())
            return why;
        tmp.file("top/m/tmpfs/inside.txt", "tmpfs");
        DeleteResult r = deleteTree(tmp / "top");
        const std::set<std::string> mounts = {tmp / "top/m/tmpfs/", tmp / "top/m/ro/", tmp / "top/rw/"};
        std::string inside =
            verdict(r, {{!r.ok && r.error == EXDEV, "error"},
                        {mounts.count(r.failedPath) == 1, "failedPath"},
                        {r.removedFiles == 2, "removed files"},
                        {readFile(tmp / "top/m/tmpfs/inside.txt") == "tmpfs", "tmpfs content"},
                        {readFile(tmp / "top/m/ro/data.txt") == "ro", "ro bind content"},
                        {readFile(tmp / "top/rw/data.txt") == "rw", "rw bind content"},
                        {!exists(tmp / "top/plain") && !exists(tmp / "top/zzz.txt"), "siblings"},
                        {exists(tmp / "top/m"), "folder above a mount point"}});
        tmp.file("drive/a/b.txt", "b");
        tmp.file("drive/c.txt", "c");
        DeleteOptions keepTop;
        keepTop.removeTop = false;
        DeleteResult emptied = deleteTree(tmp / "drive/", keepTop);
        tmp.file("drive/again.txt", "again");
        r = deleteTree(tmp / "drive/");
        return inside + verdict(emptied, {{emptied.ok && !exists(tmp / "drive/a"), "emptying the drive"}}) +
               verdict(r,
                       {{!r.ok && r.error == EBUSY && r.failedPath == tmp / "drive/", "removing the drive"},
                        {r.removedFiles == 1 && !exists(tmp / "drive/again.txt"), "drive content"},
                        {exists(tmp / "drive"), "drive root"}});
    });
    EXPECT_EQ(readFile(tmp / "source-ro/data.txt"), "ro");
    EXPECT_EQ(readFile(tmp / "source-rw/data.txt"), "rw");
}

// "/" reached through a bind mount of it is refused like "/" itself. The
// bind is read-only, so a broken refusal could not remove anything.
TEST(DeleteFaults, TheRootThroughABindMountIsRefused)
{
    TempTree tmp;
    tmp.dir("slash");
    EXPECT_IN_CHILD([&]() -> std::string {
        std::string why = steps(
            {enterPrivateMountNamespace, [&] { return mountOrSkip("/", tmp / "slash", nullptr, MS_BIND); },
             [&] { return mountOrSkip(nullptr, tmp / "slash", nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY); }});
        if (!why.empty())
            return why;
        DeleteResult r = deleteTree(tmp / "slash");
        DeleteOptions zero;
        zero.mode = DeleteMode::ZeroByteOnly;
        DeleteResult z = deleteTree(tmp / "slash/", zero);
        return verdict(r, {{!r.ok && r.error == kRefusedRoot && r.removedFiles + r.removedFolders == 0,
                            "tree"}}) +
               verdict(z, {{!z.ok && z.error == kRefusedRoot && z.removedFiles + z.removedFolders == 0,
                            "zero-byte"}});
    });
}

}  // namespace
}  // namespace enginetest
