#pragma once
// The machine's drives: mounted volumes without pseudo or system file
// systems. A drive designation is the volume's root path ("/" or a mount
// point, without a trailing "/"). Never blocks on a dead network mount: the
// mount table is read from /proc/self/mountinfo, no volume is touched.
//
// Filtered out: pseudo and system file-system types (proc, sysfs, cgroup,
// tmpfs, overlay, squashfs, ... see isPseudoFileSystem) and anything mounted
// below /proc, /sys or /dev. "/" is always a drive, whatever its type (a
// container's root is often an overlay). When a mount point is mounted over
// again, the last mount counts.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace velmaro::platform {

class Volumes {
public:
    // One line of the mount table.
    struct Mount {
        QString mountPoint;  // octal escapes (\040) decoded
        QString type;        // file-system type, e.g. "ext4", "fuse.sshfs"
        QString source;      // device or remote source
    };

    // Mount points of real volumes, "/" first, then sorted. Reads the mount
    // table only; does not touch the volumes.
    static QStringList drives();
    // True when `root` can be listed within `timeoutMs` (checked on a
    // separate thread, so a hung mount cannot block the caller longer).
    static bool isReadable(const QString& root, int timeoutMs = 1500);
    // How isReadable lists a folder (tests put a slow one in to stand for a
    // hung mount); nullptr restores the real listing.
    using Lister = bool (*)(const QByteArray& path);
    static void setLister(Lister lister);
    // The volume (mount point) that holds `path`: the longest drive that is
    // `path` itself or a parent of it; "/" when none is.
    static QString driveOf(const QString& path);
    // The same among the given drives.
    static QString driveOf(const QString& path, const QStringList& drives);
    // True for file-system types that are never scanned (proc, sysfs, ...).
    static bool isPseudoFileSystem(const QString& type);

    // Parses the text of /proc/self/mountinfo; malformed lines are skipped.
    static QList<Mount> parseMountInfo(const QByteArray& text);
    // The drives of a parsed mount table (the rules above).
    static QStringList drivesOf(const QList<Mount>& mounts);
};

}  // namespace velmaro::platform
