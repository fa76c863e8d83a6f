#pragma once
// Turns the records of one walk into RowBatches for the folder list: each
// folder a slot with its name and its parent's slot, filled with the
// record's numbers; no texts but failure texts. Records come in the walk's
// order, every folder after all of its subfolders, so a folder's slot is
// made when its first subfolder arrives (from the record's path) and filled
// when its own record arrives. Folders waiting for their records are kept by
// path; a filled folder is forgotten.
//
// The walk's root gets a detached slot (its text is its full path). Sizes
// of Failed and Incomplete records become FolderRowBuilder::failureText.
// Slot numbers follow on from `firstSlot`. Not thread-safe; one walk.

#include "folderlist/RowBatch.h"
#include "engine/FolderRecord.h"

#include <QByteArray>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmaro {

class RowBatchBuilder {
public:
    // `root`: the folder the walk starts at, as given to the scanner.
    explicit RowBatchBuilder(const QByteArray& root, quint32 firstSlot = 0);

    RowBatch build(const std::vector<engine::FolderRecord>& records);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    quint32 slotFor(std::string_view path, RowBatch& batch);
    void fill(quint32 slot, const engine::FolderRecord& record, RowBatch& batch) const;
    bool isTop(std::string_view path) const;

    std::string root_;  // ends in '/'
    quint32 next_;
    std::unordered_map<std::string, quint32, Hash, std::equal_to<>> waiting_;  // slots without a row yet
};

}  // namespace velmaro
