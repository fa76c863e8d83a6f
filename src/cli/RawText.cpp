#include "cli/RawText.h"

#include <cstdint>
#include <cstring>

namespace velmaro::cli {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

bool isPlainAscii(unsigned char c)
{
    return c >= 0x20 && c < 0x7F && c != '\\';
}

// Whether any byte of `word` is 0.
constexpr uint64_t anyZeroByte(uint64_t word)
{
    return (word - 0x0101010101010101u) & ~word & 0x8080808080808080u;
}

// Whether all eight bytes of `word` are plain ASCII (isPlainAscii).
bool allPlainAscii(uint64_t word)
{
    constexpr uint64_t ones = 0x0101010101010101u;
    constexpr uint64_t high = 0x8080808080808080u;
    const uint64_t below = (word - 0x20 * ones) & ~word & high;  // a byte < 0x20 (no high bit set)
    return ((word & high) | below | anyZeroByte(word ^ (0x7F * ones)) | anyZeroByte(word ^ ('\\' * ones))) == 0;
}

// The end of the run of plain ASCII bytes that starts at `at`.
std::size_t plainEnd(std::string_view bytes, std::size_t at)
{
    for (uint64_t word; at + 8 <= bytes.size(); at += 8) {
        std::memcpy(&word, bytes.data() + at, 8);
        if (!allPlainAscii(word))
            break;
    }
    while (at < bytes.size() && isPlainAscii(static_cast<unsigned char>(bytes[at])))
        ++at;
    return at;
}

void appendHexByte(std::string& out, unsigned char c)
{
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 0xF];
}

}  // namespace

std::size_t RawText::utf8SequenceLength(std::string_view bytes, std::size_t at)
{
    const auto c = static_cast<unsigned char>(bytes[at]);
    if (c < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;  // allowed range of the second byte
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0)
            low = 0xA0;  // no overlong forms
        if (c == 0xED)
            high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0)
            low = 0x90;
        if (c == 0xF4)
            high = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    if (second < low || second > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(static_cast<unsigned char>(bytes[at + i])))
            return 0;
    }
    return length;
}

bool RawText::isUtf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = utf8SequenceLength(bytes, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

void RawText::appendEscaped(std::string& out, std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        // Printable ASCII other than '\\' goes over in one piece.
        const std::size_t plain = plainEnd(bytes, at);
        out.append(bytes.substr(at, plain - at));
        if ((at = plain) == bytes.size())
            break;
        const auto c = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = utf8SequenceLength(bytes, at);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (length == 0 || c < 0x20 || c == 0x7F) {
            out += "\\x";
            appendHexByte(out, c);
        } else {
            out.append(bytes.substr(at, length));
            at += length;
            continue;
        }
        ++at;
    }
}

std::string RawText::escaped(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    appendEscaped(out, bytes);
    return out;
}

std::string RawText::hex(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes)
        appendHexByte(out, static_cast<unsigned char>(c));
    return out;
}

}  // namespace velmaro::cli
