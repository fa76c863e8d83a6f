// deleteScannedTree() and deleteListedFile(): a delete acts on the folder or
// file that was listed, never on whatever a path names later.

#include "TempTree.h"

#include "engine/ScannedFolder.h"

#include <chrono>

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

uint64_t inodeOf(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_ino) : 0;
}

FileFacts factsAt(const std::string& path)
{
    struct statx st {};
    ::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, fileFactsMask(), &st);
    return factsOf(st);
}

// Runs `recreate` until `path` holds an object with inode `ino` again, as an
// attacker would; false when this file system never handed it out again.
bool recreateUntilReused(const std::string& path, uint64_t ino, const std::function<void()>& recreate)
{
    for (int attempt = 0; attempt < 2000; ++attempt) {
        recreate();
        if (inodeOf(path) == ino)
            return true;
    }
    return false;
}

// The file view removes exactly the listed file, unchanged: "*.*" is a name
// like any other, and a name that now holds another inode, a folder, or the
// same file with other content stays.
TEST(DeleteListedFile, RemovesOnlyTheListedUnchangedFile)
{
    TempTree tmp;
    tmp.file("f/*.*", "star");
    tmp.file("f/sub*.*", "sub-star");
    tmp.file("f/sub/inner.txt", "inner");
    tmp.file("f/other.txt", "other");
    tmp.file("f/swapped", "old");
    tmp.file("f/grown", "old");
    tmp.dir("f/became-folder");
    const FileFacts swapped = factsAt(tmp / "f/swapped"), grown = factsAt(tmp / "f/grown");
    const FileFacts star = factsAt(tmp / "f/*.*"), subStar = factsAt(tmp / "f/sub*.*");
    std::filesystem::rename(tmp / "f/swapped", tmp / "f/old");  // keeps its inode in use
    tmp.file("f/swapped-new", "new");
    std::filesystem::rename(tmp / "f/swapped-new", tmp / "f/swapped");
    std::ofstream(tmp / "f/grown", std::ios::app) << "appended";
    const int dir = ::open((tmp / "f").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(dir, 0);

    EXPECT_EQ(deleteListedFile(dir, "*.*", star), 0);
    EXPECT_EQ(deleteListedFile(dir, "sub*.*", subStar), 0);
    EXPECT_EQ(deleteListedFile(dir, "swapped", swapped), kChangedSinceListing);
    EXPECT_EQ(deleteListedFile(dir, "grown", grown), kChangedSinceListing);
    EXPECT_EQ(deleteListedFile(dir, "became-folder", factsAt(tmp / "f/became-folder")), kChangedSinceListing);
    EXPECT_EQ(deleteListedFile(dir, "other.txt", FileFacts{}), kChangedSinceListing);  // never read
    EXPECT_EQ(deleteListedFile(dir, "gone", star), ENOENT);
    ::close(dir);
    EXPECT_FALSE(exists(tmp / "f/*.*"));
    EXPECT_FALSE(exists(tmp / "f/sub*.*"));
    EXPECT_EQ(readFile(tmp / "f/sub/inner.txt"), "inner");
    EXPECT_EQ(readFile(tmp / "f/other.txt"), "other");
    EXPECT_EQ(readFile(tmp / "f/swapped"), "new");
    EXPECT_EQ(readFile(tmp / "f/grown"), "oldappended");
    EXPECT_TRUE(exists(tmp / "f/became-folder"));
}

// ext4 hands a freed inode number out again at once. A file removed after
// the listing and written anew under its name, with the listed inode number,
// is another file and stays. Where this file system never reused the
// number, the listing's facts differ from the new file's only in the birth
// time.
TEST(DeleteListedFile, AFileRecreatedWithTheListedInodeStays)
{
    TempTree tmp;
    tmp.file("f/victim", "old");
    FileFacts listed = factsAt(tmp / "f/victim");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the user reads the list
    const bool reused = recreateUntilReused(tmp / "f/victim", listed.inode, [&] {
        std::filesystem::remove(tmp / "f/victim");
        tmp.file("f/victim", "new");
    });
    if (!reused) {
        listed = factsAt(tmp / "f/victim");
        listed.stamp.value += 1;
    }
    RecordProperty("inode_reused", reused ? "yes" : "no");
    const int dir = ::open((tmp / "f").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(dir, 0);
    EXPECT_EQ(deleteListedFile(dir, "victim", listed), kChangedSinceListing);
    ::close(dir);
    EXPECT_EQ(readFile(tmp / "f/victim"), "new");
}

// The same for a scanned folder: removed after the scan and created anew
// with the scanned inode number, it is another folder. Neither delete
// touches it or what it now holds.
TEST(DeleteScanned, AFolderRecreatedWithTheScannedInodeStays)
{
    for (DeleteMode mode : {DeleteMode::Everything, DeleteMode::ZeroByteOnly}) {
        SCOPED_TRACE(mode == DeleteMode::Everything ? "tree" : "zero-byte");
        TempTree tmp;
        tmp.file("top/a/old.txt", "");
        const ScanResult s = scan(tmp / "top");
        ScannedFolder row = scannedOf(s, tmp / "top", tmp / "top/a/");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const bool reused = recreateUntilReused(tmp / "top/a", row.id.ino, [&] {
            std::filesystem::remove_all(tmp / "top/a");
            if (mode == DeleteMode::Everything)
                tmp.file("top/a/new.txt", "new");
            else
                tmp.dir("top/a/new");
        });
        if (!reused) {
            ASSERT_EQ(readIdentity(AT_FDCWD, (tmp / "top/a").c_str(), row.id), 0);
            row.id.stamp.value += 1;
        }
        RecordProperty("inode_reused", reused ? "yes" : "no");

        DeleteResult r = deleteScannedTree(row, withMode(mode));

        EXPECT_EQ(r.error, kChangedSinceScan) << describe(r);
        EXPECT_TRUE(exists(tmp / (mode == DeleteMode::Everything ? "top/a/new.txt" : "top/a/new")));
    }
}

// A birth time tells a new folder with a reused inode number from the old
// one; where a file system has none, the change time stands in for it and
// then also refuses a folder changed since the scan (but not a walk inside
// one delete, which changes it itself).
TEST(FolderIdentity, BirthTimeTellsANewFolderChangeTimeAlsoAChangedOne)
{
    const FolderIdentity born{8, 42, 3, true, false, {ObjectStamp::Kind::Birth, 1000}};
    FolderIdentity reborn = born;
    reborn.stamp.value = 2000;
    EXPECT_FALSE(reborn.sameAs(born));
    EXPECT_FALSE(reborn.unchangedSince(born));
    FolderIdentity changed = born;
    changed.stamp = {ObjectStamp::Kind::Change, 1000};
    EXPECT_FALSE(changed.sameAs(born));  // stamps of another kind prove nothing
    FolderIdentity later = changed;
    later.stamp.value = 2000;
    EXPECT_TRUE(later.sameAs(changed));
    EXPECT_FALSE(later.unchangedSince(changed));
    EXPECT_TRUE(changed.unchangedSince(changed));
}

}  // namespace
}  // namespace enginetest
