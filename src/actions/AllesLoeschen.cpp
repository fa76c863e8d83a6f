#include "actions/AllesLoeschen.h"

#include "engine/ErrorText.h"

#include <cerrno>

namespace velmaro {

namespace {

const QByteArray kAllEntries = QByteArrayLiteral("/*.*");

void describeFailure(DeleteOutcome& outcome, int error, const QString& message)
{
    const engine::ErrorInfo info = engine::errorFromErrno(error != 0 ? error : EIO);
    outcome.errorNumber = info.number;
    outcome.errorText = message.isEmpty() ? QString::fromStdString(info.text) : message;
}

DeleteOutcome fromShell(const platform::ShellDeleteOutcome& shell)
{
    DeleteOutcome outcome;
    outcome.ok = shell.ok;
    outcome.cancelled = shell.cancelled;
    outcome.failedPath = shell.failedPath;
    if (!shell.ok && !shell.cancelled)
        describeFailure(outcome, shell.error, shell.message);
    return outcome;
}

DeleteOutcome deleteFolderTree(const DeleteRequest& request, platform::ShellDelete& shell)
{
    if (request.scanned)
        return fromShell(shell.deleteScanned(*request.scanned, request.mode));
    if (!request.folder.startsWith('/')) {  // only absolute paths name something
        DeleteOutcome outcome;
        describeFailure(outcome, ENOENT, {});
        return outcome;
    }
    return fromShell(shell.deleteFolder(request.folder, request.mode));
}

DeleteOutcome deleteFiles(const DeleteRequest& request, platform::ShellDelete& shell)
{
    DeleteOutcome outcome;
    outcome.fileErrors = shell.deleteListedFiles(request.folderFd, request.folder, request.files);
    outcome.cancelled = outcome.fileErrors.empty() && !request.files.empty();
    outcome.ok = !outcome.cancelled && outcome.failedFiles() == 0;
    for (std::size_t i = 0; i < outcome.fileErrors.size(); ++i) {
        if (outcome.fileErrors[i] != 0) {
            outcome.failedPath = request.folder + QByteArray::fromStdString(request.files[i].name);
            describeFailure(outcome, outcome.fileErrors[i], {});
            break;
        }
    }
    return outcome;
}

}  // namespace

DeleteOutcome Ordner_löschen(const DeleteRequest& request)
{
    try {
        platform::ShellDelete shell(request.owner, request.options);
        return request.target == DeleteTarget::ListedFiles ? deleteFiles(request, shell)
                                                           : deleteFolderTree(request, shell);
    } catch (...) {
        DeleteOutcome outcome;
        describeFailure(outcome, EIO, {});
        return outcome;
    }
}

bool Ordner_löschen(const QByteArray& pattern, QWidget* owner, bool confirm, bool showProgress,
                    bool showFileNames, bool toRecycleBin, bool showErrors)
{
    DeleteRequest request;
    request.owner = owner;
    request.options = {confirm, showProgress, showFileNames, toRecycleBin, showErrors};
    DeleteOutcome outcome;
    if (pattern.endsWith(kAllEntries)) {
        request.folder = pattern.chopped(kAllEntries.size() - 1);
        outcome = Ordner_löschen(request);
    } else {
        describeFailure(outcome, EINVAL, {});
    }
    return outcome.ok;
}

}  // namespace velmaro
