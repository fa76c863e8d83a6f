#pragma once
// Rows on their way into the folder list, in the list's compact form: a
// batch adds folder slots (a name and the slot of the parent folder) and
// fills slots with what the scan found about them. A slot is a folder whose
// path is known; it becomes a row once it is filled. A scan finishes folders
// bottom-up, so the ancestors of a finished folder get their slots before
// their own rows, and every row's path is the chain of its parents' names.
//
// Slot numbers are given by the producer in sequence: the batch's new slots
// are firstSlot, firstSlot + 1, ... Plain data; built on any thread.

#include "folderlist/FolderSlot.h"
#include "engine/FolderIdentity.h"

#include <QString>
#include <string>
#include <vector>

namespace velmaro {

struct RowBatch {
    struct Slot {
        quint32 parent = FolderSlot::kNoParent;  // kNoParent: detached, the name is the full path
        quint32 nameAt = 0;                      // raw bytes in `names`
        quint32 nameLength = 0;
    };
    struct Fill {
        quint32 slot = 0;
        quint64 bytes = 0;
        qint64 createdMs = FolderSlot::kNoTime;  // kNoTime: no birth time, an empty cell
        qint64 accessedMs = 0;
        engine::FolderIdentity id;
        quint16 sizeText = 0;   // 0: the size as a number; else 1 + index into sizeTexts
        bool sizeKnown = true;  // false: sizeText is a failure text
        bool zeroByte = false;  // only counts with a known size
        bool root = false;      // the scanned folder itself
    };

    quint32 firstSlot = 0;
    std::vector<Slot> newSlots;
    std::string names;
    std::vector<Fill> rows;
    std::vector<QString> sizeTexts;

    bool empty() const { return newSlots.empty() && rows.empty(); }
    quint32 endSlot() const { return firstSlot + quint32(newSlots.size()); }

    // Adds a slot; returns its number.
    quint32 addSlot(quint32 parent, const char* name, std::size_t length)
    {
        newSlots.push_back(Slot{parent, quint32(names.size()), quint32(length)});
        names.append(name, length);
        return endSlot() - 1;
    }
    // The Fill::sizeText number of a text (each text once per batch).
    quint16 sizeTextNumber(const QString& text)
    {
        for (std::size_t i = 0; i < sizeTexts.size(); ++i)
            if (sizeTexts[i] == text)
                return quint16(i + 1);
        sizeTexts.push_back(text);
        return quint16(sizeTexts.size());
    }
};

}  // namespace velmaro
