#pragma once
// Turns the records of one walk into RowBatches for the folder list: each
// folder a slot with its name and its parent's slot, filled with the
// record's numbers; no texts but failure texts. The tree comes from the
// walk's indexes, not from the paths: a record's `newAncestors` get their
// slots first (outermost first), then the record fills its own slot, made
// now unless an earlier record named it. Named folders wait for their
// records by walk index; a filled folder is forgotten.
//
// The walk's root gets a detached slot (its text is its full path), so a
// walk asked for no paths (FolderScanner::Options::recordPaths) will do. Sizes
// of Failed and Incomplete records become FolderRowBuilder::failureText.
// Slot numbers follow on from `firstSlot`. Not thread-safe; one walk.

#include "folderlist/RowBatch.h"
#include "engine/FolderRecord.h"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmaro {

class RowBatchBuilder {
public:
    explicit RowBatchBuilder(quint32 firstSlot = 0);

    RowBatch build(const std::vector<engine::FolderRecord>& records);

private:
    // A new slot below the folder `parent` of the walk; detached, named by
    // `path`, for the root or a parent no record named.
    quint32 addSlot(engine::WalkIndex parent, std::string_view name, std::string_view path, RowBatch& batch);
    void fill(quint32 slot, const engine::FolderRecord& record, RowBatch& batch) const;

    quint32 next_;
    std::unordered_map<engine::WalkIndex, quint32> waiting_;  // named folders without a row yet
};

}  // namespace velmaro
