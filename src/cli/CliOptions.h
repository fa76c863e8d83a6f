#pragma once
// The command line of `velmaro list|zero ...`, parsed. No Qt.
//
//   velmaro list [--bytes] [--json] [--sort KEY] [--reverse] [--top N]
//                [--zero-only] [--workers N] FOLDER
//   velmaro zero [--delete] [--json] [--workers N] FOLDER
//   velmaro --help | -h | --version
//
// Options may come before or after FOLDER; "--opt=value" equals
// "--opt value"; "--" ends the options (a FOLDER that starts with "-").
// Exactly one FOLDER. Anything else is a usage error with a German message.

#include "engine/FolderScanner.h"

#include <cstddef>
#include <string>
#include <vector>

namespace velmaro::cli {

enum class Command { Help, Version, List, Zero };
enum class SortKey { Name, Path, Size, Created, Accessed };

struct CliOptions {
    Command command = Command::Help;
    std::string folder;  // as given (raw bytes)
    bool bytes = false;  // exact bytes and ISO 8601 times
    bool json = false;
    SortKey sort = SortKey::Path;
    bool reverse = false;
    std::size_t top = 0;  // 0: every row
    bool zeroOnly = false;
    unsigned workers = engine::FolderScanner::Options().workers;  // the window's too
    bool deleteZero = false;  // zero --delete

    struct Result;
    // Parses argv[1..argc-1].
    static Result parse(const std::vector<std::string>& args);
};

struct CliOptions::Result {
    CliOptions options;
    std::string error;  // German usage error; empty when parsing succeeded
};

}  // namespace velmaro::cli
