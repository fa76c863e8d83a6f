#pragma once
// Messages of the command line on stderr, in German, each on one line and
// starting with "velmaro: ". Paths are escaped as in the listing (RawText).
// No Qt.

#include <string>

namespace velmaro::cli {

class Messages {
public:
    // velmaro: "PATH": REASON
    static void error(const std::string& path, const std::string& reason);
    // velmaro: TEXT
    static void note(const std::string& text);
    // velmaro: TEXT, then a line pointing to --help.
    static void usage(const std::string& text);
};

}  // namespace velmaro::cli
