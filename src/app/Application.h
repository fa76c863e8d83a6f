#pragma once
// Start-up of the program: registers every window of the program with the
// window registry, under the names the windows call each other by:
// "Velmaro" (main window), "BitteWarten" (progress window), "frm_DelFile"
// (file view) and "Copyright" (About window). Registering twice replaces
// the factories; windows already loaded stay loaded.

namespace velmaro {

void registerForms();

}  // namespace velmaro
