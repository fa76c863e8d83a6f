#include "actions/Eigenschaften.h"

#include "actions/PropertiesWindow.h"
#include "actions/FolderActionTarget.h"
#include "controls/RoListBox.h"
#include "platform/FileManagerProperties.h"
#include "platform/MsgBox.h"

#include <QPointer>

#include <sys/stat.h>

namespace velmaro {

namespace {

bool pathExists(const QByteArray& rawPath)
{
    struct stat st {};
    return !rawPath.isEmpty() && ::lstat(rawPath.constData(), &st) == 0;
}

void showProperties(QWidget* owner, const QByteArray& rawPath, std::optional<quint64> folderBytes)
{
    if (!pathExists(rawPath))
        return;
    // Where the file manager fails after all, the own window opens instead,
    // provided the owner and the path are still there.
    const QPointer<QWidget> guard(owner);
    const bool hadOwner = owner != nullptr;
    auto fallback = [guard, hadOwner, rawPath, folderBytes] {
        if ((hadOwner && !guard) || !pathExists(rawPath))
            return;
        PropertiesWindow::open(guard.data(), rawPath, folderBytes);
    };
    if (platform::FileManagerProperties::request(rawPath, owner, fallback))
        return;
    PropertiesWindow::open(owner, rawPath, folderBytes);
}

}  // namespace

void Eigenschaften_zeigen(QWidget* owner, const QByteArray& rawPath)
{
    showProperties(owner, rawPath, std::nullopt);
}

void Ordnereigenschaften_zeigen(QWidget* owner, const QByteArray& rawPath, quint64 scannedBytes)
{
    showProperties(owner, rawPath, scannedBytes);
}

void cmd_Info_Click(const FolderActionTarget& target)
{
    RoListBox* list = target.list;
    const QString path = list->CellText(list->SelectedIndex(), 2);
    if (path.isEmpty() || list->RowCount() == 0) {
        platform::MsgBox(QStringLiteral("Kein Verzeichnis gewählt."), platform::kBoxOk, QString(),
                         target.owner);
        return;
    }
    if (const auto row = list->RowAt(list->SelectedIndex())) {
        if (row->sizeKnown)
            Ordnereigenschaften_zeigen(target.owner, row->rawPath, row->bytes);
        else
            Eigenschaften_zeigen(target.owner, row->rawPath);
    }
}

}  // namespace velmaro
