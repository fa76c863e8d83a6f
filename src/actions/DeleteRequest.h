#pragma once
// What one call of the deletion routine is to delete. The caller says what
// the target is; nothing is read from the bytes of a name ("*" is a legal
// byte in a file name).

#include "engine/ListedFile.h"
#include "engine/SafeDelete.h"
#include "engine/ScannedFolder.h"
#include "platform/ShellOptions.h"

#include <QByteArray>
#include <optional>
#include <vector>

class QWidget;

namespace velmaro {

enum class DeleteTarget {
    FolderTree,   // a folder with everything in it (or, in ZeroByteOnly mode, what is empty)
    ListedFiles,  // the listed files of one open folder, nothing else
};

struct DeleteRequest {
    DeleteTarget target = DeleteTarget::FolderTree;
    QWidget* owner = nullptr;                                  // owns every box and progress window
    platform::ShellOptions options;                            // question, progress, trash, error box
    engine::DeleteMode mode = engine::DeleteMode::Everything;  // FolderTree only

    // FolderTree: the folder as a scan saw it, reached by identity. Without
    // it, `folder` names the folder by its raw path.
    std::optional<engine::ScannedFolder> scanned;
    QByteArray folder;  // FolderTree without a scan; ListedFiles: shown in messages

    // ListedFiles: the open folder (not owned) and the files to delete in it.
    int folderFd = -1;
    std::vector<engine::ListedFile> files;
};

}  // namespace velmaro
