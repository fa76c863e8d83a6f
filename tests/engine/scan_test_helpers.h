#pragma once
// Shared pieces of the scan engine tests: throw-away folder trees, a scan
// that collects every record, and running a check in a child process
// (for another user id, a private mount namespace or a lower descriptor
// limit).

#include "engine/FolderScanner.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace scantest {

using velmaro::engine::FolderRecord;
using velmaro::engine::FolderScanner;
using velmaro::engine::SizeState;

// A temporary folder (mode 0755), removed with everything below it.
class TempTree {
public:
    // Disk: under $TMPDIR or /tmp. Memory: on the tmpfs /dev/shm where there
    // is one (big trees: creating many inodes can be slow on disk).
    enum class Where { Disk, Memory };
    explicit TempTree(Where where = Where::Disk);
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // Absolute path of the tree's root, without a trailing '/'.
    const std::string& root() const { return root_; }
    // root() + "/" + relative.
    std::string path(const std::string& relative) const;
    // Creates the folder and any missing parents; returns its path.
    std::string dir(const std::string& relative) const;
    // Creates a file of `size` bytes (parents created).
    void file(const std::string& relative, std::size_t size) const;
    void symlink(const std::string& target, const std::string& relative) const;

private:
    std::string root_;
};

struct ScanResult {
    std::map<std::string, FolderRecord> byPath;
    std::size_t records = 0;     // records delivered (duplicates included)
    std::size_t batches = 0;
    std::size_t largestBatch = 0;
    int doneCalls = 0;
    bool overlappingSinks = false;  // the batch sink ran twice at once
    bool postOrder = true;          // no record before one of its subfolders
    bool finishedInTime = true;
    velmaro::engine::ScanProgress progress;
};

// Scans `root` to the end (at most two minutes) and collects the records.
ScanResult scan(const std::string& root, FolderScanner::Options options = {});

// Path of the folder above `path` ("/a/b/" -> "/a/"); "" for "/".
std::string parentPath(const std::string& path);

// Runs `check` in a forked child; returns its exit code. Meant for use inside
// EXPECT_EXIT, where the child's exit code is the verdict: `check` returns ""
// on success or a description of what is wrong (printed to stderr).
[[noreturn]] void exitWithVerdict(const std::function<std::string()>& check);

// Runs `probe` in a forked child and returns its exit code (for deciding
// whether a test can run here at all).
int probeInChild(const std::function<int()>& probe);

// Makes `levels` nested folders named `name` below `root`, with a file of
// `fileBytes` bytes in the deepest one. Uses descriptors, so any depth works.
void makeChain(const std::string& root, int levels, const std::string& name, std::size_t fileBytes);

// Enters a private mount namespace whose mounts do not leak out.
bool enterPrivateMountNamespace();

// Makes openat2 fail with ENOSYS in this process, as on kernels before 5.6.
bool hideOpenat2();

}  // namespace scantest
