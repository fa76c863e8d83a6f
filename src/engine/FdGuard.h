#pragma once
// Owns one file descriptor and closes it once.

#include <unistd.h>

namespace velmaro::engine {

class FdGuard {
public:
    FdGuard() = default;
    explicit FdGuard(int fd)
        : fd_(fd)
    {}
    ~FdGuard() { reset(); }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    FdGuard(FdGuard&& other) noexcept
        : fd_(other.release())
    {}
    FdGuard& operator=(FdGuard&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Gives up ownership; the caller closes the descriptor.
    int release()
    {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes the current descriptor (if any) and owns `fd` instead.
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

}  // namespace velmaro::engine
