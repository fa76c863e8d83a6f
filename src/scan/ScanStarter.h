#pragma once
// The one way to start a scan: load "BitteWarten" and show it modally; its
// one-shot timer runs MainWindow::Verzeichnisse_lesen. Returns when the scan
// is over and the window unloaded. Used by the search button and every rescan.

namespace velmaro {

class MainWindow;

void Scan_starten();
// Click of "Unterordner suchen": LabelVerzeichnis := Dir1's folder, then Scan_starten().
void cmd_Go_Click(MainWindow& window);

}  // namespace velmaro
