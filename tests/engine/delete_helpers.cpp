#include "delete_helpers.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace deltest {

namespace fs = std::filesystem;

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/velmaro-del-XXXXXX";
    if (!::mkdtemp(templ.data()))
        throw std::runtime_error("mkdtemp failed");
    ::chmod(templ.c_str(), 0755);
    path_ = templ;
}

TempDir::~TempDir()
{
    // rm handles any depth; tests clear immutable flags themselves.
    std::string remove = "rm -rf --one-file-system '" + path_ + "'";
    if (std::system(remove.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", path_.c_str());
}

void makeDirs(const std::string& path)
{
    fs::create_directories(path);
}

void writeFile(const std::string& path, const std::string& data)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void chownTree(const std::string& path, unsigned uid, unsigned gid)
{
    ::lchown(path.c_str(), uid, gid);
    if (!fs::is_directory(fs::symlink_status(path)))
        return;
    for (const auto& entry : fs::recursive_directory_iterator(path))
        ::lchown(entry.path().c_str(), uid, gid);
}

int openDescriptorCount()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

int setImmutable(const std::string& path, bool on)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int flags = 0;
    int err = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
        err = errno;
    } else {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
            err = errno;
    }
    ::close(fd);
    return err;
}

namespace {

std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0)
            text.append(buffer, static_cast<size_t>(n));
    }
    return text;
}

}  // namespace

ChildReport runInChild(const std::function<std::string()>& body)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return {false, "pipe failed"};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string message;
        try {
            message = body();
        } catch (const std::exception& e) {
            message = std::string("exception in child: ") + e.what();
        }
        ssize_t ignored = ::write(pipeFds[1], message.data(), message.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string message = readAll(pipeFds[0]);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {false, "child ended abnormally (status " + std::to_string(status) + ")"};
    if (message.rfind("SKIP: ", 0) == 0)
        return {true, message.substr(6)};
    return {false, message};
}

std::string dropToNobody()
{
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0
        || ::setresuid(kNobody, kNobody, kNobody) != 0)
        return std::string("cannot become uid 65534: ") + std::strerror(errno);
    return {};
}

std::string enterPrivateMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0)
        return std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("mount MS_PRIVATE: ") + std::strerror(errno);
    return {};
}

std::string encode(const velmaro::engine::DeleteResult& result)
{
    std::ostringstream out;
    out << result.ok << ' ' << result.error << ' ' << result.removedFiles << ' '
        << result.removedFolders << ' ' << result.failedPath;
    return out.str();
}

velmaro::engine::DeleteResult decode(const std::string& text)
{
    velmaro::engine::DeleteResult result;
    std::istringstream in(text);
    in >> result.ok >> result.error >> result.removedFiles >> result.removedFolders;
    in.get();
    std::getline(in, result.failedPath, '\0');
    return result;
}

std::string describe(const velmaro::engine::DeleteResult& result)
{
    return "ok=" + std::to_string(result.ok) + " error=" + std::to_string(result.error)
           + " files=" + std::to_string(result.removedFiles)
           + " folders=" + std::to_string(result.removedFolders) + " failedPath=" + result.failedPath;
}

}  // namespace deltest
