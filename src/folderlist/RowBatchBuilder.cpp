#include "folderlist/RowBatchBuilder.h"

#include "rows/FolderRowBuilder.h"

namespace velmaro {

RowBatchBuilder::RowBatchBuilder(quint32 firstSlot)
    : next_(firstSlot)
{}

RowBatch RowBatchBuilder::build(const std::vector<engine::FolderRecord>& records)
{
    RowBatch batch;
    batch.firstSlot = next_;
    for (const engine::FolderRecord& record : records) {
        for (const engine::WalkFolder& above : record.newAncestors)
            waiting_[above.index] = addSlot(above.parent, above.name, above.name, batch);
        quint32 slot = 0;
        const auto named = waiting_.find(record.index);
        if (named != waiting_.end()) {
            slot = named->second;
            waiting_.erase(named);  // its subfolders are all done: nothing names it again
        } else {
            slot = addSlot(record.parent, record.name, record.path, batch);
        }
        fill(slot, record, batch);
    }
    next_ = batch.endSlot();
    return batch;
}

quint32 RowBatchBuilder::addSlot(engine::WalkIndex parent, std::string_view name, std::string_view path,
                                 RowBatch& batch)
{
    const auto above = parent == engine::kNoWalkIndex ? waiting_.end() : waiting_.find(parent);
    if (above == waiting_.end())
        return batch.addSlot(FolderSlot::kNoParent, path.data(), path.size());
    return batch.addSlot(above->second, name.data(), name.size());
}

void RowBatchBuilder::fill(quint32 slot, const engine::FolderRecord& record, RowBatch& batch) const
{
    RowBatch::Fill f;
    f.slot = slot;
    f.bytes = record.bytes;
    f.createdMs = record.created ? FolderRowBuilder::toMs(*record.created) : FolderSlot::kNoTime;
    f.accessedMs = FolderRowBuilder::toMs(record.accessed);
    f.id = record.id;
    f.root = record.root;
    f.sizeKnown = record.sizeState == engine::SizeState::Complete;
    f.zeroByte = f.sizeKnown && record.zeroByte;
    if (!f.sizeKnown)
        f.sizeText = batch.sizeTextNumber(FolderRowBuilder::failureText(record));
    batch.rows.push_back(f);
}

}  // namespace velmaro
