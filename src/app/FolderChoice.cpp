#include "app/FolderChoice.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmaro {

namespace {

QByteArray withSlash(QByteArray raw)
{
    if (!raw.endsWith('/'))
        raw.append('/');
    return raw;
}

// The current folder's former path when it has been removed.
QByteArray removedCurrentFolder()
{
    std::vector<char> buffer(PATH_MAX + 32);
    const ssize_t n = ::readlink("/proc/self/cwd", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return QByteArray();
    QByteArray link(buffer.data(), n);
    const QByteArray deleted = " (deleted)";
    if (link.endsWith(deleted))
        link.chop(deleted.size());
    return link.startsWith('/') ? link : QByteArray();
}

}  // namespace

QByteArray FolderChoice::startFolder()
{
    std::vector<char> buffer(PATH_MAX + 1);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return withSlash(removedCurrentFolder());
        buffer.resize(buffer.size() * 2);
    }
    return withSlash(QByteArray(buffer.data()));
}

void FolderChoice::setRaw(const QByteArray& raw)
{
    raw_ = raw.isEmpty() ? raw : withSlash(raw);
}

void FolderChoice::setShown(const QString& path)
{
    const QByteArray raw = QFile::encodeName(path);
    struct stat st {};
    const bool lossy = path.contains(QChar::ReplacementCharacter);
    if (path.isEmpty() || (lossy && (::lstat(raw.constData(), &st) != 0 || !S_ISDIR(st.st_mode))))
        raw_.clear();
    else
        raw_ = withSlash(raw);
}

QByteArray FolderChoice::parentOf(const QByteArray& raw)
{
    if (raw.size() <= 1)
        return raw;
    const qsizetype slash = raw.lastIndexOf('/', raw.size() - 2);
    return slash < 0 ? raw : raw.left(slash + 1);
}

bool FolderChoice::isWithin(const QByteArray& raw, const QByteArray& folder)
{
    return !folder.isEmpty() && raw.startsWith(folder);
}

}  // namespace velmaro
