#include "fileview/FileListe.h"

#include "engine/FdGuard.h"
#include "engine/FolderAccess.h"

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

bool isFolder(int dirFd, const engine::Entry& e)
{
    if (e.type != DT_UNKNOWN)
        return e.type == DT_DIR;
    struct stat st;
    return ::fstatat(dirFd, e.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
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

FileListe::FileListe(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("FileListe"));
}

FileListe::~FileListe()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int FileListe::setPath(const QByteArray& rawFolder)
{
    const int fd = engine::openFolderAt(AT_FDCWD, rawFolder.constData());
    return fd < 0 ? errno : adopt(fd, withSlash(rawFolder));
}

int FileListe::setFolder(const engine::ScannedFolder& folder)
{
    int error = 0;
    const int fd = engine::openScannedFolder(folder, error);
    return fd < 0 ? error : adopt(fd, withSlash(QByteArray::fromStdString(folder.path)));
}

int FileListe::adopt(int fd, const QByteArray& folder)
{
    Listing fresh;
    if (const int err = read(fd, fresh)) {
        ::close(fd);
        return err;
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
    const bool changed = folder != path_;
    path_ = folder;
    entries_.swap(fresh.names);
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
    Listing fresh;
    const int err = fd_ < 0 ? 0 : read(fd_, fresh);
    entries_.swap(fresh.names);
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

int FileListe::read(int folderFd, Listing& out) const
{
    // A fresh descriptor of the same folder: reading starts at its beginning.
    engine::FdGuard fd(engine::openFolderAt(folderFd, "."));
    if (!fd.valid())
        return errno;
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && st.st_nlink == 0)  // removed meanwhile
        return ENOENT;
    std::vector<engine::Entry> entries;
    if (const int err = engine::readEntries(fd.get(), entries))
        return err;
    const bool all = pattern_.isEmpty() || pattern_ == QLatin1String("*.*") || pattern_ == QLatin1String("*");
    const QByteArray pattern = QFile::encodeName(pattern_);
    for (const engine::Entry& e : entries) {
        if (isFolder(fd.get(), e))
            continue;
        if (!all && ::fnmatch(pattern.constData(), e.name.c_str(), 0) != 0)
            continue;
        out.names.push_back(QByteArray::fromStdString(e.name));
    }
    sortByName(out.names);
    return 0;
}

}  // namespace velmaro
