#pragma once
// Opens a file with the desktop's default application for its type, without
// a shell.
//
// open(file, folder):
//  - `file` is a raw path; a relative one is made absolute first, so the
//    opener never sees an argument that starts with "-".
//  - Checks, in this order: the file's folder exists (else PathNotFound 3),
//    the file exists (else FileNotFound 2), its MIME type (QMimeDatabase,
//    name and content) has a default application (`gio mime <type>`, or
//    `xdg-mime query default <type>` without gio; else NoAssociation 31).
//  - Starts `gio open <file>` (or `xdg-open <file>`) detached, with the
//    path as its one argument and `folder` as working folder. A path that
//    is not valid UTF-8 is passed as a percent-encoded file:// URI, which
//    names the same bytes. Returns Opened (42) once the opener started,
//    StartFailed (0) when it could not be started, NoAssociation when
//    neither gio nor xdg-open is installed.

#include <QByteArray>
#include <QString>

namespace velmaro::platform {

class FileOpener {
public:
    enum Result {
        StartFailed = 0,
        FileNotFound = 2,
        PathNotFound = 3,
        AccessDenied = 5,
        NoAssociation = 31,
        Opened = 42,
    };

    static int open(const QByteArray& file, const QByteArray& folder = QByteArray());

    // The MIME type name of an existing file (name and first bytes).
    static QString mimeTypeOf(const QByteArray& file);
    // Desktop id of the default application for `mimeType`; empty for none.
    static QString defaultApplication(const QString& mimeType);
    // The argument that names `absoluteFile` to the opener.
    static QString openerArgument(const QByteArray& absoluteFile);
};

}  // namespace velmaro::platform
