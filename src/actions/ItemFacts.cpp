#include "actions/ItemFacts.h"

#include "rows/LocaleText.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QMimeDatabase>

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace velmaro {

namespace {

const QString kUnknown = QStringLiteral("unbekannt");

QByteArray withoutTrailingSlash(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

QString timeText(const struct statx_timestamp& ts)
{
    const qint64 ms = qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    return platform::generalDateText(QDateTime::fromMSecsSinceEpoch(ms));
}

QString userName(uid_t uid)
{
    std::vector<char> buffer(16384);
    struct passwd pw {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(uid, &pw, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

QString groupName(gid_t gid)
{
    std::vector<char> buffer(16384);
    struct group gr {};
    struct group* found = nullptr;
    if (::getgrgid_r(gid, &gr, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(gid);
}

QString permissionText(mode_t mode)
{
    QString text;
    if (S_ISDIR(mode))
        text += u'd';
    else if (S_ISLNK(mode))
        text += u'l';
    else
        text += u'-';
    const char letters[] = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400 >> bit)) ? QChar::fromLatin1(letters[bit]) : QChar(u'-');
    return text + QStringLiteral(" (%1)").arg(uint(mode & 07777), 4, 8, QChar(u'0'));
}

QString entryCountText(const QByteArray& path)
{
    // O_NOATIME where allowed: looking must not change the access time shown.
    int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOATIME);
    if (fd < 0)
        fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return kUnknown;
    }
    qint64 count = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            ++count;
    }
    ::closedir(dir);
    return QLocale().toString(count) +
           (count == 1 ? QStringLiteral(" Eintrag") : QStringLiteral(" Einträge"));
}

QString typeText(const QByteArray& path, const QString& name, mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("Ordner");
    if (S_ISLNK(mode)) {
        char target[4096];
        const ssize_t n = ::readlink(path.constData(), target, sizeof target);
        const QString shown = n >= 0 ? QFile::decodeName(QByteArray(target, int(n))) : kUnknown;
        return QStringLiteral("Verknüpfung auf ") + shown;
    }
    if (S_ISFIFO(mode))
        return QStringLiteral("Pipe (FIFO)");
    if (S_ISSOCK(mode))
        return QStringLiteral("Socket");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("Gerätedatei");
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    return QStringLiteral("Datei (%1)").arg(mime.comment());
}

void splitPath(const QByteArray& path, ItemFacts& facts)
{
    if (path == "/") {
        facts.name = QStringLiteral("/");
        facts.folder = QStringLiteral("/");
        return;
    }
    const int slash = path.lastIndexOf('/');
    facts.name = QFile::decodeName(path.mid(slash + 1));
    facts.folder = QFile::decodeName(path.left(slash + 1));
}

}  // namespace

ItemFacts ItemFacts::read(const QByteArray& rawPath, std::optional<quint64> folderBytes)
{
    ItemFacts facts;
    const QByteArray path = withoutTrailingSlash(rawPath);
    splitPath(path, facts);
    struct statx st {};
    const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    if (path.isEmpty() || ::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW, mask, &st) != 0) {
        facts.type = facts.size = facts.owner = facts.permissions = kUnknown;
        facts.created = facts.modified = facts.accessed = kUnknown;
        return facts;
    }
    facts.exists = true;
    const mode_t mode = st.stx_mode;
    facts.type = typeText(path, facts.name, mode);
    if (S_ISDIR(mode)) {
        facts.size = folderBytes ? platform::sizeWithBytesText(*folderBytes) : kUnknown;
        facts.entries = entryCountText(path);
    } else {
        facts.size = platform::sizeWithBytesText(st.stx_size);
    }
    facts.owner = userName(st.stx_uid) + QStringLiteral(" / ") + groupName(st.stx_gid);
    facts.permissions = permissionText(mode);
    facts.created = (st.stx_mask & STATX_BTIME) ? timeText(st.stx_btime) : kUnknown;
    facts.modified = timeText(st.stx_mtime);
    facts.accessed = timeText(st.stx_atime);
    return facts;
}

}  // namespace velmaro
