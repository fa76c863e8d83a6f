#pragma once
// One folder of the folder list in its compact form (56 bytes): the numbers
// a row shows and sorts by, the parent folder's slot and where the name is
// stored. Texts are made from it when a cell is shown.
//
// parent and textAt are set when the slot is made and never change; the
// other members are set once, when the slot becomes a row.

#include "rows/FolderRow.h"

#include <QtGlobal>
#include <limits>

namespace velmaro {

struct FolderSlot {
    static constexpr quint32 kNoParent = std::numeric_limits<quint32>::max();
    static constexpr qint64 kNoTime = FolderRow::kNoTime;
    enum Flag : quint8 {
        kRow = 1,        // filled: the folder is a row of the list
        kSizeKnown = 2,  // else the size column shows a failure text
        kZeroByte = 4,   // counts as a zero-byte folder
        kRoot = 8,       // the scanned folder itself
        kBirthStamp = 16,   // `stamp` is the birth time (identity)
        kChangeStamp = 32,  // `stamp` is the change time (identity)
    };

    quint64 bytes = 0;
    qint64 createdMs = kNoTime;  // ms since the epoch; kNoTime: an empty cell
    qint64 accessedMs = 0;
    quint64 ino = 0;
    quint64 stamp = 0;           // the identity's stamp value (see the stamp flags)
    quint32 parent = kNoParent;  // kNoParent: detached, the text is the full path
    quint32 textAt = 0;          // where FolderSlots keeps the text
    quint16 text = 0;            // 0: the size as a number; else the store's text number
    quint16 volume = 0;          // the store's number for device and mount
    quint8 flags = 0;

    bool is(Flag flag) const { return (flags & flag) != 0; }
};

static_assert(sizeof(FolderSlot) == 56);

}  // namespace velmaro
