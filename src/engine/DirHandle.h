#pragma once
// An open folder descriptor shared by the queued subfolders that still have
// to be opened relative to it. The last owner closes it. A counter of live
// handles lets the walk keep the number of descriptors it holds bounded.

#include <atomic>
#include <unistd.h>

namespace velmaro::engine {

class DirHandle {
public:
    // Takes ownership of `fd`; counts itself in `live` for its lifetime.
    DirHandle(int fd, std::atomic<int>& live)
        : fd_(fd)
        , live_(live)
    {
        ++live_;
    }
    ~DirHandle()
    {
        ::close(fd_);
        --live_;
    }
    DirHandle(const DirHandle&) = delete;
    DirHandle& operator=(const DirHandle&) = delete;

    int fd() const { return fd_; }

private:
    int fd_;
    std::atomic<int>& live_;
};

}  // namespace velmaro::engine
