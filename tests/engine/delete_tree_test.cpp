// deleteTree() on real temporary trees: the normal case,
// links, odd names, refusals, swaps during the walk, depth, cancelling.

#include "TempTree.h"
#include "engine/TreeDeleter.h"

#include <algorithm>

namespace enginetest {
namespace {

// Files, hidden entries, an empty folder, a fifo, links to outside, and names
// that are not UTF-8 or hold control characters.
TEST(DeleteTree, RemovesTheWholeTreeButNothingALinkPointsAt)
{
    TempTree tmp;
    tmp.file("top/sub/deeper/x.bin", std::string(5000, 'x'));
    tmp.file("top/sub/.cfg/.hidden", "");
    tmp.dir("top/empty");
    ASSERT_EQ(::mkfifo((tmp / "top/sub/pipe").c_str(), 0644), 0);
    tmp.file("outside/keep.txt", "keep");
    tmp.symlink(tmp / "outside", "top/sub/link");
    tmp.symlink(tmp / "outside/keep.txt", "top/filelink");
    const std::vector<std::string> names = {"caf\xe9", "\xff\xfe\x80", "line\nbreak", "tab\there",
                                            "-rf",     " lead ",       "sp\xc3\xa4t"};
    for (const auto& n : names)
        tmp.file("top/" + n + "/" + n, n);
    const int fdsBefore = openDescriptorCount();
    std::vector<std::string> announced;
    DeleteOptions options;
    options.onEntry = [&](const std::string& p) { announced.push_back(p); };

    DeleteResult r = deleteTree(tmp / "top/", options);

    EXPECT_TRUE(r.ok) << describe(r);
    EXPECT_EQ(r.failedPath, "");
    EXPECT_EQ(r.removedFiles, 5u + names.size());    // x.bin .hidden pipe link filelink, one per name
    EXPECT_EQ(r.removedFolders, 5u + names.size());  // sub deeper .cfg empty top, one per name
    EXPECT_FALSE(exists(tmp / "top"));
    EXPECT_EQ(readFile(tmp / "outside/keep.txt"), "keep");
    EXPECT_EQ(openDescriptorCount(), fdsBefore);
    // Every entry is announced once, children before their folder, folders with '/'.
    EXPECT_EQ(announced.size(), 10u + 2 * names.size());
    EXPECT_EQ(announced.back(), tmp / "top/");
    auto pos = [&](const std::string& p) {
        return std::find(announced.begin(), announced.end(), p) - announced.begin();
    };
    EXPECT_LT(pos(tmp / "top/sub/deeper/x.bin"), pos(tmp / "top/sub/deeper/"));
    EXPECT_LT(pos(tmp / "top/sub/deeper/"), pos(tmp / "top/sub/"));
    EXPECT_LT(pos(tmp / "top/sub/link"), pos(tmp / "top/sub/"));
    for (const auto& n : names)
        EXPECT_LT(pos(tmp / ("top/" + n + "/" + n)), pos(tmp / ("top/" + n + "/"))) << n;
}

// Each case in a child; for "/" the walk is also stopped before its first
// removal, so nothing can be lost if the refusal were missing.
TEST(DeleteTree, RefusesWhatIsNotAFolderOrIsTheRoot)
{
    TempTree tmp;
    tmp.file("plain", "x");
    struct Case {
        std::string path;
        int error;
        std::string failedPath;  // "" = not checked
    };
    const Case cases[] = {{tmp / "gone/", ENOENT, tmp / "gone/"},
                          {tmp / "no/parent/either", ENOENT, ""},
                          {tmp / "plain", ENOTDIR, ""},
                          {"", EINVAL, ""},
                          {tmp / "..", EINVAL, ""},
                          {"/", kRefusedRoot, "/"},
                          {"//", kRefusedRoot, "/"},
                          {"///", kRefusedRoot, "/"}};
    for (const Case& c : cases) {
        EXPECT_EQ(runInChild([&]() -> std::string {
                      std::atomic<bool> stop{true};
                      DeleteOptions options;
                      options.cancel = c.error == kRefusedRoot ? &stop : nullptr;
                      options.onEntry = [](const std::string&) { ::_exit(3); };
                      DeleteResult r = deleteTree(c.path, options);
                      bool right = !r.ok && r.error == c.error && r.removedFiles + r.removedFolders == 0 &&
                                   (c.failedPath.empty() || r.failedPath == c.failedPath);
                      return right ? "" : describe(r);
                  }),
                  "")
            << c.path;
    }
    EXPECT_EQ(readFile(tmp / "plain"), "x");
}

TEST(DeleteTree, ASymlinkGivenAsTheTopIsNeverFollowed)
{
    TempTree tmp;
    tmp.file("target/inner/file.txt", "data");
    for (const std::string suffix : {"", "/"}) {
        tmp.symlink(tmp / "target", "link");
        DeleteOptions keepTop, zero;
        keepTop.removeTop = false;
        zero.mode = DeleteMode::ZeroByteOnly;
        for (const DeleteOptions& refused : {keepTop, zero}) {
            EXPECT_EQ(deleteTree(tmp / ("link" + suffix), refused).error, ELOOP) << suffix;
            EXPECT_TRUE(exists(tmp / "link"));
        }
        DeleteResult r = deleteTree(tmp / ("link" + suffix));  // removes the link itself
        EXPECT_TRUE(r.ok) << describe(r);
        EXPECT_EQ(r.removedFiles, 1u);
        EXPECT_FALSE(exists(tmp / "link"));
        EXPECT_EQ(readFile(tmp / "target/inner/file.txt"), "data") << suffix;
    }
}

// Folders are swapped for links to an outside folder after the walk has
// listed them and before it enters them.
TEST(DeleteTree, FolderSwappedForALinkDuringTheWalkLeadsNowhereOutside)
{
    TempTree tmp;
    const int count = 8;
    for (int i = 0; i < count; ++i)
        tmp.file("top/b" + std::to_string(i) + "/sub/f", "content");
    tmp.file("outside/sub/f", "outside");
    tmp.dir("moved");
    int swapped = 0;
    bool done = false;
    DeleteOptions options;
    options.onEntry = [&](const std::string& current) {
        if (std::exchange(done, true))
            return;
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
    EXPECT_TRUE(r.ok) << describe(r);
    EXPECT_FALSE(exists(tmp / "top"));
    EXPECT_EQ(readFile(tmp / "outside/sub/f"), "outside");
    int intact = 0;
    for (int i = 0; i < count; ++i)
        intact += readFile(tmp / ("moved/b" + std::to_string(i) + "/sub/f")) == "content";
    EXPECT_EQ(intact, swapped);
}

// A chain deeper than the walk keeps descriptors for. At the bottom, a middle
// folder is moved away and a higher one replaced by a link to a copy of the
// chain outside: reopening must notice both and leave the copy alone.
TEST(DeleteTree, ReopeningClosedFoldersChecksTheirIdentity)
{
    static_assert(deletion::TreeDeleter::kMaxOpenFolders <= 18, "chain too short for the bound");
    TempTree tmp;
    const int depth = 40;
    std::vector<std::string> levels;  // levels[k] = .../d<k>
    std::string chain = "top", outside = "outside";
    for (int k = 0; k < depth; ++k) {
        chain += "/d" + std::to_string(k);
        levels.push_back(tmp / chain);
        tmp.file(chain + "/f", "level");
        if (k > 10) {
            outside += "/d" + std::to_string(k);
            tmp.file(outside + "/f", "outside");
        }
    }
    tmp.dir("moved");
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
    EXPECT_TRUE(r.error == ENOTDIR || r.error == ELOOP) << describe(r);
    EXPECT_EQ(r.failedPath, levels[10] + "/");
    EXPECT_EQ(readFile(tmp / outside + "/f"), "outside");
    EXPECT_EQ(readFile(tmp / "outside/d11/f"), "outside");
    EXPECT_TRUE(exists(levels[9]));               // kept above the failure
    EXPECT_TRUE(exists(levels[10]));              // the link stays too
    EXPECT_FALSE(exists(tmp / "moved/d21/d22"));  // emptied through its descriptor
}

// 20,000 levels with a descriptor limit of 64, in a child that puts a tmpfs
// over the temporary folder where it can (depth, not the disk, is under test).
TEST(DeleteTree, TwentyThousandLevelsWithALowDescriptorLimit)
{
    TempTree tmp;
    EXPECT_IN_CHILD([&]() -> std::string {
        if (enterPrivateMountNamespace().empty())
            ::mount("none", tmp.root().c_str(), "tmpfs", 0, nullptr);
        makeChain(tmp.dir("top"), 19999, "d", 1);
        if (std::string why = lowerDescriptorLimit(64); !why.empty())
            return why;
        DeleteResult r = deleteTree(tmp / "top");
        return r.ok && r.removedFolders == 20000 && r.removedFiles == 1 && !exists(tmp / "top") ? ""
                                                                                                : describe(r);
    });
}

TEST(DeleteTree, CancelAndExceptionsStopTheWalkCleanly)
{
    TempTree tmp;
    for (int i = 0; i < 20; ++i)
        tmp.file("top/f" + std::to_string(i), "x");
    const int fdsBefore = openDescriptorCount();
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

    options.cancel = nullptr;
    options.onEntry = [](const std::string&) { throw std::runtime_error("stop"); };
    r = deleteTree(tmp / "top", options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ECANCELED);
    EXPECT_EQ(r.removedFiles, 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp / "top"), {}), 17);
    EXPECT_EQ(openDescriptorCount(), fdsBefore);

    DeleteOptions keepTop;  // empties the folder, given without a trailing '/'
    keepTop.removeTop = false;
    r = deleteTree(tmp / "top", keepTop);
    EXPECT_TRUE(r.ok) << describe(r);
    EXPECT_EQ(r.removedFiles, 17u);
    EXPECT_TRUE(std::filesystem::is_empty(tmp / "top"));
}

}  // namespace
}  // namespace enginetest
