// The floor for the scan benchmarks: a bare walk of a folder tree that only
// adds up file sizes. getdents64 per folder, statx per entry that is not a
// folder, a shared queue of folder paths, N threads (default 2). No rows, no
// records, no times: what any scanner must at least spend. The threads run
// as much nicer as the scan's workers do (10, --nice N), so that on a machine
// shared with other work the two compete alike.
//
// --folder-times also reads every folder's status (statx with the birth and
// access times, inode and mount, as a scan that shows folder dates and
// binds deletes to identities must): the part of the gap to the bare walk
// that no such scan can close.
//
//   floor_walk [--threads N] [--nice N] [--folder-times] ROOT
//
// Prints "seconds: ...", "folders: ...", "files: ...", "bytes: ...".

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

class FloorWalk {
public:
    FloorWalk(std::string root, bool folderTimes)
        : folderTimes_(folderTimes)
    {
        queue_.push_back(std::move(root));
    }

    void run(unsigned threads, int nice)
    {
        std::vector<std::thread> pool;
        for (unsigned i = 0; i < threads; ++i)
            pool.emplace_back([this, nice] {
                const id_t self = id_t(::gettid());
                ::setpriority(PRIO_PROCESS, self, std::min(::getpriority(PRIO_PROCESS, self) + nice, 19));
                work();
            });
        for (std::thread& t : pool)
            t.join();
    }
    unsigned long long folders() const { return folders_; }
    unsigned long long files() const { return files_; }
    unsigned long long bytes() const { return bytes_; }

private:
    bool take(std::string& path)
    {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return !queue_.empty() || busy_ == 0; });
        if (queue_.empty())
            return false;
        path = std::move(queue_.back());
        queue_.pop_back();
        ++busy_;
        return true;
    }
    void done(std::vector<std::string>& found)
    {
        std::lock_guard lock(mutex_);
        for (std::string& p : found)
            queue_.push_back(std::move(p));
        --busy_;
        ready_.notify_all();
    }
    void work()
    {
        std::vector<char> buffer(64 * 1024);
        std::string path;
        while (take(path)) {
            std::vector<std::string> found;
            list(path, buffer, found);
            done(found);
        }
    }
    void list(const std::string& path, std::vector<char>& buffer, std::vector<std::string>& found)
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOATIME);
        if (fd < 0)
            return;
        ++folders_;
        unsigned long long files = 0, bytes = 0;
        for (;;) {
            const long n = ::syscall(SYS_getdents64, fd, buffer.data(), buffer.size());
            if (n <= 0)
                break;
            for (long at = 0; at < n;) {
                const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer.data() + at);
                at += d->d_reclen;
                if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
                    continue;
                struct statx st {};
                const bool typeKnown = d->d_type != DT_UNKNOWN;
                if (!typeKnown &&
                    ::statx(fd, d->d_name, AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_SIZE, &st) != 0)
                    continue;
                if (typeKnown ? d->d_type == DT_DIR : S_ISDIR(st.stx_mode)) {
                    if (folderTimes_ &&
                        ::statx(fd, d->d_name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kFolderMask, &st) != 0)
                        continue;
                    found.push_back((path == "/" ? path : path + '/') + d->d_name);
                    continue;
                }
                if (typeKnown && ::statx(fd, d->d_name, AT_SYMLINK_NOFOLLOW, STATX_SIZE, &st) != 0)
                    continue;
                ++files;
                bytes += st.stx_size;
            }
        }
        ::close(fd);
        files_ += files;
        bytes_ += bytes;
    }

    static constexpr unsigned kFolderMask = STATX_TYPE | STATX_MODE | STATX_INO | STATX_ATIME | STATX_BTIME |
                                            STATX_CTIME | STATX_MNT_ID;
    const bool folderTimes_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::string> queue_;
    unsigned busy_ = 0;
    std::atomic<unsigned long long> folders_{0}, files_{0}, bytes_{0};
};

}  // namespace

int main(int argc, char** argv)
{
    unsigned threads = 2;
    int nice = 10;
    std::string root;
    bool folderTimes = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc)
            threads = unsigned(std::max(1, std::atoi(argv[++i])));
        else if (std::strcmp(argv[i], "--nice") == 0 && i + 1 < argc)
            nice = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--folder-times") == 0)
            folderTimes = true;
        else
            root = argv[i];
    }
    if (root.empty()) {
        std::fprintf(stderr, "usage: floor_walk [--threads N] [--nice N] [--folder-times] ROOT\n");
        return 2;
    }
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    const auto begin = std::chrono::steady_clock::now();
    FloorWalk walk(root, folderTimes);
    walk.run(threads, nice);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("seconds: %.3f\nfolders: %llu\nfiles: %llu\nbytes: %llu\n", seconds, walk.folders(),
                walk.files(), walk.bytes());
    return 0;
}
