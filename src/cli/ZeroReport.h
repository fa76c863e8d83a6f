#pragma once
// What `velmaro zero --delete` prints about its pass. No Qt.
//
// Text form: every folder removed on stdout, one escaped path per line;
// every folder kept on stderr, with the reason and, where the failure lies
// below it, the path of that entry. On a terminal a summary line follows.
// JSON form (stdout): {"root": ..., "removed": [{"path"}...],
//   "kept": [{"path", "error" (German), "errno" (when an errno),
//   "failed_path"}...], "not_reached": n}; stderr as in the text form.

#include "cli/ZeroPass.h"

#include <string>

namespace velmaro::cli {

class ZeroReport {
public:
    static void print(const std::string& root, const ZeroPassResult& result, bool json);
};

}  // namespace velmaro::cli
