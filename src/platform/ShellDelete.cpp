#include "platform/ShellDelete.h"

#include "engine/ErrorText.h"
#include "platform/MsgBox.h"
#include "platform/ProgressRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace velmaro::platform {

namespace {

QString display(const QByteArray& raw)
{
    return QFile::decodeName(raw);
}

QString reasonText(const ShellDeleteOutcome& outcome)
{
    if (!outcome.message.isEmpty())
        return outcome.message;
    return QString::fromStdString(engine::errorFromErrno(outcome.error).text);
}

ShellDeleteOutcome failure(int error, const QByteArray& path, const QString& message = {})
{
    ShellDeleteOutcome outcome;
    outcome.error = error;
    outcome.failedPath = path;
    outcome.message = message;
    return outcome;
}

bool makeDir(const QString& path, mode_t mode)
{
    const QByteArray raw = QFile::encodeName(path);
    if (::mkdir(raw.constData(), mode) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    return ::stat(raw.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(raw.constData(), W_OK | X_OK) == 0;
}

// True when the entry named by `trashed` lies in a trash's files/ folder.
bool inTrashFiles(const QString& trashed)
{
    const QFileInfo info(trashed);
    return info.isAbsolute() && QFileInfo(info.absolutePath()).fileName() == QStringLiteral("files");
}

}  // namespace

ShellDelete::ShellDelete(QWidget* owner, const ShellOptions& options)
    : owner_(owner)
    , options_(options)
{}

QString ShellDelete::homeTrashPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
}

bool ShellDelete::ensureHomeTrash(QString* reason)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString trash = homeTrashPath();
    const bool ok = !data.isEmpty() && QFileInfo(data).isAbsolute() && QDir().mkpath(data) &&
                    makeDir(trash, 0700) && makeDir(trash + QStringLiteral("/files"), 0700) &&
                    makeDir(trash + QStringLiteral("/info"), 0700);
    if (!ok && reason)
        *reason = QStringLiteral("Der Papierkorb \"%1\" kann nicht angelegt werden.").arg(trash);
    return ok;
}

ShellDeleteOutcome ShellDelete::deleteFolder(const QByteArray& folder, engine::DeleteMode mode)
{
    ShellDeleteOutcome outcome;
    if (!confirmed(folder)) {
        outcome.cancelled = true;
        return outcome;
    }
    const bool toTrash = options_.toRecycleBin && mode == engine::DeleteMode::Everything;
    const std::string path = folder.toStdString();
    outcome = toTrash ? moveToTrash(folder) : runTree(folder, [&](const engine::DeleteOptions& options) {
        engine::DeleteOptions withMode = options;
        withMode.mode = mode;
        return engine::deleteTree(path, withMode);
    });
    if (!outcome.ok)
        reportError(outcome);
    return outcome;
}

ShellDeleteOutcome ShellDelete::deleteScanned(const engine::ScannedFolder& folder, engine::DeleteMode mode)
{
    const QByteArray path = QByteArray::fromStdString(folder.path);
    ShellDeleteOutcome outcome;
    if (!confirmed(path)) {
        outcome.cancelled = true;
        return outcome;
    }
    outcome = runTree(path, [&](const engine::DeleteOptions& options) {
        engine::DeleteOptions withMode = options;
        withMode.mode = mode;
        return engine::deleteScannedTree(folder, withMode);
    });
    if (outcome.error == engine::kChangedSinceScan)
        outcome.message =
            QStringLiteral("Der Ordner \"%1\" hat sich seit der Suche geändert und wird nicht gelöscht.")
                .arg(display(outcome.failedPath));
    if (!outcome.ok)
        reportError(outcome);
    return outcome;
}

bool ShellDelete::confirmed(const QByteArray& folder) const
{
    if (!options_.confirm)
        return true;
    const QString what = QStringLiteral("Soll der Ordner \"%1\" mit allen Unterordnern und Dateien ");
    const QString how = options_.toRecycleBin ? QStringLiteral("in den Papierkorb verschoben werden?")
                                              : QStringLiteral("endgültig gelöscht werden?");
    return MsgBox(what.arg(display(folder)) + how, platform::kBoxQuestionNoDefault,
                  QStringLiteral("Löschen bestätigen"), owner_) == kYes;
}

ShellDeleteOutcome
ShellDelete::runTree(const QByteArray& folder,
                     const std::function<engine::DeleteResult(const engine::DeleteOptions&)>& work)
{
    ProgressRunner runner({owner_, options_.showProgress, options_.showFileNames, progressDelayMs_});
    engine::DeleteResult result;
    const bool cancelled =
        runner.run([&](const ProgressRunner::EntryFn& onEntry, const std::atomic<bool>& cancel) {
            engine::DeleteOptions options;
            options.removeTop = true;
            options.onEntry = onEntry;
            options.cancel = &cancel;
            result = work(options);
        });
    if (result.ok)
        return ShellDeleteOutcome{true, false, 0, {}, {}};
    int error = result.error;
    if (error == 0)
        error = cancelled ? ECANCELED : EIO;
    const QByteArray failed =
        result.failedPath.empty() ? folder : QByteArray::fromStdString(result.failedPath);
    return failure(error, failed);
}

ShellDeleteOutcome ShellDelete::moveToTrash(const QByteArray& given)
{
    QByteArray path = given;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return failure(errno, given);
    if (!S_ISDIR(st.st_mode))
        return failure(ENOTDIR, given);
    if (path == "/")
        return failure(engine::kRefusedRoot, given);
    const QString name = display(path);
    if (QFile::encodeName(name) != path)
        return failure(EILSEQ, path,
                       QStringLiteral("Der Name ist keine gültige Zeichenfolge und kann nicht in den "
                                      "Papierkorb verschoben werden."));
    QString reason;
    errno = 0;
    if (!ensureHomeTrash(&reason))
        return failure(errno != 0 ? errno : EACCES, path, reason);
    QString trashed;
    errno = 0;
    if (!QFile::moveToTrash(name, &trashed)) {
        const int error = errno;
        return failure(error != 0 ? error : EIO, path,
                       QStringLiteral("Das Verschieben in den Papierkorb ist fehlgeschlagen."));
    }
    if (!inTrashFiles(trashed)) {
        // Never leave the entry somewhere that is not a trash: put it back.
        std::rename(QFile::encodeName(trashed).constData(), path.constData());
        return failure(EXDEV, path, QStringLiteral("Der Papierkorb ist nicht erreichbar."));
    }
    return ShellDeleteOutcome{true, false, 0, {}, {}};
}

std::vector<int> ShellDelete::deleteListedFiles(int folderFd, const QByteArray& folder,
                                                const std::vector<engine::ListedFile>& files)
{
    const QString question = QStringLiteral("Sollen %1 Datei(en) in \"%2\" endgültig gelöscht werden?")
                                 .arg(files.size())
                                 .arg(display(folder));
    if (options_.confirm && MsgBox(question, platform::kBoxQuestionNoDefault,
                                   QStringLiteral("Löschen bestätigen"), owner_) != kYes)
        return {};
    ProgressRunner runner({owner_, options_.showProgress, options_.showFileNames, progressDelayMs_});
    const std::string shown = folder.toStdString();
    std::vector<int> errors(files.size(), ECANCELED);
    runner.run([&](const ProgressRunner::EntryFn& onEntry, const std::atomic<bool>& cancel) {
        for (std::size_t i = 0; i < files.size() && !cancel.load(); ++i) {
            onEntry(shown + files[i].name);
            const int err = engine::deleteListedFile(folderFd, files[i].name, files[i].facts);
            errors[i] = err == ENOENT ? 0 : err;
        }
    });
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (errors[i] != 0) {
            reportError(failure(errors[i], folder + QByteArray::fromStdString(files[i].name)));
            break;
        }
    }
    return errors;
}

void ShellDelete::reportError(const ShellDeleteOutcome& outcome) const
{
    if (!options_.showErrors)
        return;
    const QString prompt =
        QStringLiteral("\"%1\" konnte nicht gelöscht werden.").arg(display(outcome.failedPath)) +
        QChar(u'\r') + reasonText(outcome);
    MsgBox(prompt, platform::kBoxStop, QStringLiteral("Fehler beim Löschen"), owner_);
}

}  // namespace velmaro::platform
