#pragma once
// Exit codes of the command line.

namespace velmaro::cli {

inline constexpr int kExitDone = 0;      // everything done
inline constexpr int kExitFailures = 1;  // done, with failures (unreadable, kept, stopped)
inline constexpr int kExitUnusable = 2;  // bad usage, or a folder that cannot be scanned

}  // namespace velmaro::cli
