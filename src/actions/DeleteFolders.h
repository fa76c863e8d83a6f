#pragma once
// The two delete buttons of the main window.

namespace velmaro {

class MainWindow;

// "Ordner löschen": deletes the selected folder tree after asking.
void cmd_OrdnerDel_Click(MainWindow& window);
// "0 Byte Ordner löschen": deletes every zero-byte folder after asking.
void cmd_OrdnerNull_Click(MainWindow& window);

}  // namespace velmaro
