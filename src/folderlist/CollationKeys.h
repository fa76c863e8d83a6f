#pragma once
// The collation keys of the folder list's table, made once per slot and
// kept while the list grows: for the name and path sorts.
//
// A slot's key is its text's (the name; a detached slot's full path) primary
// weights, one byte each and never 0 (CollationOrder::appendWeights), so that
// comparing two keys' bytes compares the texts at primary level; in the C
// locale the text's UTF-16 code units, big-endian (two bytes each, never
// both 0), so that comparing the bytes compares the texts as the collator
// does. A text with a character of unknown weight, and every text when the
// fast weights are off, has no key (known() is false): the collator must
// decide for it.

#include "folderlist/CollationOrder.h"
#include "folderlist/FolderSlots.h"

#include <string>
#include <vector>

namespace velmaro {

class CollationKeys {
public:
    explicit CollationKeys(const CollationOrder& order);

    // Makes the keys of the table [size(), table.size()). `table` must hold
    // the table the keys were made of so far (the same list or a snapshot
    // of it).
    void update(const FolderSlots& table);
    quint32 size() const { return quint32(at_.size() - 1); }
    // False when the keys compare nothing (a locale the fast weights do not
    // cover): every slot is then unknown.
    bool usable() const { return usable_; }
    bool codeUnits() const { return codeUnits_; }

    bool known(quint32 slot) const { return !unknown_[slot]; }
    const char* key(quint32 slot) const { return bytes_.data() + at_[slot]; }
    quint32 length(quint32 slot) const { return at_[slot + 1] - at_[slot]; }
    // The key's bytes [from, from + 8) as a big-endian number, 0 past its end.
    quint64 chunk(quint32 slot, quint32 from) const;

private:
    bool append(const char* text, std::size_t length);
    bool appendDecoded(QStringView text);

    const CollationOrder& order_;
    const bool codeUnits_;
    const bool usable_;
    std::string bytes_;
    std::vector<quint32> at_{0};  // slot s: bytes_[at_[s], at_[s + 1])
    std::vector<bool> unknown_;
    std::u16string wide_;  // the text being keyed
};

}  // namespace velmaro
