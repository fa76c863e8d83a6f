#pragma once
// The machine's drives: mounted volumes without pseudo or system file
// systems. A drive designation is the volume's root path ("/" or a mount
// point). Never blocks on a dead network mount.

#include <QString>
#include <QStringList>

namespace velmaro::platform {

class Volumes {
public:
    // Mount points of real volumes, "/" first, then sorted. Reads the mount
    // table only; does not touch the volumes.
    static QStringList drives();
    // True when `root` can be listed within `timeoutMs` (checked on a
    // separate thread, so a hung mount cannot block the caller longer).
    static bool isReadable(const QString& root, int timeoutMs = 1500);
    // The volume (mount point) that holds `path`.
    static QString driveOf(const QString& path);
    // True for file-system types that are never scanned (proc, sysfs, ...).
    static bool isPseudoFileSystem(const QString& type);
};

}  // namespace velmaro::platform
