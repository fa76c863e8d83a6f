#include "cli/JsonText.h"

#include "cli/RawText.h"

#include <cstdio>

namespace velmaro::cli {

namespace {

void appendControl(std::string& out, unsigned char c)
{
    switch (c) {
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
    }
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
    out += buffer;
}

}  // namespace

void JsonText::appendString(std::string& out, std::string_view raw)
{
    out += '"';
    for (std::size_t at = 0; at < raw.size();) {
        const auto c = static_cast<unsigned char>(raw[at]);
        const std::size_t length = RawText::utf8SequenceLength(raw, at);
        if (length == 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD
            ++at;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            appendControl(out, c);
        } else {
            out.append(raw.substr(at, length));
        }
        at += length;
    }
    out += '"';
}

void JsonText::appendName(std::string& out, std::string_view key, std::string_view raw)
{
    out += '"';
    out.append(key);
    out += "\":";
    appendString(out, raw);
    if (RawText::isUtf8(raw))
        return;
    out += ",\"";
    out.append(key);
    out += "_bytes\":\"";
    out += RawText::hex(raw);
    out += '"';
}

}  // namespace velmaro::cli
