#pragma once
// Start-up of the program: registers every window of the program with the
// window registry, under the names the windows call each other by:
// "Velmaro" (main window), "BitteWarten" (progress window), "frm_DelFile"
// (file view) and "Copyright" (About window). Registering twice replaces
// the factories; windows already loaded stay loaded. The main window and
// the progress window share `scans`, the program's scan session, which has
// to outlive every window loaded.

namespace velmaro {

class ScanSession;

void registerForms(ScanSession& scans);

}  // namespace velmaro
