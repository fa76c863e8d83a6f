#include "platform/FileOpener.h"

#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmaro::platform {

namespace {

constexpr int kToolTimeoutMs = 10000;

QByteArray absolutePath(const QByteArray& file)
{
    if (file.startsWith('/'))
        return file;
    char* cwd = ::getcwd(nullptr, 0);
    QByteArray base = cwd ? QByteArray(cwd) : QByteArrayLiteral("/");
    std::free(cwd);
    if (!base.endsWith('/'))
        base.append('/');
    return base + file;
}

QByteArray folderOf(const QByteArray& absoluteFile)
{
    const qsizetype slash = absoluteFile.lastIndexOf('/');
    return slash <= 0 ? QByteArrayLiteral("/") : absoluteFile.left(slash);
}

// 0 when the file exists, else the opener's code for what is missing.
int checkExists(const QByteArray& absoluteFile)
{
    struct stat st;
    const QByteArray folder = folderOf(absoluteFile);
    if (::stat(folder.constData(), &st) != 0)
        return errno == EACCES ? FileOpener::AccessDenied : FileOpener::PathNotFound;
    if (!S_ISDIR(st.st_mode))
        return FileOpener::PathNotFound;
    if (::stat(absoluteFile.constData(), &st) == 0)
        return 0;
    if (errno == EACCES)
        return FileOpener::AccessDenied;
    return errno == ENOTDIR ? FileOpener::PathNotFound : FileOpener::FileNotFound;
}

QByteArray readHead(const QByteArray& file)
{
    QByteArray head(4096, '\0');
    const int fd = ::open(file.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return QByteArray();
    const ssize_t n = ::read(fd, head.data(), size_t(head.size()));
    ::close(fd);
    head.resize(n > 0 ? qsizetype(n) : 0);
    return head;
}

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(env);
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

}  // namespace

QString FileOpener::mimeTypeOf(const QByteArray& file)
{
    struct stat st;
    if (::stat(file.constData(), &st) != 0)
        return QString();
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("inode/directory");
    if (S_ISCHR(st.st_mode))
        return QStringLiteral("inode/chardevice");
    if (S_ISBLK(st.st_mode))
        return QStringLiteral("inode/blockdevice");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("inode/fifo");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("inode/socket");
    const QString name = QFile::decodeName(file.mid(file.lastIndexOf('/') + 1));
    return QMimeDatabase().mimeTypeForFileNameAndData(name, readHead(file)).name();
}

QString FileOpener::defaultApplication(const QString& mimeType)
{
    if (mimeType.isEmpty())
        return QString();
    if (const QString gio = tool("gio"); !gio.isEmpty()) {
        const QString out = runTool(gio, {QStringLiteral("mime"), mimeType});
        const QString first = out.section(QLatin1Char('\n'), 0, 0);
        if (!first.startsWith(QLatin1String("Default application for")))
            return QString();
        return first.section(QLatin1String(": "), -1).trimmed();
    }
    if (const QString xdgMime = tool("xdg-mime"); !xdgMime.isEmpty())
        return runTool(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType}).trimmed();
    return QString();
}

QString FileOpener::openerArgument(const QByteArray& absoluteFile)
{
    const QString decoded = QString::fromUtf8(absoluteFile);
    if (decoded.toUtf8() == absoluteFile && QFile::encodeName(decoded) == absoluteFile)
        return decoded;
    return QStringLiteral("file://") + QString::fromLatin1(absoluteFile.toPercentEncoding("/"));
}

int FileOpener::open(const QByteArray& file, const QByteArray& folder)
{
    const QByteArray absolute = absolutePath(file);
    if (const int missing = checkExists(absolute))
        return missing;
    QString opener = tool("gio");
    QStringList arguments{QStringLiteral("open")};
    if (opener.isEmpty()) {
        opener = tool("xdg-open");
        arguments.clear();
    }
    if (opener.isEmpty() || defaultApplication(mimeTypeOf(absolute)).isEmpty())
        return NoAssociation;
    arguments << openerArgument(absolute);
    const QString workDir = QFile::decodeName(folder);
    const bool dirUsable = !folder.isEmpty() && QFile::encodeName(workDir) == folder;
    return QProcess::startDetached(opener, arguments, dirUsable ? workDir : QString()) ? Opened : StartFailed;
}

}  // namespace velmaro::platform
