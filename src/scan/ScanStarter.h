#pragma once
// The one way to start a scan: load "BitteWarten" and show it modally; its
// one-shot timer starts the scan run of the window it scans for. Returns when the scan
// is over and the window unloaded. Used by the search button and every rescan.
// The wait cursor is this function's alone: set before the window loads,
// restored when it is gone.

namespace velmaro {

void Scan_starten();

}  // namespace velmaro
