// deleteTree() / deleteFile() on real temporary trees: the normal cases,
// links, odd names, swaps during the walk, depth and refusals.

#include "delete_helpers.h"
#include "engine/ErrorText.h"
#include "engine/SafeDelete.h"
#include "engine/TreeDeleter.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <set>
#include <stdexcept>

using namespace velmaro::engine;
using deltest::exists;
using deltest::makeDirs;
using deltest::readFile;
using deltest::TempDir;
using deltest::writeFile;

namespace {

// top/ with files, hidden entries, an empty folder, a fifo and a link that
// points at a folder outside the tree.
void buildMixedTree(const TempDir& tmp)
{
    writeFile(tmp / "top/a.txt", "abc");
    writeFile(tmp / "top/.hidden", "h");
    writeFile(tmp / "top/sub/deeper/x.bin", std::string(5000, 'x'));
    writeFile(tmp / "top/sub/.cfg/y", "");
    makeDirs(tmp / "top/empty");
    ASSERT_EQ(::mkfifo((tmp / "top/sub/pipe").c_str(), 0644), 0);
    writeFile(tmp / "outside/keep.txt", "keep");
    ASSERT_EQ(::symlink((tmp / "outside").c_str(), (tmp / "top/sub/link").c_str()), 0);
    ASSERT_EQ(::symlink((tmp / "outside/keep.txt").c_str(), (tmp / "top/filelink").c_str()), 0);
}

}  // namespace

TEST(DeleteTree, RemovesTheWholeTreeButNothingALinkPointsAt)
{
    TempDir tmp;
    buildMixedTree(tmp);
    const int fdsBefore = deltest::openDescriptorCount();
    std::vector<std::string> announced;
    DeleteOptions options;
    options.onEntry = [&](const std::string& p) { announced.push_back(p); };

    DeleteResult r = deleteTree(tmp / "top/", options);

    EXPECT_TRUE(r.ok) << deltest::describe(r);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.failedPath, "");
    EXPECT_EQ(r.removedFiles, 7u);    // a.txt .hidden x.bin y pipe link filelink
    EXPECT_EQ(r.removedFolders, 5u);  // sub deeper .cfg empty and top itself
    EXPECT_FALSE(exists(tmp / "top"));
    EXPECT_EQ(readFile(tmp / "outside/keep.txt"), "keep");
    EXPECT_EQ(deltest::openDescriptorCount(), fdsBefore);
    // Every entry is announced once, children before their folder, folders with '/'.
    EXPECT_EQ(announced.size(), 12u);
    EXPECT_EQ(announced.back(), tmp / "top/");
    auto pos = [&](const std::string& p) {
        return std::find(announced.begin(), announced.end(), p) - announced.begin();
    };
    EXPECT_LT(pos(tmp / "top/sub/deeper/x.bin"), pos(tmp / "top/sub/deeper/"));
    EXPECT_LT(pos(tmp / "top/sub/deeper/"), pos(tmp / "top/sub/"));
    EXPECT_LT(pos(tmp / "top/sub/link"), pos(tmp / "top/sub/"));
}

TEST(DeleteTree, KeepsTheTopWhenAskedAndAcceptsAPathWithoutSlash)
{
    TempDir tmp;
    writeFile(tmp / "top/a/b/c.txt", "c");
    writeFile(tmp / "top/d.txt", "d");
    DeleteOptions options;
    options.removeTop = false;

    DeleteResult r = deleteTree(tmp / "top", options);

    EXPECT_TRUE(r.ok) << deltest::describe(r);
    EXPECT_EQ(r.removedFiles, 2u);
    EXPECT_EQ(r.removedFolders, 2u);
    ASSERT_TRUE(exists(tmp / "top"));
    EXPECT_FALSE(exists(tmp / "top/a"));
    EXPECT_FALSE(exists(tmp / "top/d.txt"));
}

TEST(DeleteTree, NamesThatAreNotUtf8OrHoldControlCharacters)
{
    TempDir tmp;
    const std::vector<std::string> names = {
        "caf\xe9",          // Latin-1, not UTF-8
        "\xff\xfe\x80",     // no valid UTF-8 at all
        "line\nbreak",      // newline
        "tab\there",        // tab
        "-rf",              // looks like an option
        " lead and trail ",  // blanks
        "sp\xc3\xa4t",       // valid UTF-8 umlaut
    };
    for (const auto& n : names) {
        writeFile(tmp / ("top/" + n + "/" + n), n);
        writeFile(tmp / ("top/" + n + ".file"), n);
    }
    std::set<std::string> announced;
    DeleteOptions options;
    options.onEntry = [&](const std::string& p) { announced.insert(p); };

    DeleteResult r = deleteTree(tmp / "top", options);

    EXPECT_TRUE(r.ok) << deltest::describe(r);
    EXPECT_EQ(r.removedFiles, 2 * names.size());
    EXPECT_FALSE(exists(tmp / "top"));
    for (const auto& n : names) {
        EXPECT_TRUE(announced.count(tmp / ("top/" + n + "/" + n))) << n;
        EXPECT_TRUE(announced.count(tmp / ("top/" + n + "/"))) << n;
    }
}

TEST(DeleteTree, MissingFolderFailsWithPathNotFound)
{
    TempDir tmp;
    DeleteResult r = deleteTree(tmp / "gone/");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOENT);
    EXPECT_EQ(r.failedPath, tmp / "gone/");
    EXPECT_EQ(errorFromErrno(r.error).number, 76);

    r = deleteTree(tmp / "no/parent/either");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOENT);

    writeFile(tmp / "plain", "x");
    r = deleteTree(tmp / "plain");
    EXPECT_EQ(r.error, ENOTDIR);
    EXPECT_TRUE(exists(tmp / "plain"));

    EXPECT_EQ(deleteTree("").error, EINVAL);
    EXPECT_EQ(deleteTree(tmp / "..").error, EINVAL);
    EXPECT_TRUE(exists(tmp.path()));
}

// Runs in a child, with the walk stopped before its first removal even if
// the refusal were missing: nothing can be lost when this test fails.
TEST(DeleteTree, RefusesTheFileSystemRoot)
{
    for (const char* root : {"/", "//", "///"}) {
        deltest::ChildReport child = deltest::runInChild([root] {
            std::atomic<bool> stop{true};
            DeleteOptions options;
            options.cancel = &stop;
            options.onEntry = [](const std::string&) { ::_exit(3); };
            return deltest::encode(deleteTree(root, options));
        });
        ASSERT_FALSE(child.skipped);
        DeleteResult r = deltest::decode(child.message);
        EXPECT_FALSE(r.ok) << root;
        EXPECT_EQ(r.error, kRefusedRoot) << root;
        EXPECT_EQ(r.failedPath, "/");
        EXPECT_EQ(r.removedFiles + r.removedFolders, 0u);
    }
    EXPECT_EQ(errorFromErrno(kRefusedRoot).text, "Das Stammverzeichnis \"/\" wird nicht gelöscht.");
}

TEST(DeleteTree, ASymlinkGivenAsTheTopIsNeverFollowed)
{
    TempDir tmp;
    writeFile(tmp / "target/inner/file.txt", "data");
    for (const std::string suffix : {"", "/"}) {
        ASSERT_EQ(::symlink((tmp / "target").c_str(), (tmp / "link").c_str()), 0);

        DeleteOptions keepTop;
        keepTop.removeTop = false;
        DeleteResult r = deleteTree(tmp / ("link" + suffix), keepTop);
        EXPECT_EQ(r.error, ELOOP) << suffix;
        EXPECT_TRUE(exists(tmp / "link"));

        DeleteOptions zero;
        zero.mode = DeleteMode::ZeroByteOnly;
        r = deleteTree(tmp / ("link" + suffix), zero);
        EXPECT_EQ(r.error, ELOOP) << suffix;
        EXPECT_TRUE(exists(tmp / "link"));

        r = deleteTree(tmp / ("link" + suffix));  // removes the link itself
        EXPECT_TRUE(r.ok) << deltest::describe(r);
        EXPECT_EQ(r.removedFiles, 1u);
        EXPECT_FALSE(exists(tmp / "link"));
        EXPECT_EQ(readFile(tmp / "target/inner/file.txt"), "data") << suffix;
    }
}

// Folders are swapped for links to an outside folder after the walk has
// listed them and before it enters them.
TEST(DeleteTree, FolderSwappedForALinkDuringTheWalkLeadsNowhereOutside)
{
    TempDir tmp;
    const int count = 8;
    for (int i = 0; i < count; ++i)
        writeFile(tmp / ("top/b" + std::to_string(i) + "/sub/f"), "content");
    writeFile(tmp / "outside/o.txt", "outside");
    writeFile(tmp / "outside/sub/f", "outside too");
    makeDirs(tmp / "moved");
    int swapped = 0;
    bool done = false;
    DeleteOptions options;
    options.onEntry = [&](const std::string& current) {
        if (done)
            return;
        done = true;
        for (int i = 0; i < count; ++i) {
            const std::string b = tmp / ("top/b" + std::to_string(i));
            if (current.rfind(b + "/", 0) == 0)
                continue;  // the walk is inside this one
            ASSERT_EQ(::rename(b.c_str(), (tmp / ("moved/b" + std::to_string(i))).c_str()), 0);
            ASSERT_EQ(::symlink((tmp / "outside").c_str(), b.c_str()), 0);
            ++swapped;
        }
    };

    DeleteResult r = deleteTree(tmp / "top", options);

    EXPECT_GE(swapped, count - 1);
    EXPECT_TRUE(r.ok) << deltest::describe(r);
    EXPECT_FALSE(exists(tmp / "top"));
    EXPECT_EQ(readFile(tmp / "outside/o.txt"), "outside");
    EXPECT_EQ(readFile(tmp / "outside/sub/f"), "outside too");
    int intact = 0;
    for (int i = 0; i < count; ++i)
        intact += readFile(tmp / ("moved/b" + std::to_string(i) + "/sub/f")) == "content";
    EXPECT_EQ(intact, swapped);
}

// A chain deeper than the walk keeps descriptors for. While the walk is at
// the bottom, a middle folder is moved out of its parent and a higher one is
// replaced by a link to a copy of the chain outside: reopening the closed
// folders must notice both and must not touch the outside copy.
TEST(DeleteTree, ReopeningClosedFoldersChecksTheirIdentity)
{
    static_assert(deletion::TreeDeleter::kMaxOpenFolders <= 18, "chain too short for the bound");
    TempDir tmp;
    const int depth = 40;
    std::string chain = tmp / "top";
    std::vector<std::string> levels;  // levels[k] = .../d<k>
    for (int k = 0; k < depth; ++k) {
        chain += "/d" + std::to_string(k);
        levels.push_back(chain);
        writeFile(chain + "/f", "level");
    }
    std::string outside = tmp / "outside";
    for (int k = 11; k < depth; ++k) {
        outside += "/d" + std::to_string(k);
        writeFile(outside + "/f", "outside");
    }
    makeDirs(tmp / "moved");
    bool done = false;
    DeleteOptions options;
    options.onEntry = [&](const std::string& current) {
        if (done || current != levels.back() + "/f")
            return;
        done = true;
        ASSERT_EQ(::rename(levels[21].c_str(), (tmp / "moved/d21").c_str()), 0);
        ASSERT_EQ(::rename(levels[10].c_str(), (tmp / "moved/d10").c_str()), 0);
        ASSERT_EQ(::symlink((tmp / "outside").c_str(), levels[10].c_str()), 0);
    };

    DeleteResult r = deleteTree(tmp / "top", options);

    ASSERT_TRUE(done);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error == ENOTDIR || r.error == ELOOP) << deltest::describe(r);
    EXPECT_EQ(r.failedPath, levels[10] + "/");
    std::string check = tmp / "outside";
    for (int k = 11; k < depth; ++k) {
        check += "/d" + std::to_string(k);
        EXPECT_EQ(readFile(check + "/f"), "outside") << k;
    }
    EXPECT_TRUE(exists(levels[9]));  // kept above the failure
    EXPECT_TRUE(exists(levels[10]));  // the link stays too
    EXPECT_FALSE(exists(tmp / "moved/d21/d22"));  // it was emptied through its descriptor
}

namespace {

// top/d/d/.../d, `depth` folders, a file every 1000 levels; built relative
// to descriptors because the path grows past PATH_MAX. "" or what failed.
std::string buildChain(const std::string& base, int depth)
{
    int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int k = 0; k < depth && fd >= 0; ++k) {
        const char* name = k == 0 ? "top" : "d";
        if (::mkdirat(fd, name, 0755) != 0)
            return "mkdirat failed at level " + std::to_string(k);
        if (k % 1000 == 0)
            ::close(::openat(fd, "file", O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        int next = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    if (fd < 0)
        return "cannot open the chain";
    ::close(fd);
    return {};
}

}  // namespace

// 20,000 levels with a descriptor limit of 64, in a child. The child puts a
// tmpfs over the temporary folder where it can: folder creation on a busy
// disk costs milliseconds each, and depth, not the disk, is under test here.
TEST(DeleteTree, TwentyThousandLevelsWithALowDescriptorLimit)
{
    TempDir tmp;
    const int depth = 20000;
    deltest::ChildReport child = deltest::runInChild([&] {
        if (deltest::enterPrivateMountNamespace().empty())
            ::mount("none", tmp.path().c_str(), "tmpfs", 0, nullptr);
        std::string why = buildChain(tmp.path(), depth);
        if (!why.empty())
            return "FAIL: " + why;
        struct rlimit limit {64, 64};
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0)
            return std::string("FAIL: setrlimit");
        DeleteResult r = deleteTree(tmp / "top");
        if (exists(tmp / "top"))
            return "FAIL: top still there: " + deltest::describe(r);
        return deltest::encode(r);
    });

    ASSERT_EQ(child.message.rfind("FAIL", 0), std::string::npos) << child.message;
    DeleteResult r = deltest::decode(child.message);
    EXPECT_TRUE(r.ok) << deltest::describe(r);
    EXPECT_EQ(r.removedFolders, static_cast<uint64_t>(depth));
    EXPECT_EQ(r.removedFiles, 19u);  // one every 1000 levels (the first lies beside the top)
    EXPECT_FALSE(exists(tmp / "top"));
}

TEST(DeleteTree, CancelAndExceptionsStopTheWalkCleanly)
{
    TempDir tmp;
    for (int i = 0; i < 20; ++i)
        writeFile(tmp / ("top/f" + std::to_string(i)), "x");
    const int fdsBefore = deltest::openDescriptorCount();
    std::atomic<bool> stop{false};
    int calls = 0;
    DeleteOptions options;
    options.cancel = &stop;
    options.onEntry = [&](const std::string&) {
        if (++calls == 3)
            stop = true;
    };
    DeleteResult r = deleteTree(tmp / "top", options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ECANCELED);
    EXPECT_EQ(r.removedFiles, 3u);
    EXPECT_EQ(errorFromErrno(r.error).text, "Unterbrechung durch Benutzer");

    options.cancel = nullptr;
    options.onEntry = [](const std::string&) { throw std::runtime_error("stop"); };
    r = deleteTree(tmp / "top", options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ECANCELED);
    EXPECT_EQ(r.removedFiles, 0u);
    EXPECT_TRUE(exists(tmp / "top/f10") || exists(tmp / "top/f11"));
    EXPECT_EQ(deltest::openDescriptorCount(), fdsBefore);
}

TEST(DeleteFile, RemovesOneEntryAndNeverAFolder)
{
    TempDir tmp;
    writeFile(tmp / "dir/file.txt", "x");
    writeFile(tmp / "target.txt", "target");
    ASSERT_EQ(::symlink((tmp / "target.txt").c_str(), (tmp / "dir/link").c_str()), 0);
    ASSERT_EQ(::symlink((tmp / "dir").c_str(), (tmp / "dirlink").c_str()), 0);

    DeleteResult r = deleteFile(tmp / "dir/file.txt");
    EXPECT_TRUE(r.ok) << deltest::describe(r);
    EXPECT_EQ(r.removedFiles, 1u);
    EXPECT_FALSE(exists(tmp / "dir/file.txt"));

    EXPECT_TRUE(deleteFile(tmp / "dir/link").ok);
    EXPECT_EQ(readFile(tmp / "target.txt"), "target");
    EXPECT_TRUE(deleteFile(tmp / "dirlink").ok);  // the link, not the folder
    EXPECT_TRUE(exists(tmp / "dir"));

    r = deleteFile(tmp / "dir");
    EXPECT_EQ(r.error, EISDIR);
    EXPECT_TRUE(exists(tmp / "dir"));
    EXPECT_EQ(deleteFile("/").error, EISDIR);

    r = deleteFile(tmp / "dir/missing");
    EXPECT_EQ(r.error, ENOENT);
    EXPECT_EQ(fileErrorFromErrno(r.error).number, 53);
    writeFile(tmp / "dir/plain", "p");
    EXPECT_EQ(deleteFile(tmp / "dir/plain/").error, ENOTDIR);
    EXPECT_TRUE(exists(tmp / "dir/plain"));
}
