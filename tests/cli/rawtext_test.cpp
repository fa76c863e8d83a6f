// RawText::appendEscaped scans eight bytes at a time for bytes to escape;
// every byte to escape must be found wherever it stands in a word.

#include "cli/RawText.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using velmaro::cli::RawText;

// The contract, one byte at a time.
std::string escapedByteByByte(std::string_view in)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (std::size_t at = 0; at < in.size();) {
        const auto c = static_cast<unsigned char>(in[at]);
        const std::size_t length = RawText::utf8SequenceLength(in, at);
        if (c == '\\' || c == '\t' || c == '\n' || c == '\r') {
            out += '\\';
            out += c == '\\' ? '\\' : c == '\t' ? 't' : c == '\n' ? 'n' : 'r';
        } else if (length == 0 || c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out.append(in.substr(at, length));
            at += length;
            continue;
        }
        ++at;
    }
    return out;
}

TEST(RawText, EveryByteToEscapeIsFoundAtEveryPlace)
{
    const unsigned char edges[] = {0x00, 0x01, 0x09, 0x0A, 0x0D, 0x1F, 0x20, 0x2F, 0x5B, 0x5C,
                                   0x5D, 0x7E, 0x7F, 0x80, 0xBF, 0xC3, 0x9C, 0xE2, 0x82, 0xAC, 0xFF};
    std::mt19937 random(5);
    for (int i = 0; i < 100000; ++i) {
        std::string in(random() % 40, 'a');
        for (char& c : in)
            c = random() % 3 ? char(0x21 + random() % 0x5E) : char(edges[random() % std::size(edges)]);
        std::string out = "prefix";
        RawText::appendEscaped(out, in);
        ASSERT_EQ(out, "prefix" + escapedByteByByte(in)) << i;
    }
    // One byte to escape at each place of a long plain run.
    for (const unsigned char edge : edges) {
        for (std::size_t place = 0; place < 24; ++place) {
            std::string in(24, 'x');
            in[place] = char(edge);
            ASSERT_EQ(RawText::escaped(in), escapedByteByByte(in)) << int(edge) << " at " << place;
        }
    }
}

}  // namespace
