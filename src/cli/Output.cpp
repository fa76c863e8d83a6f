#include "cli/Output.h"

#include <cerrno>

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
    if (std::fwrite(data, 1, size, stream) != size)
        remember(stream);
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
