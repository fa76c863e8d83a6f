#include "scan_test_helpers.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstddef>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <mutex>
#include <sched.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace scantest {

namespace {

void fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::to_string(errno));
}

int waitForChild(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

TempTree::TempTree(Where where)
{
    const char* base = std::getenv("TMPDIR");
    std::string dir = base && *base ? base : "/tmp";
    if (where == Where::Memory && ::access("/dev/shm", W_OK | X_OK) == 0)
        dir = "/dev/shm";
    std::string pattern = dir + "/velmaro-scan-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        fail("mkdtemp");
    root_ = pattern;
    ::chmod(root_.c_str(), 0755);
}

TempTree::~TempTree()
{
    // rm copes with any depth and with folders left without permissions.
    const char* argv[] = {"rm", "-rf", "--one-file-system", root_.c_str(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "rm", nullptr, nullptr, const_cast<char**>(argv), environ) == 0)
        waitForChild(pid);
}

std::string TempTree::path(const std::string& relative) const
{
    return root_ + "/" + relative;
}

std::string TempTree::dir(const std::string& relative) const
{
    std::string full = root_;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t slash = relative.find('/', start);
        if (slash == std::string::npos)
            slash = relative.size();
        full += "/" + relative.substr(start, slash - start);
        if (::mkdir(full.c_str(), 0755) != 0 && errno != EEXIST)
            fail("mkdir " + full);
        start = slash + 1;
    }
    return full;
}

void TempTree::file(const std::string& relative, std::size_t size) const
{
    std::size_t slash = relative.rfind('/');
    if (slash != std::string::npos)
        dir(relative.substr(0, slash));
    int fd = ::open(path(relative).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail("create " + relative);
    std::string content(size, 'x');
    if (::write(fd, content.data(), content.size()) != static_cast<ssize_t>(size))
        fail("write " + relative);
    ::close(fd);
}

void TempTree::symlink(const std::string& target, const std::string& relative) const
{
    if (::symlink(target.c_str(), path(relative).c_str()) != 0)
        fail("symlink " + relative);
}

std::string parentPath(const std::string& path)
{
    if (path.size() < 2)
        return "";
    return path.substr(0, path.rfind('/', path.size() - 2) + 1);
}

ScanResult scan(const std::string& root, FolderScanner::Options options)
{
    ScanResult result;
    std::mutex mutex;
    std::atomic<bool> inSink{false};
    std::atomic<int> doneCalls{0};
    FolderScanner scanner(options);
    scanner.start(
        root,
        [&](std::vector<FolderRecord>&& batch) {
            if (inSink.exchange(true))
                result.overlappingSinks = true;
            std::lock_guard lock(mutex);
            ++result.batches;
            result.largestBatch = std::max(result.largestBatch, batch.size());
            for (FolderRecord& record : batch) {
                ++result.records;
                if (result.byPath.count(parentPath(record.path)))
                    result.postOrder = false;
                result.byPath[record.path] = std::move(record);
            }
            inSink = false;
        },
        [&] { ++doneCalls; });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!scanner.done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    result.finishedInTime = scanner.done();
    scanner.cancel();
    scanner.wait();
    result.doneCalls = doneCalls;
    result.progress = scanner.progress();
    return result;
}

void exitWithVerdict(const std::function<std::string()>& check)
{
    std::string problem;
    try {
        problem = check();
    } catch (const std::exception& e) {
        problem = e.what();
    }
    if (!problem.empty())
        std::fprintf(stderr, "%s\n", problem.c_str());
    std::fflush(stderr);
    ::_exit(problem.empty() ? 0 : 1);
}

int probeInChild(const std::function<int()>& probe)
{
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(probe());
    return pid < 0 ? -1 : waitForChild(pid);
}

void makeChain(const std::string& root, int levels, const std::string& name, std::size_t fileBytes)
{
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 0; i < levels && fd >= 0; ++i) {
        if (::mkdirat(fd, name.c_str(), 0755) != 0)
            fail("mkdirat");
        int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    if (fd < 0)
        fail("chain");
    int file = ::openat(fd, "f", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    std::string content(fileBytes, 'x');
    if (file < 0 || ::write(file, content.data(), content.size()) != static_cast<ssize_t>(fileBytes))
        fail("chain file");
    ::close(file);
    ::close(fd);
}

bool enterPrivateMountNamespace()
{
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Makes openat2 fail with ENOSYS, as on kernels before 5.6.
bool hideOpenat2()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0
           && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

}  // namespace scantest
