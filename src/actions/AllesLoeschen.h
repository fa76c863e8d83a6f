#pragma once
// The one routine through which the program deletes files and folders.
//
// Ordner_löschen(pattern, owner, confirm, showProgress, showFileNames,
//                toRecycleBin, showErrors [, mode])
//  - pattern: a folder path ending in "/" followed by "*.*" (the folder and
//    everything in it), or one file's full path (that file only; no folder
//    is ever removed for such a pattern). Raw file-system bytes.
//  - The flags are built as the classic shell flags (see deleteFlags) and
//    honoured by the shell layer: confirm asks a German question, show
//    progress shows a progress window (file names unless simple), recycle
//    bin moves to the freedesktop trash, show errors shows a German box.
//  - Returns true only when everything named is gone. The error number and
//    German text of the folder removal stay readable (lastError*), 0 and ""
//    after success. Never throws.
//  - mode ZeroByteOnly removes only what holds nothing at the moment of
//    removal (the zero-byte pass).

#include "engine/SafeDelete.h"
#include "platform/ShellDelete.h"

#include <QByteArray>
#include <QString>

class QWidget;

namespace velmaro {

// The classic shell flag values (FOF_*), shared with the shell layer.
namespace ShellFlags = platform::ShellFlags;

// The flag arithmetic: 0x0514 with all five false, 0x0040 with recycle bin
// true and the rest true, 0x0410 for the file view's call.
unsigned deleteFlags(bool confirm, bool showProgress, bool showFileNames, bool toRecycleBin,
                     bool showErrors);

bool Ordner_löschen(const QByteArray& pattern, QWidget* owner, bool confirm, bool showProgress,
                    bool showFileNames, bool toRecycleBin, bool showErrors,
                    engine::DeleteMode mode = engine::DeleteMode::Everything);

// Outcome of the last call's folder-removal step.
int lastErrorNumber();
QString lastErrorText();

}  // namespace velmaro
