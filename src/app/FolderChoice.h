#pragma once
// The folder a search starts from, as raw file-system bytes, from start-up to
// the scan. The folder tree shows folders by their decoded names, which
// loses the bytes of a name that is not UTF-8 and falls back to the drive
// for a folder it cannot show; a scan must never start from another folder
// than the one the user has in front of them.
//
//  - At start-up the choice is the process's current folder, exact bytes
//    (getcwd). A current folder that was removed keeps its former path,
//    which then scans to the empty result (0 folders), never "/".
//  - When the user picks a folder in the tree, the choice is that folder's
//    path; a path the tree can only show with replacement characters
//    (a name that is not UTF-8) and that does not exist as shown gives no
//    usable choice.
//  - raw() ends in "/"; empty when there is no usable choice.

#include <QByteArray>
#include <QString>

namespace velmaro {

class FolderChoice {
public:
    // The process's current folder, raw, ending in "/".
    static QByteArray startFolder();

    void setRaw(const QByteArray& raw);
    // A path as the folder tree shows it.
    void setShown(const QString& path);
    const QByteArray& raw() const { return raw_; }
    // The folder above `raw` ("/a/b/" -> "/a/"); "/" stays "/".
    static QByteArray parentOf(const QByteArray& raw);
    // True when `raw` is `folder` or lies below it (both end in "/").
    static bool isWithin(const QByteArray& raw, const QByteArray& folder);

private:
    QByteArray raw_;
};

}  // namespace velmaro
