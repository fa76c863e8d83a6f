// deleteTree() in zero-byte mode: only what is empty at the moment of
// removal goes; the stress test writes files while the pass runs.

#include "delete_helpers.h"
#include "engine/ErrorText.h"
#include "engine/SafeDelete.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <iostream>
#include <random>
#include <set>
#include <thread>

using namespace velmaro::engine;
using deltest::exists;
using deltest::makeDirs;
using deltest::readFile;
using deltest::TempDir;
using deltest::writeFile;

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

}  // namespace

TEST(DeleteZeroByte, RemovesOnlyWhatIsEmptyAndKeepsTheAncestorsOfTheRest)
{
    TempDir tmp;
    writeFile(tmp / "top/e1", "");
    makeDirs(tmp / "top/empty");
    writeFile(tmp / "top/z/z2/e", "");
    writeFile(tmp / "top/k/deep/three.txt", "abc");  // shows as "0" KB but is not empty
    writeFile(tmp / "top/k/deep/e", "");
    writeFile(tmp / "top/k/e", "");
    writeFile(tmp / "target", "");
    makeDirs(tmp / "top/l");
    ASSERT_EQ(::symlink((tmp / "target").c_str(), (tmp / "top/l/link").c_str()), 0);
    makeDirs(tmp / "top/p");
    ASSERT_EQ(::mkfifo((tmp / "top/p/fifo").c_str(), 0644), 0);

    DeleteResult r = deleteTree(tmp / "top", zeroByte());

    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOTEMPTY) << deltest::describe(r);
    const std::set<std::string> keepers = {tmp / "top/k/deep/", tmp / "top/l/", tmp / "top/p/"};
    EXPECT_TRUE(keepers.count(r.failedPath)) << r.failedPath;
    EXPECT_EQ(r.removedFiles, 4u);
    EXPECT_EQ(r.removedFolders, 3u);  // empty, z2, z
    EXPECT_FALSE(exists(tmp / "top/e1"));
    EXPECT_FALSE(exists(tmp / "top/empty"));
    EXPECT_FALSE(exists(tmp / "top/z"));
    EXPECT_FALSE(exists(tmp / "top/k/e"));
    EXPECT_FALSE(exists(tmp / "top/k/deep/e"));
    EXPECT_EQ(readFile(tmp / "top/k/deep/three.txt"), "abc");
    EXPECT_TRUE(exists(tmp / "top/l/link"));
    EXPECT_TRUE(exists(tmp / "top/p/fifo"));
    EXPECT_TRUE(exists(tmp / "target"));
    EXPECT_EQ(errorFromErrno(r.error).number, 75);
}

TEST(DeleteZeroByte, FolderThatGainedContentIsKeptAndReported)
{
    TempDir tmp;
    writeFile(tmp / "top/g/e", "");
    writeFile(tmp / "top/h/fill", "");
    writeFile(tmp / "top/u/open", "");
    writeFile(tmp / "top/ok/e", "");
    int writer = ::open((tmp / "top/u/open").c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    DeleteOptions options = zeroByte();
    options.onEntry = [&](const std::string& p) {
        if (p == tmp / "top/g/e")
            writeFile(tmp / "top/g/late.txt", "late");  // after g was listed
        if (p == tmp / "top/h/fill")
            writeFile(tmp / "top/h/fill", "1");  // after the scan, before the check
    };

    DeleteResult r = deleteTree(tmp / "top/", options);
    ::close(writer);

    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOTEMPTY) << deltest::describe(r);
    EXPECT_EQ(readFile(tmp / "top/g/late.txt"), "late");
    EXPECT_FALSE(exists(tmp / "top/g/e"));
    EXPECT_EQ(readFile(tmp / "top/h/fill"), "1");
    EXPECT_FALSE(exists(tmp / "top/ok"));
    if (leasesEnabled()) {
        EXPECT_TRUE(exists(tmp / "top/u/open")) << "a file open for writing must stay";
    }
    EXPECT_TRUE(exists(tmp / "top"));
}

// Without a lease (a file the user may not read, a file owned by someone
// else) the check still works and removes empty files.
TEST(DeleteZeroByte, EmptyFilesThatCannotBeLeasedStillGo)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to prepare files of two owners";
    TempDir tmp;
    writeFile(tmp / "top/a/unreadable", "");
    writeFile(tmp / "top/a/foreign", "");
    writeFile(tmp / "top/a/full", "x");
    deltest::chownTree(tmp / "top", deltest::kNobody, deltest::kNobody);
    ASSERT_EQ(::chown((tmp / "top/a/foreign").c_str(), 0, 0), 0);
    ASSERT_EQ(::chmod((tmp / "top/a/unreadable").c_str(), 0), 0);

    deltest::ChildReport child = deltest::runInChild([&] {
        std::string why = deltest::dropToNobody();
        return why.empty() ? deltest::encode(deleteTree(tmp / "top", zeroByte())) : "SKIP: " + why;
    });
    if (child.skipped)
        GTEST_SKIP() << child.message;

    DeleteResult r = deltest::decode(child.message);
    EXPECT_EQ(r.removedFiles, 2u) << deltest::describe(r);
    EXPECT_FALSE(exists(tmp / "top/a/unreadable"));
    EXPECT_FALSE(exists(tmp / "top/a/foreign"));
    EXPECT_EQ(readFile(tmp / "top/a/full"), "x");
    EXPECT_EQ(r.failedPath, tmp / "top/a/");
}

namespace {

struct StressFigures {
    uint64_t written = 0;
    uint64_t lost = 0;
    uint64_t removedFiles = 0;
    uint64_t removedFolders = 0;
};

constexpr int kMaxFilesPerWriter = 4000;

void pauseBriefly()
{
    for (int spin = 0; spin < 2000; ++spin)
        asm volatile("" ::: "memory");  // a few microseconds the compiler keeps
}

// Writers create 1-byte files (O_CREAT|O_EXCL, write, close) in random
// folders while the zero-byte pass runs; some pause between create and write,
// so the pass meets files that are empty but open.
StressFigures stressRound(const TempDir& tmp, int round)
{
    const std::string top = tmp / ("top" + std::to_string(round));
    std::vector<std::string> folders{top};
    for (int g = 0; g < 20; ++g) {
        const std::string gp = top + "/g" + std::to_string(g);
        folders.push_back(gp);
        for (int e = 0; e < 5; ++e)
            writeFile(gp + "/e" + std::to_string(e), "");
        for (int h = 0; h < 20; ++h) {
            const std::string hp = gp + "/h" + std::to_string(h);
            folders.push_back(hp);
            for (int e = 0; e < 10; ++e)
                writeFile(hp + "/e" + std::to_string(e), "");
        }
    }
    std::atomic<bool> stop{false};
    std::vector<std::vector<std::string>> written(4);
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&, t] {
            std::mt19937 rng(round * 100 + t);
            for (int n = 0; !stop.load() && n < kMaxFilesPerWriter; ++n) {
                const std::string path = folders[rng() % folders.size()] + "/w" + std::to_string(t)
                                         + "-" + std::to_string(n);
                int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
                if (fd < 0)
                    continue;  // the folder is gone
                if (rng() % 8 == 0)
                    pauseBriefly();  // an empty file that is open for writing
                const bool ok = ::write(fd, "x", 1) == 1;
                if (::close(fd) == 0 && ok)
                    written[t].push_back(path);
            }
        });
    }
    DeleteResult r = deleteTree(top, zeroByte());
    stop = true;
    for (auto& w : writers)
        w.join();
    StressFigures figures;
    figures.removedFiles = r.removedFiles;
    figures.removedFolders = r.removedFolders;
    for (const auto& list : written) {
        for (const auto& path : list) {
            ++figures.written;
            if (readFile(path) != "x")
                ++figures.lost;
        }
    }
    return figures;
}

}  // namespace

TEST(DeleteZeroByte, StressEveryWrittenFileSurvives)
{
    TempDir tmp;
    StressFigures total;
    for (int round = 0; round < 3; ++round) {
        StressFigures f = stressRound(tmp, round);
        total.written += f.written;
        total.lost += f.lost;
        total.removedFiles += f.removedFiles;
        total.removedFolders += f.removedFolders;
    }
    std::cout << "[ stress   ] files written: " << total.written << ", files lost: " << total.lost
              << ", empty files removed: " << total.removedFiles
              << ", folders removed: " << total.removedFolders << std::endl;
    RecordProperty("files_written", std::to_string(total.written));
    RecordProperty("files_lost", std::to_string(total.lost));
    EXPECT_GT(total.written, 0u);
    EXPECT_GT(total.removedFiles, 0u);
    EXPECT_EQ(total.lost, 0u);
}
