#pragma once
// The one routine through which the program deletes files and folders.
//
// Ordner_löschen(request) -> outcome
//  - FolderTree with `scanned`: the folder the scan listed, reached by
//    identity below the scanned root (a folder that changed since the scan
//    is refused with a German message naming it); without `scanned`, the
//    folder named by `folder`. "/" is always refused.
//  - ListedFiles: exactly the listed files of the open folder, each only
//    while it is still the listed inode; one background run with the shell
//    layer's progress window; one outcome code per file.
//  - The options (platform::ShellOptions) are honoured by the shell layer:
//    confirm asks a German question, show progress shows a progress window
//    (with file names when asked for), recycle bin moves to the freedesktop
//    trash (path-named folder trees only), show errors shows a German box.
//    Never throws.
//
// Ordner_löschen(pattern, owner, confirm, showProgress, showFileNames,
//                toRecycleBin, showErrors)
//  - The classic seven-argument entry, a thin one: its five options become
//    the request's. `pattern` is a folder path ending in
//    "/" followed by "*.*" and always means that folder with everything in
//    it. Any other pattern is refused (EINVAL) and nothing is deleted: a
//    single file is deleted only through a ListedFiles request.
//  - Returns true only when everything named is gone (the error number and
//    German text of a failure: the request form's outcome).

#include "actions/DeleteOutcome.h"
#include "actions/DeleteRequest.h"
#include "platform/ShellDelete.h"

#include <QByteArray>
#include <QString>

class QWidget;

namespace velmaro {

DeleteOutcome Ordner_löschen(const DeleteRequest& request);

bool Ordner_löschen(const QByteArray& pattern, QWidget* owner, bool confirm, bool showProgress,
                    bool showFileNames, bool toRecycleBin, bool showErrors);

}  // namespace velmaro
