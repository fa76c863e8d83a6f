#pragma once
// The shell layer behind the deletion routine: deletes one folder tree or the
// listed files of a folder and honours the options (ShellOptions).
//
//  - confirm: asks a German Yes/No question first (No is the default);
//    anything but Yes stops with `cancelled` set and nothing touched.
//  - showProgress: a progress window ("ShellProgress", a QProgressDialog
//    with "Abbrechen") is shown while the work runs, after the progress
//    delay; it names the entry being removed when showFileNames is set. Its
//    cancel button stops the walk early.
//  - toRecycleBin: a folder tree is moved to the freedesktop trash
//    instead (ZeroByteOnly mode ignores it: what that mode removes is empty).
//    The home trash ($XDG_DATA_HOME/Trash, default ~/.local/share/Trash,
//    with files/ and info/) is made sure of before the move; when it cannot
//    be created the move is not tried and the call fails. A name that is not
//    valid in the locale's encoding cannot be trashed (fails, EILSEQ).
//  - showErrors: a failure is shown in a German error box (title "Fehler
//    beim Löschen") naming the path and the reason.
//
// The work runs on a worker thread while the calling (user-interface)
// thread runs a local event loop (see ProgressRunner): windows repaint, the
// call returns only when the work is done. Never throws.

#include "engine/ListedFile.h"
#include "engine/SafeDelete.h"
#include "engine/ScannedFolder.h"
#include "platform/ShellOptions.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace velmaro::platform {

struct ShellDeleteOutcome {
    bool ok = false;         // everything named is gone (or in the trash)
    bool cancelled = false;  // the question was answered No: nothing done
    int error = 0;           // errno (or engine code) of the first failure; != 0 when !ok && !cancelled
    QByteArray failedPath;   // raw path of the first failure
    QString message;         // German reason where the errno's text says too little
};

class ShellDelete {
public:
    ShellDelete(QWidget* owner, const ShellOptions& options);

    // Deletes `folder` (raw absolute path, trailing "/" optional) with
    // everything below it; the folder itself is removed too.
    ShellDeleteOutcome deleteFolder(const QByteArray& folder,
                                    engine::DeleteMode mode = engine::DeleteMode::Everything);
    // Deletes the folder a scan listed, reached by identity (see
    // engine::deleteScannedTree); a changed folder fails with
    // kChangedSinceScan and a German message naming it. Not to the trash.
    ShellDeleteOutcome deleteScanned(const engine::ScannedFolder& folder,
                                     engine::DeleteMode mode = engine::DeleteMode::Everything);
    // Deletes the listed files of the open folder `folderFd` (shown as
    // `folder`) in one run, each only while it is still the listed inode
    // (engine::deleteListedFile). Returns one errno-style code per file
    // (0: deleted or already gone); empty when the question was answered No.
    // The progress window, when shown, names each file; its cancel button
    // leaves the remaining files (ECANCELED). Not to the trash.
    std::vector<int> deleteListedFiles(int folderFd, const QByteArray& folder,
                                       const std::vector<engine::ListedFile>& files);

    // How long the work runs before the progress window shows (default 400 ms).
    void setProgressDelay(int ms) { progressDelayMs_ = ms; }

    // The home trash folder (no trailing "/"), as QFile::moveToTrash uses it
    // for entries on the home volume.
    static QString homeTrashPath();
    // Creates the home trash with files/ and info/ (mode 0700) where missing.
    // Returns false, with a German reason, when that is not possible.
    static bool ensureHomeTrash(QString* reason);

private:
    bool confirmed(const QByteArray& folder) const;
    ShellDeleteOutcome runTree(const QByteArray& folder,
                               const std::function<engine::DeleteResult(const engine::DeleteOptions&)>& work);
    ShellDeleteOutcome moveToTrash(const QByteArray& folder);
    void reportError(const ShellDeleteOutcome& outcome) const;

    QWidget* owner_;
    ShellOptions options_;
    int progressDelayMs_ = 400;
};

}  // namespace velmaro::platform
