#pragma once
// What the main window's folder buttons (delete, zero-byte pass, properties,
// file view) act on: the folder list and the window's few services around
// it. The main window hands one out; the buttons never see the window.

#include <QByteArray>
#include <functional>

class QWidget;

namespace velmaro {

class RoListBox;

struct FolderActionTarget {
    RoListBox* list = nullptr;                             // the folder list the rows are read from
    QWidget* owner = nullptr;                              // owner of every box
    std::function<void()> clearCounts;                     // empties both count lines
    std::function<void(const QByteArray&)> folderDeleted;  // a folder tree (raw path) is gone
    std::function<void()> rescan;                          // scans the list's root again
};

}  // namespace velmaro
