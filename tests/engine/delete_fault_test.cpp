// deleteTree() where the system says no: permissions, immutable files and
// mount points inside the tree or as the top.

#include "delete_helpers.h"
#include "engine/ErrorText.h"
#include "engine/SafeDelete.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

using namespace velmaro::engine;
using deltest::exists;
using deltest::readFile;
using deltest::TempDir;
using deltest::writeFile;

namespace {

// Child side: a failed check becomes the child's message.
std::string checks(const DeleteResult& r, const std::vector<std::pair<bool, std::string>>& list)
{
    for (const auto& [good, what] : list) {
        if (!good)
            return "FAIL: " + what + " (" + deltest::describe(r) + ")";
    }
    return deltest::encode(r);
}

DeleteResult childResult(const deltest::ChildReport& child)
{
    EXPECT_EQ(child.message.rfind("FAIL", 0), std::string::npos) << child.message;
    return deltest::decode(child.message);
}

std::string mountOrWhy(const char* source, const std::string& target, const char* type,
                       unsigned long flags)
{
    if (::mount(source, target.c_str(), type, flags, nullptr) != 0)
        return "SKIP: mount " + target + ": " + std::strerror(errno);
    return {};
}

}  // namespace

// The user may delete the tree but not a root-owned, read-only folder in it.
TEST(DeleteFaults, PermissionDeniedDeepInTheTreeKeepsOnlyThatBranch)
{
    TempDir tmp;
    writeFile(tmp / "top/s1/f.txt", "1");
    writeFile(tmp / "top/s2/g/h.txt", "2");
    writeFile(tmp / "top/a/b/blocked/x.txt", "x");
    writeFile(tmp / "top/a/b/blocked/inner/y.txt", "y");
    writeFile(tmp / "top/a/b/z.txt", "z");
    const bool root = ::geteuid() == 0;
    if (root) {
        deltest::chownTree(tmp / "top", deltest::kNobody, deltest::kNobody);
        deltest::chownTree(tmp / "top/a/b/blocked", 0, 0);
    }
    ASSERT_EQ(::chmod((tmp / "top/a/b/blocked").c_str(), 0555), 0);

    deltest::ChildReport child = deltest::runInChild([&] {
        if (root) {
            std::string why = deltest::dropToNobody();
            if (!why.empty())
                return "SKIP: " + why;
        }
        return deltest::encode(deleteTree(tmp / "top"));
    });
    ::chmod((tmp / "top/a/b/blocked").c_str(), 0755);
    if (child.skipped)
        GTEST_SKIP() << child.message;

    DeleteResult r = childResult(child);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EACCES) << deltest::describe(r);
    EXPECT_EQ(r.failedPath.rfind(tmp / "top/a/b/blocked/", 0), 0u) << r.failedPath;
    EXPECT_EQ(errorFromErrno(r.error).text, "Zugriff verweigert");
    EXPECT_FALSE(exists(tmp / "top/s1"));
    EXPECT_FALSE(exists(tmp / "top/s2"));
    EXPECT_FALSE(exists(tmp / "top/a/b/z.txt"));
    EXPECT_EQ(readFile(tmp / "top/a/b/blocked/x.txt"), "x");
    EXPECT_EQ(readFile(tmp / "top/a/b/blocked/inner/y.txt"), "y");
}

TEST(DeleteFaults, ImmutableFileIsReportedAndSiblingsGo)
{
    TempDir tmp;
    writeFile(tmp / "top/a/locked.txt", "locked");
    writeFile(tmp / "top/a/free.txt", "free");
    writeFile(tmp / "top/b/c/d.txt", "d");
    if (int err = deltest::setImmutable(tmp / "top/a/locked.txt", true))
        GTEST_SKIP() << "no immutable flag here: " << std::strerror(err);
    struct Unlock {
        std::string path;
        ~Unlock() { deltest::setImmutable(path, false); }
    } unlock{tmp / "top/a/locked.txt"};

    DeleteResult r = deleteTree(tmp / "top");

    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EPERM) << deltest::describe(r);
    EXPECT_EQ(r.failedPath, tmp / "top/a/locked.txt");
    EXPECT_EQ(readFile(tmp / "top/a/locked.txt"), "locked");
    EXPECT_FALSE(exists(tmp / "top/a/free.txt"));
    EXPECT_FALSE(exists(tmp / "top/b"));
    EXPECT_EQ(r.removedFiles, 2u);
    EXPECT_EQ(r.removedFolders, 2u);  // b and c
}

// tmpfs, a read-only bind mount and a writable bind mount of the same file
// system inside the tree: none is entered, all keep their content.
TEST(DeleteFaults, MountPointsInsideTheTreeAreNotEntered)
{
    TempDir tmp;
    writeFile(tmp / "source-ro/data.txt", "ro");
    writeFile(tmp / "source-rw/data.txt", "rw");
    writeFile(tmp / "top/plain/p.txt", "p");
    writeFile(tmp / "top/zzz.txt", "z");
    deltest::makeDirs(tmp / "top/m/tmpfs");
    deltest::makeDirs(tmp / "top/m/ro");
    deltest::makeDirs(tmp / "top/rw");

    deltest::ChildReport child = deltest::runInChild([&]() -> std::string {
        std::string why = deltest::enterPrivateMountNamespace();
        if (!why.empty())
            return "SKIP: " + why;
        for (std::string step :
             {mountOrWhy("none", tmp / "top/m/tmpfs", "tmpfs", 0),
              mountOrWhy((tmp / "source-ro").c_str(), tmp / "top/m/ro", nullptr, MS_BIND),
              mountOrWhy(nullptr, tmp / "top/m/ro", nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY),
              mountOrWhy((tmp / "source-rw").c_str(), tmp / "top/rw", nullptr, MS_BIND)}) {
            if (!step.empty())
                return step;
        }
        writeFile(tmp / "top/m/tmpfs/inside.txt", "tmpfs");
        DeleteResult r = deleteTree(tmp / "top");
        return checks(r, {{readFile(tmp / "top/m/tmpfs/inside.txt") == "tmpfs", "tmpfs content"},
                          {readFile(tmp / "top/m/ro/data.txt") == "ro", "ro bind content"},
                          {readFile(tmp / "top/rw/data.txt") == "rw", "rw bind content"},
                          {!exists(tmp / "top/plain") && !exists(tmp / "top/zzz.txt"), "siblings"},
                          {exists(tmp / "top/m"), "folder above a mount point"}});
    });
    if (child.skipped)
        GTEST_SKIP() << child.message;

    DeleteResult r = childResult(child);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EXDEV) << deltest::describe(r);
    EXPECT_TRUE(r.failedPath == tmp / "top/m/tmpfs/" || r.failedPath == tmp / "top/m/ro/"
                || r.failedPath == tmp / "top/rw/")
        << r.failedPath;
    EXPECT_EQ(r.removedFiles, 2u);
    EXPECT_EQ(readFile(tmp / "source-ro/data.txt"), "ro");
    EXPECT_EQ(readFile(tmp / "source-rw/data.txt"), "rw");
}

// A drive root: its content goes, the mount point itself cannot.
TEST(DeleteFaults, MountPointAsTheTopIsEmptiedButNotRemoved)
{
    TempDir tmp;
    deltest::makeDirs(tmp / "drive");

    deltest::ChildReport child = deltest::runInChild([&]() -> std::string {
        std::string why = deltest::enterPrivateMountNamespace();
        if (why.empty())
            why = mountOrWhy("none", tmp / "drive", "tmpfs", 0);
        if (!why.empty())
            return why.rfind("SKIP", 0) == 0 ? why : "SKIP: " + why;
        writeFile(tmp / "drive/a/b.txt", "b");
        writeFile(tmp / "drive/c.txt", "c");
        DeleteOptions keepTop;
        keepTop.removeTop = false;
        DeleteResult emptied = deleteTree(tmp / "drive/", keepTop);
        if (!emptied.ok || exists(tmp / "drive/a"))
            return "FAIL: emptying the drive: " + deltest::describe(emptied);
        writeFile(tmp / "drive/again.txt", "again");
        DeleteResult r = deleteTree(tmp / "drive/");
        return checks(r, {{exists(tmp / "drive") && !exists(tmp / "drive/again.txt"), "drive"}});
    });
    if (child.skipped)
        GTEST_SKIP() << child.message;

    DeleteResult r = childResult(child);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EBUSY) << deltest::describe(r);
    EXPECT_EQ(r.failedPath, tmp / "drive/");
    EXPECT_EQ(r.removedFiles, 1u);
    EXPECT_EQ(errorFromErrno(r.error).number, 75);
}
