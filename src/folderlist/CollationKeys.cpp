#include "folderlist/CollationKeys.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace velmaro {

namespace {

bool isAscii(const char* text, std::size_t length)
{
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        quint64 word;
        std::memcpy(&word, text + i, 8);
        if (word & 0x8080808080808080ull)
            return false;
    }
    for (; i < length; ++i) {
        if (text[i] & 0x80)
            return false;
    }
    return true;
}

}  // namespace

CollationKeys::CollationKeys(const CollationOrder& order)
    : order_(order)
    , codeUnits_(order.codeUnitOrder())
    , usable_(order.codeUnitOrder() || order.fast())
{}

void CollationKeys::update(const FolderSlots& table)
{
    const quint32 count = table.size();
    if (count <= size())
        return;
    if (bytes_.capacity() < std::size_t(count) * 12)
        bytes_.reserve(std::size_t(count) * 14);  // names are about a dozen characters
    at_.reserve(std::size_t(count) + 1);
    unknown_.reserve(count);
    for (quint32 s = size(); s < count; ++s) {
        const char* text = table.text(s);
        const std::size_t length = std::strlen(text);
        const bool known = usable_ && append(text, length);
        if (!known)
            bytes_.resize(at_.back());
        unknown_.push_back(!known);
        at_.push_back(quint32(bytes_.size()));
    }
}

// ASCII and two-byte UTF-8 sequences (Latin-1, Cyrillic) are widened here;
// anything else is decoded as the rest of the program decodes names.
bool CollationKeys::append(const char* text, std::size_t length)
{
    if (!codeUnits_ && isAscii(text, length))
        return order_.appendAsciiWeights(text, length, bytes_);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    wide_.clear();
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char b = bytes[i];
        if (b < 0x80) {
            wide_.push_back(char16_t(b));
        } else if (b >= 0xc2 && b <= 0xdf && i + 1 < length && (bytes[i + 1] & 0xc0) == 0x80) {
            wide_.push_back(char16_t(((b & 0x1f) << 6) | (bytes[++i] & 0x3f)));
        } else {
            return appendDecoded(QFile::decodeName(QByteArray::fromRawData(text, qsizetype(length))));
        }
    }
    return appendDecoded(QStringView(wide_.data(), qsizetype(wide_.size())));
}

bool CollationKeys::appendDecoded(QStringView text)
{
    if (!codeUnits_)
        return order_.appendWeights(text, bytes_);
    for (const QChar c : text) {
        bytes_.push_back(char(c.unicode() >> 8));
        bytes_.push_back(char(c.unicode() & 0xff));
    }
    return true;
}

quint64 CollationKeys::chunk(quint32 slot, quint32 from) const
{
    const quint32 length = this->length(slot);
    const char* key = this->key(slot);
    if (from + 8 <= length) {
        quint64 packed;
        std::memcpy(&packed, key + from, 8);
        return qFromBigEndian(packed);
    }
    quint64 packed = 0;
    for (quint32 i = from; i < from + 8; ++i)
        packed = (packed << 8) | (i < length ? quint8(key[i]) : 0);
    return packed;
}

}  // namespace velmaro
