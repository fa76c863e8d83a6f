#pragma once
// "Ordnerdateien zeigen" and the folder list's row event: opens the file
// view for the selected row's folder, and offers a rescan when the number
// of files changed while it was open.

namespace velmaro {

struct FolderActionTarget;

void cmd_DelFile_Click(const FolderActionTarget& target);

}  // namespace velmaro
