#pragma once
// The two delete buttons of the main window.

#include "actions/FolderActionTarget.h"

namespace velmaro {

// "Ordner löschen": deletes the selected folder tree after asking.
void cmd_OrdnerDel_Click(const FolderActionTarget& target);
// "0 Byte Ordner löschen": deletes every zero-byte folder after asking.
void cmd_OrdnerNull_Click(const FolderActionTarget& target);

}  // namespace velmaro
