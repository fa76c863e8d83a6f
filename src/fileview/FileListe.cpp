#include "fileview/FileListe.h"

#include <QCollator>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

namespace velmaro {

namespace {

QByteArray withSlash(QByteArray folder)
{
    if (!folder.endsWith('/'))
        folder.append('/');
    return folder;
}

int openFolder(const QByteArray& folder)
{
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    int fd = ::open(folder.constData(), flags | O_NOATIME);
    if (fd < 0 && errno == EPERM)
        fd = ::open(folder.constData(), flags);
    return fd;
}

bool isFolder(int dirFd, const dirent* d)
{
    if (d->d_type != DT_UNKNOWN)
        return d->d_type == DT_DIR;
    struct stat st;
    return ::fstatat(dirFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

// Collation order of the default locale; raw bytes break ties.
void sortByName(std::vector<QByteArray>& names)
{
    QCollator collator{QLocale()};
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const QByteArray& n : names)
        keys.push_back(collator.sortKey(QFile::decodeName(n)));
    std::vector<size_t> order(names.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int c = keys[a].compare(keys[b]);
        return c != 0 ? c < 0 : names[a] < names[b];
    });
    std::vector<QByteArray> sorted;
    sorted.reserve(names.size());
    for (size_t i : order)
        sorted.push_back(std::move(names[i]));
    names.swap(sorted);
}

}  // namespace

FileListe::FileListe(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("FileListe"));
}

int FileListe::setPath(const QByteArray& rawFolder)
{
    const QByteArray folder = withSlash(rawFolder);
    std::vector<QByteArray> fresh;
    if (const int err = read(folder, fresh))
        return err;
    const bool changed = folder != path_;
    path_ = folder;
    entries_.swap(fresh);
    if (changed)
        emit pathChanged();
    return 0;
}

void FileListe::setPattern(const QString& pattern)
{
    pattern_ = pattern;
}

int FileListe::refresh()
{
    std::vector<QByteArray> fresh;
    const int err = path_.isEmpty() ? 0 : read(path_, fresh);
    entries_.swap(fresh);
    return err;
}

QByteArray FileListe::entry(qint64 index) const
{
    if (index < 0 || index >= count())
        return QByteArray();
    return entries_[size_t(index)];
}

QByteArray FileListe::joinPath(const QByteArray& folder, const QByteArray& name)
{
    QByteArray full = folder;
    if (!full.endsWith('/'))
        full.append('/');
    return full + name;
}

int FileListe::read(const QByteArray& folder, std::vector<QByteArray>& out) const
{
    const int fd = openFolder(folder);
    if (fd < 0)
        return errno;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int err = errno;
        ::close(fd);
        return err;
    }
    const bool all = pattern_.isEmpty() || pattern_ == QLatin1String("*.*")
                     || pattern_ == QLatin1String("*");
    const QByteArray pattern = QFile::encodeName(pattern_);
    while (const dirent* d = ::readdir(dir)) {
        const QByteArray name(d->d_name);
        if (name == "." || name == ".." || isFolder(fd, d))
            continue;
        if (!all && ::fnmatch(pattern.constData(), name.constData(), 0) != 0)
            continue;
        out.push_back(name);
    }
    ::closedir(dir);
    sortByName(out);
    return 0;
}

}  // namespace velmaro
