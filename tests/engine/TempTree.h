#pragma once
// Shared pieces of the engine tests: throw-away folder trees, running checks
// in a forked child (another user id, a private mount namespace, a lower
// descriptor limit, a seccomp filter) and a scan that collects every record.
// Header-only: the test binary compiles every *_test.cpp that includes it.

#include "engine/FolderScanner.h"
#include "engine/SafeDelete.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <linux/filter.h>
#include <linux/fs.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace enginetest {

using namespace velmaro::engine;
constexpr unsigned kNobody = 65534;

// A temporary folder (mode 0755), removed with everything below it.
class TempTree {
public:
    // Disk: under $TMPDIR or /tmp. Memory: on /dev/shm where writable (big trees).
    enum class Where { Disk, Memory };
    explicit TempTree(Where where = Where::Disk)
    {
        const char* base = std::getenv("TMPDIR");
        std::string dir = base && *base ? base : "/tmp";
        if (where == Where::Memory && ::access("/dev/shm", W_OK | X_OK) == 0)
            dir = "/dev/shm";
        std::string pattern = dir + "/velmaro-test-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        ::chmod(pattern.c_str(), 0755);
        root_ = pattern;
    }
    // rm copes with any depth; tests clear immutable flags themselves.
    ~TempTree() { std::system(("rm -rf --one-file-system '" + root_ + "'").c_str()); }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // Absolute path without a trailing '/'; root() / "x" = root() + "/x".
    const std::string& root() const { return root_; }
    std::string operator/(const std::string& relative) const { return root_ + "/" + relative; }
    // Creates the folder and its missing parents; returns its path.
    std::string dir(const std::string& relative) const
    {
        std::filesystem::create_directories(*this / relative);
        return *this / relative;
    }
    // Creates a file holding `data` (parents made).
    void file(const std::string& relative, const std::string& data) const
    {
        std::filesystem::create_directories(std::filesystem::path(*this / relative).parent_path());
        std::ofstream out(*this / relative, std::ios::binary | std::ios::trunc);
        if (!out.write(data.data(), static_cast<std::streamsize>(data.size())).flush())
            throw std::runtime_error("cannot write " + relative);
    }
    void symlink(const std::string& target, const std::string& relative) const
    {
        if (::symlink(target.c_str(), (*this / relative).c_str()) != 0)
            throw std::runtime_error("symlink " + relative);
    }

private:
    std::string root_;
};

inline bool exists(const std::string& path)  // lstat: never follows
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

inline std::string readFile(const std::string& path)  // "<missing>" if absent
{
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

// `levels` nested folders named `name` below `base`, a file "f" of
// `fileBytes` bytes in the deepest. Built through descriptors: any depth.
inline void makeChain(const std::string& base, int levels, const std::string& name, std::size_t fileBytes)
{
    int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 0; i < levels && fd >= 0; ++i) {
        int next = ::mkdirat(fd, name.c_str(), 0755) == 0
                       ? ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                       : -1;
        ::close(fd);
        fd = next;
    }
    int file = fd < 0 ? -1 : ::openat(fd, "f", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    std::string content(fileBytes, 'x');
    bool written = file >= 0 && ::write(file, content.data(), fileBytes) == static_cast<ssize_t>(fileBytes);
    ::close(file);
    ::close(fd);
    if (!written)
        throw std::runtime_error("cannot build the chain below " + base);
}

inline void chownTree(const std::string& path, unsigned uid, unsigned gid)
{
    ::lchown(path.c_str(), uid, gid);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
        ::lchown(entry.path().c_str(), uid, gid);
}

inline int openDescriptorCount()
{
    auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<int>(std::distance(begin(entries), end(entries)));
}

// Sets or clears the immutable flag (chattr +i). Returns 0 or an errno value.
inline int setImmutable(const std::string& path, bool on)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    int flags = 0;
    int err = fd < 0 || ::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0 ? errno : 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    if (err == 0 && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
        err = errno;
    ::close(fd);
    return err;
}

// --- Child-side steps: each returns "" or "SKIP: <why the machine cannot>". ---

inline std::string skipUnless(bool done, const std::string& what)
{
    return done ? "" : "SKIP: " + what + ": " + std::strerror(errno);
}
inline std::string dropToNobody()
{
    return skipUnless(::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, kNobody) == 0 &&
                          ::setresuid(kNobody, kNobody, kNobody) == 0,
                      "cannot become uid 65534");
}
inline std::string enterPrivateMountNamespace()
{
    return skipUnless(::unshare(CLONE_NEWNS) == 0 &&
                          ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0,
                      "no private mount namespace (unshare -m)");
}
inline std::string mountOrSkip(const char* source, const std::string& target, const char* type,
                               unsigned long flags)
{
    return skipUnless(::mount(source, target.c_str(), type, flags, nullptr) == 0, "mount " + target);
}
inline std::string lowerDescriptorLimit(rlim_t limit)
{
    rlimit r{limit, limit};
    return skipUnless(::setrlimit(RLIMIT_NOFILE, &r) == 0, "setrlimit");
}
// Makes openat2 fail with ENOSYS in this process, as on kernels before 5.6.
inline std::string hideOpenat2()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return skipUnless(::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
                          ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0,
                      "seccomp filter");
}

// Runs `body` in a forked child and returns what it returned: "" when its
// checks held, "SKIP: ..." when the machine cannot run it, else the failure.
inline std::string runInChild(const std::function<std::string()>& body)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string message;
        try {
            message = body();
        } catch (const std::exception& e) {
            message = std::string("exception in child: ") + e.what();
        }
        [[maybe_unused]] ssize_t ignored = ::write(fds[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string message = readFile("/proc/self/fd/" + std::to_string(fds[0]));
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child ended abnormally (status " + std::to_string(status) + ")";
    return message;
}
// Runs child-side steps in order; the first non-empty answer ends the list.
inline std::string steps(std::initializer_list<std::function<std::string()>> list)
{
    for (const auto& step : list)
        if (std::string why = step(); !why.empty())
            return why;
    return "";
}

// False when VELMARO_REQUIRE_PRIVILEGED is set (CI runs as root): then a
// test the machine cannot run fails instead of being skipped.
inline bool skipsAllowed()
{
    const char* strict = std::getenv("VELMARO_REQUIRE_PRIVILEGED");
    return !strict || !*strict || std::string(strict) == "0";
}

// Runs `body` in a child: skips the test on "SKIP: ...", fails it on any other text.
#define EXPECT_IN_CHILD(...)                                                                                 \
    do {                                                                                                     \
        const std::string verdict_ = ::enginetest::runInChild(__VA_ARGS__);                                  \
        if (verdict_.rfind("SKIP: ", 0) == 0 && ::enginetest::skipsAllowed())                                \
            GTEST_SKIP() << verdict_.substr(6);                                                              \
        EXPECT_EQ(verdict_, "");                                                                             \
    } while (0)

inline std::string describe(const DeleteResult& r)
{
    return "ok=" + std::to_string(r.ok) + " error=" + std::to_string(r.error) +
           " files=" + std::to_string(r.removedFiles) + " folders=" + std::to_string(r.removedFolders) +
           " failedPath=" + r.failedPath;
}

// Child side: "" when every check held, else the first failing one with `r`.
inline std::string verdict(const DeleteResult& r, std::initializer_list<std::pair<bool, const char*>> checks)
{
    for (const auto& [good, what] : checks)
        if (!good)
            return std::string(what) + " (" + describe(r) + ")";
    return "";
}

// --- Scanning ---

// Path of the folder above `path` ("/a/b/" -> "/a/"); "" for "/".
inline std::string parentPath(const std::string& path)
{
    return path.size() < 2 ? "" : path.substr(0, path.rfind('/', path.size() - 2) + 1);
}

struct ScanResult {
    std::map<std::string, FolderRecord> byPath;
    std::size_t records = 0;  // delivered, duplicates included
    std::size_t batches = 0;
    std::size_t largestBatch = 0;
    int doneCalls = 0;
    bool overlappingSinks = false;  // the sink ran twice at once
    bool postOrder = true;          // no record before one of its subfolders
    ScanProgress progress;
    std::string describe() const
    {
        std::string text;
        for (const auto& [path, r] : byPath)
            text += path + " state " + std::to_string(int(r.sizeState)) + " error " +
                    std::to_string(r.error) + " bytes " + std::to_string(r.bytes) + "\n";
        return text;
    }
};

// Scans `root` to the end and collects the records.
inline ScanResult scan(const std::string& root, FolderScanner::Options options = {})
{
    ScanResult result;
    std::mutex mutex;
    std::atomic<bool> inSink{false};
    std::atomic<int> doneCalls{0};
    FolderScanner scanner(options);
    auto onBatch = [&](std::vector<FolderRecord>&& batch) {
        result.overlappingSinks |= inSink.exchange(true);
        std::lock_guard lock(mutex);
        ++result.batches;
        result.largestBatch = std::max(result.largestBatch, batch.size());
        for (FolderRecord& record : batch) {
            ++result.records;
            result.postOrder &= !result.byPath.count(parentPath(record.path));
            result.byPath[record.path] = std::move(record);
        }
        inSink = false;
    };
    scanner.start(root, onBatch, [&] { ++doneCalls; });
    scanner.wait();
    result.doneCalls = doneCalls;
    result.progress = scanner.progress();
    return result;
}

}  // namespace enginetest
