#include "actions/AllesLoeschen.h"

#include "engine/ErrorText.h"

#include <cerrno>

namespace velmaro {

namespace {

// Outcome of the last call's removal step (user-interface thread only).
int gErrorNumber = 0;
QString gErrorText;

void setError(int number, const QString& text) {
    gErrorNumber = number;
    gErrorText = text;
}

void setErrorFromOutcome(const platform::ShellDeleteOutcome& outcome) {
    if (outcome.ok || outcome.cancelled) {
        setError(0, QString());
        return;
    }
    const engine::ErrorInfo info = engine::errorFromErrno(outcome.error != 0 ? outcome.error : EIO);
    setError(info.number, outcome.message.isEmpty() ? QString::fromStdString(info.text) : outcome.message);
}

const QByteArray kAllEntries = QByteArrayLiteral("*.*");

}  // namespace

unsigned deleteFlags(bool confirm, bool showProgress, bool showFileNames, bool toRecycleBin,
                     bool showErrors) {
    unsigned flags = 0;
    if (toRecycleBin)
        flags = ShellFlags::FOF_ALLOWUNDO;
    if (!showProgress)
        flags += ShellFlags::FOF_SILENT;
    if (!confirm)
        flags += ShellFlags::FOF_NOCONFIRMATION;
    if (!showFileNames)
        flags += ShellFlags::FOF_SIMPLEPROGRESS;
    if (!showErrors)
        flags += ShellFlags::FOF_NOERRORUI;
    return flags & 0xFFFFu;
}

bool Ordner_löschen(const QByteArray& pattern, QWidget* owner, bool confirm, bool showProgress,
                    bool showFileNames, bool toRecycleBin, bool showErrors, engine::DeleteMode mode) {
    setError(0, QString());
    try {
        const unsigned flags = deleteFlags(confirm, showProgress, showFileNames, toRecycleBin, showErrors);
        platform::ShellDelete shell(owner, flags);
        const bool wholeFolder = pattern.endsWith(kAllEntries);
        const QByteArray target = wholeFolder ? pattern.chopped(kAllEntries.size()) : pattern;
        platform::ShellDeleteOutcome outcome;
        if (!target.startsWith('/'))
            outcome.error = ENOENT;  // only absolute paths name something
        else
            outcome = wholeFolder ? shell.deleteFolder(target, mode) : shell.deleteFile(target);
        setErrorFromOutcome(outcome);
        return outcome.ok;
    } catch (...) {
        const engine::ErrorInfo info = engine::errorFromErrno(EIO);
        setError(info.number, QString::fromStdString(info.text));
        return false;
    }
}

int lastErrorNumber() { return gErrorNumber; }

QString lastErrorText() { return gErrorText; }

}  // namespace velmaro
