#include "cli/Output.h"

#include <cerrno>
#include <unistd.h>

namespace velmaro::cli {

namespace {

int firstError = 0;  // errno of the first failed write to stdout

void remember(std::FILE* stream)
{
    if (stream == stdout && firstError == 0)
        firstError = errno != 0 ? errno : EIO;
}

}  // namespace

void Output::write(std::FILE* stream, const char* data, std::size_t size)
{
    errno = 0;
    if (size >= kBlock) {
        writeBlock(stream, data, size);
        return;
    }
    if (std::fwrite(data, 1, size, stream) != size)
        remember(stream);
}

// Past the stream's buffer, in as few system calls as the receiver takes.
void Output::writeBlock(std::FILE* stream, const char* data, std::size_t size)
{
    if (std::fflush(stream) != 0) {
        remember(stream);
        return;
    }
    const int fd = ::fileno(stream);
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            remember(stream);
            return;
        }
        data += written;
        size -= std::size_t(written);
    }
}

void Output::flush()
{
    errno = 0;
    if (std::fflush(stdout) != 0)
        remember(stdout);
}

int Output::finish()
{
    flush();
    if (std::ferror(stdout) && firstError == 0)
        firstError = EIO;
    return firstError;
}

}  // namespace velmaro::cli
