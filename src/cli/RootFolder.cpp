#include "cli/RootFolder.h"

#include "engine/ErrorText.h"

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
    if (given.empty()) {
        result.error = ENOENT;
        return result;
    }
    std::string absolute = given;
    if (absolute[0] != '/') {
        const std::string cwd = currentFolder();
        if (cwd.empty()) {
            result.error = errno ? errno : ENOENT;
            return result;
        }
        absolute = cwd + "/" + absolute;
    }
    std::string clean;
    const bool lexical = lexicallyClean(absolute, clean);
    char* real = ::realpath(absolute.c_str(), nullptr);
    if (!real) {
        result.error = errno;
        return result;
    }
    std::string path = real;
    std::free(real);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
        result.error = kNotAFolder;
        return result;
    }
    if (path.back() != '/')
        path += '/';
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    ::close(fd);
    result.path = path;
    // A path with ".." was not clean: whether it went through a link is
    // then not told apart from its own ".." steps.
    result.throughLink = lexical && path != clean;
    return result;
}

std::string RootFolder::reasonOf(int error)
{
    return error == kNotAFolder ? "kein Ordner" : engine::errorFromErrno(error).text;
}

bool RootFolder::namesDotOrDotDot(const std::string& given)
{
    std::string path = given;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::size_t slash = path.rfind('/');
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    return last == "." || last == "..";
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
