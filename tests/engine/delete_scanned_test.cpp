// deleteScannedTree() and deleteListedFile(): a delete acts on the folder or
// file that was listed, never on whatever a path names later.

#include "TempTree.h"

#include "engine/ScannedFolder.h"

namespace enginetest {
namespace {

// The scanned folder `path` (ends in '/') of a scan of `root`.
ScannedFolder scannedOf(const ScanResult& s, const std::string& root, const std::string& path)
{
    const std::string rootPath = root + "/";
    return ScannedFolder{rootPath, s.byPath.at(rootPath).id, path, s.byPath.at(path).id};
}

DeleteOptions withMode(DeleteMode mode)
{
    DeleteOptions options;
    options.mode = mode;
    return options;
}

// What happens to the tree between the scan and the delete, and which row
// is deleted then. Each case must refuse and leave every file in place.
struct ChangeCase {
    const char* what;
    const char* row;  // below the scanned root "top"
    std::function<void(const TempTree&)> change;
};

TEST(DeleteScanned, RefusesAFolderThatChangedSinceTheScan)
{
    const std::vector<ChangeCase> cases = {
        {"parent replaced by a symlink", "p/c/",
         [](const TempTree& t) {
             std::filesystem::rename(t / "top/p", t / "moved");
             t.symlink(t / "victim", "top/p");
         }},
        {"row replaced by a symlink", "p/c/",
         [](const TempTree& t) {
             std::filesystem::rename(t / "top/p/c", t / "moved");
             t.symlink(t / "victim/c", "top/p/c");
         }},
        {"row replaced by another folder", "p/c/",
         [](const TempTree& t) {
             std::filesystem::rename(t / "top/p/c", t / "moved");
             t.file("top/p/c/new.txt", "new");
         }},
        {"root replaced by another folder", "p/",
         [](const TempTree& t) {
             std::filesystem::rename(t / "top", t / "moved");
             t.file("top/p/c/new.txt", "new");
         }},
        {"zero-byte folder became a symlink to a project", "cache/sub/",
         [](const TempTree& t) {
             std::filesystem::rename(t / "top/cache", t / "moved");
             t.symlink(t / "victim", "top/cache");
         }},
    };
    for (const ChangeCase& c : cases) {
        for (DeleteMode mode : {DeleteMode::Everything, DeleteMode::ZeroByteOnly}) {
            SCOPED_TRACE(std::string(c.what) + (mode == DeleteMode::Everything ? " (tree)" : " (zero-byte)"));
            TempTree tmp;
            tmp.file("top/p/c/x.txt", "x");
            tmp.dir("top/cache/sub/deeper");
            tmp.file("victim/c/v.txt", "v");
            tmp.file("victim/sub/__init__.py", "");
            const ScanResult s = scan(tmp / "top");
            const ScannedFolder row = scannedOf(s, tmp / "top", tmp / "top/" + c.row);
            c.change(tmp);

            DeleteResult r = deleteScannedTree(row, withMode(mode));

            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.error, kChangedSinceScan) << describe(r);
            EXPECT_EQ(r.removedFiles + r.removedFolders, 0u) << describe(r);
            EXPECT_EQ(readFile(tmp / "victim/c/v.txt"), "v");
            EXPECT_TRUE(exists(tmp / "victim/sub/__init__.py"));
        }
    }
}

// In a private mount namespace: a volume mounted on the row (an empty
// folder at scan time) or on a folder above it is never touched.
TEST(DeleteScanned, RefusesAFolderWithAVolumeMountedOnItOrAbove)
{
    TempTree tmp;
    tmp.dir("top/empty");
    tmp.dir("top/p/c");
    tmp.file("volume/c/data.txt", "volume");
    tmp.file("volume/keep.txt", "keep");
    const ScanResult s = scan(tmp / "top");
    const ScannedFolder onRow = scannedOf(s, tmp / "top", tmp / "top/empty/");
    const ScannedFolder belowMount = scannedOf(s, tmp / "top", tmp / "top/p/c/");

    EXPECT_IN_CHILD([&]() -> std::string {
        std::string why =
            steps({enterPrivateMountNamespace,
                   [&] { return mountOrSkip((tmp / "volume").c_str(), tmp / "top/empty", nullptr, MS_BIND); },
                   [&] { return mountOrSkip((tmp / "volume").c_str(), tmp / "top/p", nullptr, MS_BIND); }});
        if (!why.empty())
            return why;
        for (const ScannedFolder& row : {onRow, belowMount}) {
            for (DeleteMode mode : {DeleteMode::Everything, DeleteMode::ZeroByteOnly}) {
                DeleteResult r = deleteScannedTree(row, withMode(mode));
                std::string bad =
                    verdict(r, {{!r.ok && r.error == kChangedSinceScan, row.path.c_str()},
                                {readFile(tmp / "volume/c/data.txt") == "volume", "volume content"},
                                {readFile(tmp / "volume/keep.txt") == "keep", "volume content"}});
                if (!bad.empty())
                    return bad;
            }
        }
        return "";
    });
}

// Unchanged folders go, the scanned root too, at any depth: the path below
// the root may be far longer than PATH_MAX.
TEST(DeleteScanned, DeletesUnchangedFoldersAtAnyDepth)
{
    TempTree tmp;
    tmp.file("top/a/b/x.txt", "x");
    tmp.file("top/keep.txt", "k");
    tmp.dir("top/deep");
    makeChain(tmp / "top/deep", 300, std::string(40, 'n'), 0);  // ~12,300 path bytes
    const ScanResult s = scan(tmp / "top");
    std::string deepest = tmp / "top/deep/";
    for (int i = 0; i < 300; ++i)
        deepest += std::string(40, 'n') + "/";
    ASSERT_TRUE(s.byPath.count(deepest));

    DeleteResult deep =
        deleteScannedTree(scannedOf(s, tmp / "top", deepest), withMode(DeleteMode::ZeroByteOnly));
    EXPECT_TRUE(deep.ok) << describe(deep);
    EXPECT_EQ(deep.removedFiles, 1u);
    DeleteResult a = deleteScannedTree(scannedOf(s, tmp / "top", tmp / "top/a/"));
    EXPECT_TRUE(a.ok) << describe(a);
    EXPECT_FALSE(exists(tmp / "top/a"));
    EXPECT_EQ(readFile(tmp / "top/keep.txt"), "k");
    DeleteResult gone = deleteScannedTree(scannedOf(s, tmp / "top", tmp / "top/a/b/"));
    EXPECT_EQ(gone.error, ENOENT) << describe(gone);
    DeleteResult root = deleteScannedTree(scannedOf(s, tmp / "top", tmp / "top/"));
    EXPECT_TRUE(root.ok) << describe(root);
    EXPECT_FALSE(exists(tmp / "top"));
}

TEST(DeleteScanned, OpenScannedFolderChecksTheIdentityToo)
{
    TempTree tmp;
    tmp.file("top/a/x.txt", "x");
    const ScanResult s = scan(tmp / "top");
    const ScannedFolder a = scannedOf(s, tmp / "top", tmp / "top/a/");
    int error = 0;
    int fd = openScannedFolder(a, error);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(error, 0);
    ::close(fd);
    std::filesystem::rename(tmp / "top/a", tmp / "moved");
    tmp.dir("top/a");
    EXPECT_EQ(openScannedFolder(a, error), -1);
    EXPECT_EQ(error, kChangedSinceScan);
}

// The file view removes exactly the listed file: "*.*" is a name like any
// other, and a name that now holds another inode or a folder stays.
TEST(DeleteListedFile, RemovesOnlyTheListedInode)
{
    TempTree tmp;
    tmp.file("f/*.*", "star");
    tmp.file("f/sub*.*", "sub-star");
    tmp.file("f/sub/inner.txt", "inner");
    tmp.file("f/other.txt", "other");
    tmp.file("f/swapped", "old");
    tmp.dir("f/became-folder");
    auto inode = [&](const std::string& rel) {
        struct stat st {};
        ::lstat((tmp / rel).c_str(), &st);
        return static_cast<uint64_t>(st.st_ino);
    };
    const uint64_t swappedIno = inode("f/swapped");
    const uint64_t star = inode("f/*.*"), subStar = inode("f/sub*.*");
    std::filesystem::rename(tmp / "f/swapped", tmp / "f/old");  // keeps its inode in use
    tmp.file("f/swapped-new", "new");
    std::filesystem::rename(tmp / "f/swapped-new", tmp / "f/swapped");
    const int dir = ::open((tmp / "f").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(dir, 0);

    EXPECT_EQ(deleteListedFile(dir, "*.*", star), 0);
    EXPECT_EQ(deleteListedFile(dir, "sub*.*", subStar), 0);
    EXPECT_EQ(deleteListedFile(dir, "swapped", swappedIno), kChangedSinceListing);
    EXPECT_EQ(deleteListedFile(dir, "became-folder", inode("f/became-folder")), kChangedSinceListing);
    EXPECT_EQ(deleteListedFile(dir, "gone", 1), ENOENT);
    ::close(dir);
    EXPECT_FALSE(exists(tmp / "f/*.*"));
    EXPECT_FALSE(exists(tmp / "f/sub*.*"));
    EXPECT_EQ(readFile(tmp / "f/sub/inner.txt"), "inner");
    EXPECT_EQ(readFile(tmp / "f/other.txt"), "other");
    EXPECT_EQ(readFile(tmp / "f/swapped"), "new");
    EXPECT_TRUE(exists(tmp / "f/became-folder"));
}

}  // namespace
}  // namespace enginetest
