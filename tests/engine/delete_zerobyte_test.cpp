// deleteTree() in zero-byte mode: only what is empty at the moment of
// removal goes; the stress test writes files while the pass runs.

#include "TempTree.h"

#include "engine/ScannedFolder.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <fstream>
#include <iostream>
#include <random>

namespace enginetest {
namespace {

DeleteOptions zeroByte()
{
    DeleteOptions options;
    options.mode = DeleteMode::ZeroByteOnly;
    return options;
}

bool leasesEnabled()
{
    std::ifstream in("/proc/sys/fs/leases-enable");
    int on = 1;
    in >> on;
    return on != 0;
}

// Only what is empty goes. Kept: a file with bytes, a link, a fifo, content
// that appears after its folder was listed, a file filled between the walk's
// look and its check, and (where leases work) an empty file held open for
// writing; every folder above them stays too.
TEST(DeleteZeroByte, RemovesOnlyWhatIsEmptyAndKeepsTheAncestorsOfTheRest)
{
    TempTree tmp;
    for (const char* empty :
         {"top/e1", "top/z/z2/e", "top/k/deep/e", "top/k/e", "target", "top/g/e", "top/h/fill", "top/u/open"})
        tmp.file(empty, "");
    tmp.dir("top/empty");
    tmp.file("top/k/deep/three.txt", "abc");  // shows as "0" KB but is not empty
    tmp.dir("top/l");
    tmp.symlink(tmp / "target", "top/l/link");
    tmp.dir("top/p");
    ASSERT_EQ(::mkfifo((tmp / "top/p/fifo").c_str(), 0644), 0);
    int writer = ::open((tmp / "top/u/open").c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    DeleteOptions options = zeroByte();
    options.onEntry = [&](const std::string& p) {
        if (p == tmp / "top/g/e")
            tmp.file("top/g/late.txt", "late");
        if (p == tmp / "top/h/fill")
            tmp.file("top/h/fill", "1");
    };

    DeleteResult r = deleteTree(tmp / "top/", options);
    ::close(writer);

    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOTEMPTY) << describe(r);
    const std::set<std::string> keepers = {tmp / "top/k/deep/", tmp / "top/l/", tmp / "top/p/",
                                           tmp / "top/g/",      tmp / "top/h/", tmp / "top/u/"};
    EXPECT_TRUE(keepers.count(r.failedPath)) << r.failedPath;
    EXPECT_EQ(r.removedFiles, 5u + !exists(tmp / "top/u/open"));
    EXPECT_EQ(r.removedFolders, 3u);  // empty, z2, z
    for (const char* gone : {"top/e1", "top/empty", "top/z", "top/k/e", "top/k/deep/e", "top/g/e"})
        EXPECT_FALSE(exists(tmp / gone)) << gone;
    for (const char* kept : {"top/k/deep/three.txt", "top/l/link", "top/p/fifo", "target", "top/g/late.txt"})
        EXPECT_TRUE(exists(tmp / kept)) << kept;
    EXPECT_EQ(readFile(tmp / "top/h/fill"), "1");
    if (leasesEnabled()) {
        EXPECT_TRUE(exists(tmp / "top/u/open")) << "a file open for writing must stay";
    }
}

// As a normal user: an empty file of another user that is open for writing
// cannot be leased, so it stays (and what is written to it later is kept);
// an empty folder the user may not read still goes (rmdir needs no read
// right), one with content stays.
TEST(DeleteZeroByte, WithoutALeaseTheFileStaysUnreadableEmptyFoldersGo)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to prepare files of two owners";
    TempTree tmp;
    tmp.file("top/a/foreign", "");
    tmp.dir("top/b/unreadable");
    tmp.file("top/c/locked/inside", "");
    chownTree(tmp / "top", kNobody, kNobody);
    for (const char* rootOwned : {"top/a/foreign", "top/b/unreadable", "top/c/locked", "top/c/locked/inside"})
        ASSERT_EQ(::chown((tmp / rootOwned).c_str(), 0, 0), 0);
    ASSERT_EQ(::chmod((tmp / "top/b/unreadable").c_str(), 0), 0);
    ASSERT_EQ(::chmod((tmp / "top/c/locked").c_str(), 0), 0);
    const int writer = ::open((tmp / "top/a/foreign").c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);

    EXPECT_IN_CHILD([&]() -> std::string {
        if (std::string why = dropToNobody(); !why.empty())
            return why;
        DeleteResult r = deleteTree(tmp / "top", zeroByte());
        return verdict(r, {{!r.ok && r.removedFiles == 0, "removed files"},
                           {!exists(tmp / "top/b"), "unreadable empty folder"},
                           {exists(tmp / "top/c/locked"), "unreadable folder with content"}});
    });
    EXPECT_EQ(::write(writer, "late", 4), 4);
    ::close(writer);
    ::chmod((tmp / "top/c/locked").c_str(), 0755);
    EXPECT_EQ(readFile(tmp / "top/a/foreign"), "late");
    EXPECT_TRUE(exists(tmp / "top/c/locked/inside"));
}

// Entries that hold bytes or are no regular file keep their folder: a sparse
// file (no blocks, but a size), a socket. Empty files go whatever their
// name: 255 bytes long, starting with "-".
TEST(DeleteZeroByte, SparseFilesAndSocketsStayOddNamesGo)
{
    TempTree tmp;
    tmp.file("top/sparse/hole", "");
    ASSERT_EQ(::truncate((tmp / "top/sparse/hole").c_str(), 1 << 20), 0);
    tmp.dir("top/socket");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = tmp / "top/socket/s";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string longName(255, 'n');
    tmp.file("top/odd/" + longName, "");
    tmp.file("top/odd/-rf", "");

    DeleteResult r = deleteTree(tmp / "top", zeroByte());
    ::close(sock);

    EXPECT_FALSE(r.ok) << describe(r);
    EXPECT_TRUE(exists(tmp / "top/sparse/hole"));
    EXPECT_TRUE(exists(tmp / "top/socket/s"));
    EXPECT_FALSE(exists(tmp / "top/odd")) << describe(r);
}

struct StressFigures {
    uint64_t written = 0;
    uint64_t lost = 0;
    uint64_t removedFiles = 0;
    uint64_t removedFolders = 0;
};

// Writers create 1-byte files (O_CREAT|O_EXCL, write, close) in random
// folders while the zero-byte pass runs; some pause between create and write,
// so the pass meets files that are empty but open.
void stressRound(const TempTree& tmp, int round, StressFigures& figures)
{
    const std::string top = "top" + std::to_string(round);
    std::vector<std::string> folders{tmp / top};
    for (int g = 0; g < 20; ++g) {
        for (int h = -1; h < 20; ++h) {
            const std::string folder =
                top + "/g" + std::to_string(g) + (h < 0 ? "" : "/h" + std::to_string(h));
            folders.push_back(tmp / folder);
            for (int e = 0; e < (h < 0 ? 5 : 10); ++e)
                tmp.file(folder + "/e" + std::to_string(e), "");
        }
    }
    std::atomic<bool> stop{false};
    std::vector<std::vector<std::string>> written(4);
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&, t] {
            std::mt19937 rng(round * 100 + t);
            for (int n = 0; !stop.load() && n < 4000; ++n) {
                const std::string path =
                    folders[rng() % folders.size()] + "/w" + std::to_string(t) + "-" + std::to_string(n);
                int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
                if (fd < 0)
                    continue;  // the folder is gone
                for (int spin = rng() % 8 == 0 ? 2000 : 0; spin > 0; --spin)
                    asm volatile("" ::: "memory");  // a few microseconds with an empty file open
                const bool ok = ::write(fd, "x", 1) == 1;
                if (::close(fd) == 0 && ok)
                    written[t].push_back(path);
            }
        });
    }
    DeleteResult r = deleteTree(tmp / top, zeroByte());
    stop = true;
    for (auto& w : writers)
        w.join();
    figures.removedFiles += r.removedFiles;
    figures.removedFolders += r.removedFolders;
    for (const auto& list : written) {
        for (const auto& path : list) {
            ++figures.written;
            figures.lost += readFile(path) != "x";
        }
    }
}

// In a private mount namespace, an ext4 image mounted on "disk": lost+found
// at its root belongs to e2fsck. The scan never calls it zero-byte (nor the
// disk's root, nor lost+found scanned on its own), and the zero-byte delete
// keeps it, also when it was emptied and made anew after the scan; an empty
// folder beside it goes.
TEST(DeleteZeroByte, LostAndFoundAtAFileSystemRootStays)
{
    TempTree tmp;
    tmp.dir("disk");
    const std::string image = tmp / "ext4.img", disk = tmp / "disk/";
    EXPECT_IN_CHILD([&]() -> std::string {
        const std::string made = "mkfs.ext4 -q -F " + image + " 4M >/dev/null 2>&1";
        std::string why = steps(
            {enterPrivateMountNamespace,
             [&] { return skipUnless(std::system(made.c_str()) == 0, "mkfs.ext4 (e2fsprogs)"); },
             [&] {
                 const std::string mount = "mount -o loop " + image + " " + disk + " >/dev/null 2>&1";
                 return skipUnless(std::system(mount.c_str()) == 0, "loop mount of an ext4 image");
             }});
        if (!why.empty())
            return why;
        std::filesystem::create_directories(disk + "empty/inner");
        const ScanResult s = scan(disk);
        const ScanResult alone = scan(disk + "lost+found");
        const ScannedFolder root{disk, s.byPath.at(disk).id, disk, s.byPath.at(disk).id};
        ScannedFolder lostFound = root;
        lostFound.path = disk + "lost+found/";
        lostFound.id = s.byPath.at(lostFound.path).id;
        DeleteOptions keepTop = zeroByte();
        keepTop.removeTop = false;
        DeleteResult own = deleteScannedTree(lostFound, zeroByte());
        std::filesystem::remove(disk + "lost+found");
        std::filesystem::create_directory(disk + "lost+found");  // as mklost+found would
        DeleteResult all = deleteTree(disk, keepTop);
        return verdict(all, {{!s.byPath.at(lostFound.path).zeroByte, "lost+found not zero-byte"},
                             {!s.byPath.at(disk).zeroByte, "the disk's root not zero-byte"},
                             {s.byPath.at(disk + "empty/").zeroByte, "an empty folder is"},
                             {!alone.byPath.at(disk + "lost+found/").zeroByte, "lost+found scanned alone"},
                             {own.error == kFileSystemFolder, "lost+found's own row kept"},
                             {all.error == kFileSystemFolder, "the pass keeps it"},
                             {exists(disk + "lost+found"), "lost+found still there"},
                             {!exists(disk + "empty"), "the empty folder gone"}});
    });
}

TEST(DeleteZeroByte, StressEveryWrittenFileSurvives)
{
    TempTree tmp;
    StressFigures total;
    for (int round = 0; round < 3; ++round)
        stressRound(tmp, round, total);
    std::cout << "[ stress   ] files written: " << total.written << ", files lost: " << total.lost
              << ", empty files removed: " << total.removedFiles
              << ", folders removed: " << total.removedFolders << std::endl;
    RecordProperty("files_written", std::to_string(total.written));
    RecordProperty("files_lost", std::to_string(total.lost));
    EXPECT_GT(total.written, 0u);
    EXPECT_GT(total.removedFiles, 0u);
    EXPECT_EQ(total.lost, 0u);
}

}  // namespace
}  // namespace enginetest
