#pragma once
// Properties of a file or folder: asks the desktop's file manager over D-Bus
// (org.freedesktop.FileManager1.ShowItemProperties); where none answers,
// opens the program's own non-modal properties window. Returns at once and
// reports nothing; a path that does not exist does nothing.

#include <QByteArray>
#include <optional>

class QWidget;

namespace velmaro {

struct FolderActionTarget;

void Eigenschaften_zeigen(QWidget* owner, const QByteArray& rawPath);
// The same for a folder of the scan: the own window shows `scannedBytes`,
// the scan's total of the folder's subtree, as its size.
void Ordnereigenschaften_zeigen(QWidget* owner, const QByteArray& rawPath, quint64 scannedBytes);
// The square properties button: "Kein Verzeichnis gewählt." (style 0) without a row.
void cmd_Info_Click(const FolderActionTarget& target);

}  // namespace velmaro
