#include "fileview/FileRow.h"

#include "fileview/FileListe.h"

#include <algorithm>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmaro {

FileRow FileRow::read(int dirFd, const QByteArray& folder, const QByteArray& rawName)
{
    FileRow row;
    row.rawName = rawName;
    struct stat st;
    const int rc = dirFd >= 0 ? ::fstatat(dirFd, rawName.constData(), &st, AT_SYMLINK_NOFOLLOW)
                              : ::fstatat(AT_FDCWD, FileListe::joinPath(folder, rawName).constData(), &st,
                                          AT_SYMLINK_NOFOLLOW);
    if (rc != 0)
        return row;
    row.length = qint64(st.st_size);
    row.changedMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return row;
}

std::vector<FileRow> FileRow::readAll(int dirFd, const QByteArray& folder,
                                      const std::vector<QByteArray>& names,
                                      const std::vector<quint64>& inodes)
{
    constexpr size_t kPerThread = 2048;
    constexpr size_t kMaxThreads = 8;
    std::vector<FileRow> rows(names.size());
    const size_t threads = std::clamp<size_t>(names.size() / kPerThread, 1, kMaxThreads);
    auto stripe = [&](size_t first) {
        for (size_t i = first; i < names.size(); i += threads) {
            rows[i] = read(dirFd, folder, names[i]);
            rows[i].inode = i < inodes.size() ? inodes[i] : 0;
        }
    };
    std::vector<std::thread> workers;
    for (size_t t = 1; t < threads; ++t)
        workers.emplace_back(stripe, t);
    stripe(0);
    for (std::thread& w : workers)
        w.join();
    return rows;
}

}  // namespace velmaro
