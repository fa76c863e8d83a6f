#pragma once
// One row of the file view: the raw name and what the listing read about
// the file. The texts of the cells are made on demand (FileListModel).

#include "engine/ListedFile.h"

#include <QByteArray>
#include <QtGlobal>
#include <limits>
#include <vector>

namespace velmaro {

struct FileRow {
    static constexpr qint64 kUnknown = std::numeric_limits<qint64>::min();

    QByteArray rawName;           // bare name, file-system bytes
    qint64 length = kUnknown;     // bytes (64-bit); kUnknown: no size text
    qint64 changedMs = kUnknown;  // last change, ms since the epoch; kUnknown: empty cells
    engine::FileFacts facts;      // as the listing read them: deletes act on this file only, unchanged
    bool checked = false;

    // Reads length, last change and the facts of `rawName` in the folder
    // open as `dirFd` (or, when dirFd < 0, under `folder`), without
    // following a symlink. A file that cannot be read keeps kUnknown in both
    // and facts that match no file.
    static FileRow read(int dirFd, const QByteArray& folder, const QByteArray& rawName);
    // One row per name of the open folder `dirFd` (shown as `folder`), in
    // the order of `names`. Large folders are read by several threads at
    // once (the reads wait on the disk).
    static std::vector<FileRow> readAll(int dirFd, const QByteArray& folder, const std::vector<QByteArray>& names);
};

}  // namespace velmaro
