#include "cli/RootFolder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmaro::cli {

namespace {

std::string currentFolder()
{
    std::vector<char> buffer(PATH_MAX);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

// Drops "." and empty components; returns false when ".." remains.
bool lexicallyClean(const std::string& absolute, std::string& out)
{
    out.clear();
    std::size_t begin = 0;
    while (begin <= absolute.size()) {
        std::size_t end = absolute.find('/', begin);
        if (end == std::string::npos)
            end = absolute.size();
        const std::string part = absolute.substr(begin, end - begin);
        if (part == "..")
            return false;
        if (!part.empty() && part != ".") {
            out += '/';
            out += part;
        }
        begin = end + 1;
    }
    out += '/';
    return true;
}

}  // namespace

RootFolder::Resolved RootFolder::resolve(const std::string& given)
{
    Resolved result;
    std::string absolute = given;
    if (absolute.empty() || absolute[0] != '/') {
        const std::string cwd = currentFolder();
        if (cwd.empty()) {
            result.error = errno ? errno : ENOENT;
            return result;
        }
        absolute = cwd + "/" + absolute;
    }
    std::string clean;
    if (!lexicallyClean(absolute, clean)) {
        char* real = ::realpath(absolute.c_str(), nullptr);
        if (!real) {
            result.error = errno;
            return result;
        }
        clean = real;
        std::free(real);
        if (clean.back() != '/')
            clean += '/';
    }
    const int fd = ::open(clean.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    ::close(fd);
    result.path = clean;
    return result;
}

bool RootFolder::isFileSystemRoot(const std::string& path)
{
    struct stat folder {};
    struct stat root {};
    if (::stat(path.c_str(), &folder) != 0 || ::stat("/", &root) != 0)
        return path == "/";
    return folder.st_dev == root.st_dev && folder.st_ino == root.st_ino;
}

}  // namespace velmaro::cli
