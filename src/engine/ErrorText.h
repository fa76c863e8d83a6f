#pragma once
// One table from errno to the program's error number and German text.
// The numbers follow the classic runtime's numbering where one exists:
// 5 invalid argument, 7 out of memory, 18 user interrupt, 53 file not found,
// 57 device I/O error, 58 file already exists, 61 disk full, 67 too many
// files, 68 device unavailable, 70 "Zugriff verweigert",
// 75 "Pfad/Datei-Zugriffsfehler", 76 "Pfad nicht gefunden".
// Everything without a classic number gets 75 and its own German text; an
// errno the table does not know gets 75 and "Pfad/Datei-Zugriffsfehler (errno N)".
// Program-specific failure codes (negative, outside the errno range) are
// mapped by the same table, e.g. kRefusedRoot from SafeDelete.h.

#include <string>

namespace velmaro::engine {

struct ErrorInfo {
    int number = 0;    // 0 = no error, otherwise > 0
    std::string text;  // German description, UTF-8; empty when number == 0
};

// Maps an errno value (0 gives {0, ""}) to the program's number and text.
// ENOENT reads 76 "Pfad nicht gefunden" (the path of a folder or of a file).
ErrorInfo errorFromErrno(int err);

// The same table for a failure on one named file: ENOENT reads
// 53 "Datei nicht gefunden", everything else as errorFromErrno().
ErrorInfo fileErrorFromErrno(int err);

}  // namespace velmaro::engine
