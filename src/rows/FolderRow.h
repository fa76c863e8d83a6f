#pragma once
// One row of the folder list. Cells are stored separately; the path's raw
// bytes are kept for every file-system operation.

#include "engine/FolderIdentity.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <limits>

namespace velmaro {

struct FolderRow {
    static constexpr qint64 kNoTime = std::numeric_limits<qint64>::min();

    QString name;                 // column 1
    QString path;                 // column 2, display form, ends in "/"
    QByteArray rawPath;           // the same path as file-system bytes
    QString sizeText;             // column 3: size in KB, or a failure text
    quint64 bytes = 0;            // sort key of column 3
    bool sizeKnown = true;        // false: sizeText is a failure text (sorts last)
    bool zeroByte = false;        // counts as a zero-byte folder
    qint64 createdMs = kNoTime;   // column 4, ms since epoch; kNoTime = empty cell
    qint64 accessedMs = kNoTime;  // column 5
    engine::FolderIdentity id;    // what the scan saw: deletes act on this folder only
    bool isRoot = false;          // the scanned folder itself
};

}  // namespace velmaro
