#pragma once
// JSON text for raw file-system bytes. No Qt.
//
// A JSON string holds Unicode, a Linux name holds bytes. A name is written
// as a JSON string of its UTF-8 (bytes that are not valid UTF-8 become
// U+FFFD there), and when it is not valid UTF-8 a second member
// "<key>_bytes" gives the exact bytes as lower-case hex, so a script can act
// on the name: raw = bytes.fromhex(o["path_bytes"]) if "path_bytes" in o
// else o["path"].encode().

#include <string>
#include <string_view>

namespace velmaro::cli {

class JsonText {
public:
    // Appends a quoted JSON string of `raw` (see above; control characters,
    // '"' and '\' escaped).
    static void appendString(std::string& out, std::string_view raw);
    // Appends "key":"..." and, for names that are not UTF-8, ,"key_bytes":"hex".
    static void appendName(std::string& out, std::string_view key, std::string_view raw);
};

}  // namespace velmaro::cli
