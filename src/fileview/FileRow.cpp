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
    struct statx st;
    const unsigned mask = engine::fileFactsMask() | STATX_MTIME;
    const int rc = dirFd >= 0 ? ::statx(dirFd, rawName.constData(), AT_SYMLINK_NOFOLLOW, mask, &st)
                              : ::statx(AT_FDCWD, FileListe::joinPath(folder, rawName).constData(),
                                        AT_SYMLINK_NOFOLLOW, mask, &st);
    if (rc != 0)
        return row;
    row.length = qint64(st.stx_size);
    row.changedMs = qint64(st.stx_mtime.tv_sec) * 1000 + st.stx_mtime.tv_nsec / 1000000;
    row.facts = engine::factsOf(st);
    return row;
}

std::vector<FileRow> FileRow::readAll(int dirFd, const QByteArray& folder, const std::vector<QByteArray>& names)
{
    constexpr size_t kPerThread = 2048;
    constexpr size_t kMaxThreads = 8;
    std::vector<FileRow> rows(names.size());
    const size_t threads = std::clamp<size_t>(names.size() / kPerThread, 1, kMaxThreads);
    auto stripe = [&](size_t first) {
        for (size_t i = first; i < names.size(); i += threads) {
            rows[i] = read(dirFd, folder, names[i]);
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
