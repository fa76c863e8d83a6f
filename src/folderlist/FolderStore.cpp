#include "folderlist/FolderStore.h"

#include <QFile>
#include <limits>

namespace velmaro {

namespace {
constexpr quint16 kMaxTexts = std::numeric_limits<quint16>::max();

quint8 stampFlag(engine::ObjectStamp::Kind kind)
{
    switch (kind) {
    case engine::ObjectStamp::Kind::Birth: return FolderSlot::kBirthStamp;
    case engine::ObjectStamp::Kind::Change: return FolderSlot::kChangeStamp;
    case engine::ObjectStamp::Kind::None: break;
    }
    return 0;
}
}  // namespace

FolderStore::FolderStore() = default;

void FolderStore::clear()
{
    slots_.clear();
    sizeTexts_ = FolderRowBuilder();
    std::vector<QString>().swap(texts_);
    textNumbers_.clear();
    volumes_.clear();
    volumeNumbers_.clear();
    rows_ = zeroBytes_ = 0;
    root_ = FolderSlot::kNoParent;
}

quint16 FolderStore::volumeOf(const engine::FolderIdentity& id)
{
    const Volume volume{id.dev, id.hasMountId ? id.mountId : 0, id.hasMountId};
    if (!volumes_.empty() && volumes_.back() == volume)
        return quint16(volumes_.size() - 1);
    const auto found = volumeNumbers_.find(volume);
    if (found != volumeNumbers_.end())
        return found->second;
    if (volumes_.size() > kMaxTexts)
        return 0;  // cannot happen on one machine; the row keeps its inode
    volumes_.push_back(volume);
    return volumeNumbers_[volume] = quint16(volumes_.size() - 1);
}

// 0 when the table is full: the cell then shows the size as a number.
quint16 FolderStore::textOf(const QString& text)
{
    const auto found = textNumbers_.constFind(text);
    if (found != textNumbers_.constEnd())
        return found.value();
    if (texts_.size() >= kMaxTexts)
        return 0;
    texts_.push_back(text);
    return textNumbers_[text] = quint16(texts_.size());
}

bool FolderStore::checkBatch(const RowBatch& batch) const
{
    if (batch.firstSlot != slots_.size())
        return false;
    for (std::size_t i = 0; i < batch.newSlots.size(); ++i) {
        const RowBatch::Slot& s = batch.newSlots[i];
        if ((s.parent != FolderSlot::kNoParent && s.parent >= batch.firstSlot + i) ||
            std::size_t(s.nameAt) + s.nameLength > batch.names.size())
            return false;
    }
    for (const RowBatch::Fill& fill : batch.rows) {
        if (fill.slot >= batch.endSlot() || fill.sizeText > batch.sizeTexts.size() ||
            (fill.slot < slots_.size() && slots_[fill.slot].is(FolderSlot::kRow)))
            return false;
    }
    return true;
}

bool FolderStore::append(const RowBatch& batch, std::vector<quint32>& filled)
{
    if (!checkBatch(batch))
        return false;
    for (const RowBatch::Slot& s : batch.newSlots)
        slots_.add(s.parent, batch.names.data() + s.nameAt, s.nameLength);
    std::vector<quint16> texts(batch.sizeTexts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = textOf(batch.sizeTexts[i]);
    for (const RowBatch::Fill& fill : batch.rows) {
        FolderSlot& s = slots_.at(fill.slot);
        if (s.is(FolderSlot::kRow))
            continue;  // the same slot twice in one batch
        s.bytes = fill.bytes;
        s.createdMs = fill.createdMs;
        s.accessedMs = fill.accessedMs;
        s.ino = fill.id.ino;
        s.stamp = fill.id.stamp.value;
        s.volume = volumeOf(fill.id);
        s.text = fill.sizeText ? texts[fill.sizeText - 1] : 0;
        const bool known = fill.sizeKnown;
        s.flags = FolderSlot::kRow | (known ? FolderSlot::kSizeKnown : 0) |
                  (known && fill.zeroByte ? FolderSlot::kZeroByte : 0) | (fill.root ? FolderSlot::kRoot : 0) |
                  stampFlag(fill.id.stamp.kind);
        ++rows_;
        if (s.is(FolderSlot::kZeroByte))
            ++zeroBytes_;
        if (fill.root)
            root_ = fill.slot;
        filled.push_back(fill.slot);
    }
    return true;
}

QString FolderStore::name(quint32 slot) const
{
    return QFile::decodeName(slots_.rawName(slot));
}

QString FolderStore::path(quint32 slot) const
{
    return QFile::decodeName(slots_.rawPath(slot));
}

QString FolderStore::sizeText(quint32 slot) const
{
    const FolderSlot& s = slots_[slot];
    return s.text ? texts_[s.text - 1] : sizeTexts_.sizeText(s.bytes);
}

engine::FolderIdentity FolderStore::identity(quint32 slot) const
{
    const FolderSlot& s = slots_[slot];
    const auto& [dev, mountId, hasMountId] = volumes_[s.volume];
    engine::FolderIdentity id;
    id.dev = dev;
    id.ino = s.ino;
    id.mountId = mountId;
    id.hasMountId = hasMountId;
    id.stamp.value = s.stamp;
    if (s.is(FolderSlot::kBirthStamp))
        id.stamp.kind = engine::ObjectStamp::Kind::Birth;
    else if (s.is(FolderSlot::kChangeStamp))
        id.stamp.kind = engine::ObjectStamp::Kind::Change;
    return id;
}

FolderRow FolderStore::row(quint32 slot) const
{
    const FolderSlot& s = slots_[slot];
    FolderRow row;
    row.rawPath = slots_.rawPath(slot);
    row.path = QFile::decodeName(row.rawPath);
    row.name = name(slot);
    row.sizeText = sizeText(slot);
    row.bytes = s.bytes;
    row.sizeKnown = s.is(FolderSlot::kSizeKnown);
    row.zeroByte = s.is(FolderSlot::kZeroByte);
    row.createdMs = s.createdMs;
    row.accessedMs = s.accessedMs;
    row.id = identity(slot);
    row.isRoot = s.is(FolderSlot::kRoot);
    return row;
}

}  // namespace velmaro
