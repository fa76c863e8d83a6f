#include "platform/Volumes.h"

#include <QFile>
#include <QMap>
#include <QSet>

#include <atomic>
#include <chrono>
#include <cerrno>
#include <condition_variable>
#include <dirent.h>
#include <memory>
#include <mutex>
#include <thread>

namespace velmaro::platform {

namespace {

// Decodes the octal escapes of a mountinfo field (\040 blank, \011 tab,
// \012 newline, \134 backslash) into file-system bytes.
QByteArray unescape(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            bool ok = false;
            const int value = digits.toInt(&ok, 8);
            if (ok && digits.size() == 3) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(field.at(i));
    }
    return out;
}

bool isBelow(const QString& path, const QString& root)
{
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

bool isSystemPlace(const QString& mountPoint)
{
    return isBelow(mountPoint, QStringLiteral("/proc")) || isBelow(mountPoint, QStringLiteral("/sys")) ||
           isBelow(mountPoint, QStringLiteral("/dev"));
}

// State shared between isReadable() and its (possibly abandoned) thread.
struct Probe {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool readable = false;
};

bool listsEntries(const QByteArray& path)
{
    DIR* dir = ::opendir(path.constData());
    if (!dir)
        return false;
    errno = 0;
    const bool ok = ::readdir(dir) != nullptr || errno == 0;
    ::closedir(dir);
    return ok;
}

std::atomic<Volumes::Lister> lister{nullptr};

}  // namespace

void Volumes::setLister(Lister function)
{
    lister = function;
}

bool Volumes::isPseudoFileSystem(const QString& type)
{
    static const QSet<QString> pseudo = {
        "proc",        "sysfs",      "devtmpfs", "devpts",     "tmpfs",      "ramfs",   "cgroup",
        "cgroup2",     "squashfs",   "overlay",  "aufs",       "securityfs", "debugfs", "tracefs",
        "pstore",      "bpf",        "mqueue",   "hugetlbfs",  "configfs",   "fusectl", "autofs",
        "binfmt_misc", "nsfs",       "efivarfs", "rpc_pipefs", "selinuxfs",  "nfsd",    "fuse.gvfsd-fuse",
        "fuse.portal", "fuse.lxcfs", "devfs",    "usbfs",      "sockfs",     "pipefs",  "anon_inodefs",
        "cpuset",      "none",       "ipathfs",  "rootfs",     "zsmalloc",   "xenfs",   "vboxsf_internal"};
    return pseudo.contains(type);
}

QList<Volumes::Mount> Volumes::parseMountInfo(const QByteArray& text)
{
    QList<Mount> mounts;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        const int dash = fields.indexOf("-");
        if (dash < 6 || dash + 2 >= fields.size())
            continue;
        Mount mount;
        mount.mountPoint = QFile::decodeName(unescape(fields.at(4)));
        mount.type = QString::fromUtf8(fields.at(dash + 1));
        mount.source = QFile::decodeName(unescape(fields.at(dash + 2)));
        if (mount.mountPoint.startsWith(QLatin1Char('/')))
            mounts.append(mount);
    }
    return mounts;
}

QStringList Volumes::drivesOf(const QList<Mount>& mounts)
{
    QMap<QString, QString> typeOf;  // mount point -> type of the last mount there
    for (const Mount& mount : mounts)
        typeOf.insert(mount.mountPoint, mount.type);
    QStringList drives{QStringLiteral("/")};
    for (auto it = typeOf.cbegin(); it != typeOf.cend(); ++it) {
        if (it.key() == QLatin1String("/") || isPseudoFileSystem(it.value()) || isSystemPlace(it.key()))
            continue;
        drives.append(it.key());
    }
    return drives;  // QMap keeps the rest sorted
}

QStringList Volumes::drives()
{
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("/")};
    return drivesOf(parseMountInfo(file.readAll()));
}

bool Volumes::isReadable(const QString& root, int timeoutMs)
{
    auto probe = std::make_shared<Probe>();
    const QByteArray path = QFile::encodeName(root);
    const Lister list = lister.load() ? lister.load() : &listsEntries;
    std::thread([probe, path, list] {
        const bool ok = list(path);
        std::lock_guard lock(probe->mutex);
        probe->readable = ok;
        probe->finished = true;
        probe->done.notify_all();
    }).detach();
    std::unique_lock lock(probe->mutex);
    probe->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return probe->finished; });
    return probe->finished && probe->readable;
}

QString Volumes::driveOf(const QString& path)
{
    return driveOf(path, drives());
}

QString Volumes::driveOf(const QString& path, const QStringList& drives)
{
    QString clean = path;
    while (clean.size() > 1 && clean.endsWith(QLatin1Char('/')))
        clean.chop(1);
    QString best = QStringLiteral("/");
    for (const QString& drive : drives) {
        if (drive != QLatin1String("/") && isBelow(clean, drive) && drive.size() > best.size())
            best = drive;
    }
    return best;
}

}  // namespace velmaro::platform
