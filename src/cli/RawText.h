#pragma once
// File names are bytes. These helpers turn raw names into text that a
// terminal or a line-based script can take, and tell UTF-8 from other bytes.
// No Qt.

#include <string>
#include <string_view>

namespace velmaro::cli {

class RawText {
public:
    // Length of the valid UTF-8 sequence starting at `at` (1 to 4), or 0 when
    // the byte there does not start one (stray continuation byte, overlong
    // form, surrogate, beyond U+10FFFF, cut off at the end).
    static std::size_t utf8SequenceLength(std::string_view bytes, std::size_t at);
    static bool isUtf8(std::string_view bytes);

    // One line's worth of text for raw bytes, reversible and free of tabs and
    // line breaks: "\" becomes "\\", tab "\t", newline "\n", carriage return
    // "\r", every other control byte and every byte that is not part of valid
    // UTF-8 becomes "\xHH" (two lower-case hex digits). Valid UTF-8 stays.
    static void appendEscaped(std::string& out, std::string_view bytes);
    static std::string escaped(std::string_view bytes);

    // Lower-case hex digits of every byte ("a\xff" gives "61ff").
    static std::string hex(std::string_view bytes);
};

}  // namespace velmaro::cli
