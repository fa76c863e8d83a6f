#include "folderlist/FolderSlots.h"

#include "rows/FolderRowBuilder.h"

#include <cstring>

namespace velmaro {

quint32 FolderSlots::storeText(const char* text, std::size_t length)
{
    if (chunks_.empty() || chunkUsed_ + length + 1 > chunkSize_) {
        // A text longer than a chunk gets a chunk of its own size.
        chunkSize_ = std::max<std::size_t>(std::size_t(1) << kChunkBits, length + 1);
        chunks_.push_back(std::shared_ptr<char[]>(new char[chunkSize_]));
        chunkUsed_ = 0;
    }
    char* at = chunks_.back().get() + chunkUsed_;
    std::memcpy(at, text, length);
    at[length] = '\0';
    const quint32 offset = (quint32(chunks_.size() - 1) << kChunkBits) | quint32(chunkUsed_);
    chunkUsed_ += length + 1;
    return offset;
}

quint32 FolderSlots::add(quint32 parent, const char* text, std::size_t length)
{
    if ((size_ >> kBlockBits) == blocks_.size())
        blocks_.push_back(std::shared_ptr<FolderSlot[]>(new FolderSlot[std::size_t(1) << kBlockBits]));
    const quint32 slot = size_++;
    FolderSlot& s = at(slot);
    s.parent = parent;
    s.textAt = storeText(text, length);
    return slot;
}

void FolderSlots::clear()
{
    std::vector<std::shared_ptr<FolderSlot[]>>().swap(blocks_);
    std::vector<std::shared_ptr<char[]>>().swap(chunks_);
    size_ = 0;
    chunkUsed_ = chunkSize_ = 0;
}

QByteArray FolderSlots::rawPath(quint32 slot) const
{
    std::vector<quint32> chain;  // the slot and its ancestors, the detached one last
    qsizetype length = 0;
    for (quint32 s = slot;; s = (*this)[s].parent) {
        chain.push_back(s);
        length += qsizetype(std::strlen(text(s))) + 1;
        if ((*this)[s].parent == FolderSlot::kNoParent)
            break;
    }
    QByteArray path;
    path.reserve(length);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += text(*it);
        if (it != chain.rbegin())
            path += '/';
    }
    return path;
}

QByteArray FolderSlots::rawName(quint32 slot) const
{
    if ((*this)[slot].parent != FolderSlot::kNoParent)
        return QByteArray(text(slot));
    return FolderRowBuilder::nameOf(QByteArray(text(slot)));
}

}  // namespace velmaro
