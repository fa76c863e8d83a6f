#pragma once
// Properties of a file or folder: asks the desktop's file manager over D-Bus
// (org.freedesktop.FileManager1.ShowItemProperties); where none answers,
// opens the program's own non-modal properties window. Returns at once and
// reports nothing; a path that does not exist does nothing.

#include <QByteArray>

class QWidget;

namespace velmaro {

struct FolderActionTarget;

void Eigenschaften_zeigen(QWidget* owner, const QByteArray& rawPath);
// The square properties button: "Kein Verzeichnis gewählt." (style 0) without a row.
void cmd_Info_Click(const FolderActionTarget& target);

}  // namespace velmaro
