#include "fileview/FileRow.h"

#include "fileview/FileListe.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace velmaro {

FileRow FileRow::read(int dirFd, const QByteArray& folder, const QByteArray& rawName)
{
    FileRow row;
    row.rawName = rawName;
    struct stat st;
    const int rc = dirFd >= 0
                       ? ::fstatat(dirFd, rawName.constData(), &st, AT_SYMLINK_NOFOLLOW)
                       : ::fstatat(AT_FDCWD, FileListe::joinPath(folder, rawName).constData(),
                                   &st, AT_SYMLINK_NOFOLLOW);
    if (rc != 0)
        return row;
    row.length = qint64(st.st_size);
    row.changedMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return row;
}

}  // namespace velmaro
