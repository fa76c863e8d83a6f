#pragma once
// The slots of the folder list in blocks that never move, and their names in
// chunks that never move, each name stored once (NUL-terminated: a file name
// holds no NUL byte).
//
// A copy shares the blocks and chunks: it is a snapshot that a sort can read
// on another thread while the original grows. What a snapshot may read:
// every slot's parent and text, and the members of slots that were rows
// when it was taken; slots made later are not part of it. Clearing the
// original leaves its snapshots intact.

#include "folderlist/FolderSlot.h"

#include <QByteArray>
#include <memory>
#include <vector>

namespace velmaro {

class FolderSlots {
public:
    quint32 size() const { return size_; }
    const FolderSlot& operator[](quint32 slot) const
    {
        return blocks_[slot >> kBlockBits][slot & kBlockMask];
    }
    FolderSlot& at(quint32 slot) { return blocks_[slot >> kBlockBits][slot & kBlockMask]; }
    // The raw name bytes, or the full path of a detached slot; NUL-terminated.
    const char* text(quint32 slot) const
    {
        const quint32 at = (*this)[slot].textAt;
        return chunks_[at >> kChunkBits].get() + (at & kChunkMask);
    }

    // Appends a slot below `parent` (FolderSlot::kNoParent: detached, `text`
    // is the full path); returns its number.
    quint32 add(quint32 parent, const char* text, std::size_t length);
    void clear();

    // The full raw path, ending in '/': the detached ancestor's text followed
    // by every name below it, each with a '/'.
    QByteArray rawPath(quint32 slot) const;
    // The raw name: the slot's text, or for a detached slot its path's last
    // component (the whole path for "/").
    QByteArray rawName(quint32 slot) const;

private:
    static constexpr unsigned kBlockBits = 10;
    static constexpr quint32 kBlockMask = (1u << kBlockBits) - 1;
    static constexpr unsigned kChunkBits = 20;
    static constexpr quint32 kChunkMask = (1u << kChunkBits) - 1;

    quint32 storeText(const char* text, std::size_t length);

    std::vector<std::shared_ptr<FolderSlot[]>> blocks_;
    std::vector<std::shared_ptr<char[]>> chunks_;
    quint32 size_ = 0;
    std::size_t chunkUsed_ = 0;  // bytes used in the newest chunk
    std::size_t chunkSize_ = 0;
};

}  // namespace velmaro
