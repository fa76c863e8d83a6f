#include "folderlist/RowBatchBuilder.h"

#include "rows/FolderRowBuilder.h"

namespace velmaro {

namespace {

// "/a/b/" -> "/a/"
std::string_view parentOf(std::string_view path)
{
    return path.substr(0, path.rfind('/', path.size() - 2) + 1);
}

}  // namespace

RowBatchBuilder::RowBatchBuilder(const QByteArray& root, quint32 firstSlot)
    : root_(root.toStdString())
    , next_(firstSlot)
{
    // The engine's rule: no trailing '/' but for "/", then exactly one.
    while (root_.size() > 1 && root_.back() == '/')
        root_.pop_back();
    if (!root_.empty() && root_ != "/")
        root_ += '/';
}

bool RowBatchBuilder::isTop(std::string_view path) const
{
    return path.size() <= root_.size() || path.substr(0, root_.size()) != root_;
}

RowBatch RowBatchBuilder::build(const std::vector<engine::FolderRecord>& records)
{
    RowBatch batch;
    batch.firstSlot = next_;
    for (const engine::FolderRecord& record : records) {
        std::string path = record.path;
        if (path.empty() || path.back() != '/')
            path += '/';
        quint32 slot = 0;
        const auto waiting = waiting_.find(std::string_view(path));
        if (waiting != waiting_.end()) {
            slot = waiting->second;
            waiting_.erase(waiting);  // its subfolders are all done: nothing asks for it again
        } else {
            slot = slotFor(path, batch);
        }
        fill(slot, record, batch);
    }
    next_ = batch.endSlot();
    return batch;
}

// A new slot for `path` (not waiting), and for each ancestor that has none
// yet; those wait for their records.
quint32 RowBatchBuilder::slotFor(std::string_view path, RowBatch& batch)
{
    std::vector<std::string_view> missing{path};
    quint32 parent = FolderSlot::kNoParent;
    while (!isTop(missing.back())) {
        const std::string_view up = parentOf(missing.back());
        const auto found = waiting_.find(up);
        if (found != waiting_.end()) {
            parent = found->second;
            break;
        }
        missing.push_back(up);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        const std::string_view p = *it;
        if (parent == FolderSlot::kNoParent) {
            parent = batch.addSlot(parent, p.data(), p.size());
        } else {
            const std::string_view name = p.substr(parentOf(p).size(), p.size() - parentOf(p).size() - 1);
            parent = batch.addSlot(parent, name.data(), name.size());
        }
        if (it + 1 != missing.rend())
            waiting_.emplace(std::string(p), parent);
    }
    return parent;
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
