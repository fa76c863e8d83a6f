#pragma once
// One table from errno to the program's error number and German text.
// The numbers follow the classic runtime's numbering where one exists:
// 70 "Zugriff verweigert", 75 "Pfad/Datei-Zugriffsfehler", 76 "Pfad nicht gefunden".

#include <string>

namespace velmaro::engine {

struct ErrorInfo {
    int number = 0;    // 0 = no error, otherwise > 0
    std::string text;  // German description, UTF-8; empty when number == 0
};

// Maps an errno value (0 gives {0, ""}) to the program's number and text.
ErrorInfo errorFromErrno(int err);

}  // namespace velmaro::engine
