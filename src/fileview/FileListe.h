#pragma once
// The file view's hidden file list: one folder's entries that are not
// folders, as raw file-system names.
//
// - path(): the folder as raw bytes, always ending in "/".
// - pattern(): "*.*" (or "*" or empty) admits every entry; any other pattern
//   is matched against the raw name with fnmatch(). A new pattern takes
//   effect with the next read (setPath or refresh).
// - Entries: bare names (no folder part), hidden files included, never "."
//   or "..". Subfolders are left out; everything else is listed: regular
//   files, symlinks (whatever they point to, since deleting or opening acts
//   on the link itself and never enters a folder), pipes, sockets, devices.
// - Order: by name with a QCollator of the default locale (QLocale());
//   names that collate equal are ordered by their raw bytes.
// - Reading opens the folder with O_NOATIME where allowed, so listing it
//   does not change the access time a later scan shows.
// - setFolder() opens a folder a scan listed by its identity (a folder that
//   changed since the scan fails with kChangedSinceScan); setPath() opens a
//   folder by its path. Either keeps the folder open: refresh(), the
//   listing and every delete act on that folder, wherever its path leads
//   later. On failure they return the error and leave everything as it
//   was. When the new folder has another path than before, pathChanged() is
//   emitted after the entries were read.
// - The file view reads each entry's status (FileRow) and deletes a file
//   only while it is unchanged (engine::deleteListedFile).
// - refresh() reads the open folder again (no signal); on failure the
//   entries are emptied and the errno returned.
// - Counts and indexes are 64-bit.

#include "engine/ScannedFolder.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <vector>

namespace velmaro {

class FileListe : public QObject {
    Q_OBJECT
public:
    explicit FileListe(QObject* parent = nullptr);
    ~FileListe() override;

    const QByteArray& path() const { return path_; }
    int setPath(const QByteArray& rawFolder);            // 0 or errno
    int setFolder(const engine::ScannedFolder& folder);  // 0, errno or kChangedSinceScan
    // The open folder (owned by the list; -1 before the first folder).
    int folderFd() const { return fd_; }
    const QString& pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    int refresh();  // 0 or errno

    qint64 count() const { return qint64(entries_.size()); }
    // Entry `index` (0-based); an empty array when out of range.
    QByteArray entry(qint64 index) const;
    const std::vector<QByteArray>& entries() const { return entries_; }

    // folder + "/" (unless folder already ends in "/") + name.
    static QByteArray joinPath(const QByteArray& folder, const QByteArray& name);
    QByteArray fullPath(const QByteArray& name) const { return joinPath(path_, name); }

signals:
    void pathChanged();

private:
    struct Listing {
        std::vector<QByteArray> names;
    };
    int read(int folderFd, Listing& out) const;
    // Takes `fd` as the open folder `folder` once it could be read.
    int adopt(int fd, const QByteArray& folder);

    int fd_ = -1;
    QByteArray path_;
    QString pattern_ = QStringLiteral("*.*");
    std::vector<QByteArray> entries_;
};

}  // namespace velmaro
