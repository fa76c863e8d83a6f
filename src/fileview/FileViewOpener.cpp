#include "fileview/FileViewOpener.h"

#include "app/MainWindow.h"
#include "app/controls/RoListBox.h"
#include "engine/ErrorText.h"
#include "fileview/FileListe.h"
#include "fileview/FrmDelFile.h"
#include "platform/FormRegistry.h"
#include "platform/MsgBox.h"
#include "scan/ScanStarter.h"

#include <QFile>
#include <QPointer>

namespace velmaro {

using platform::forms;
using platform::MsgBox;

namespace {

const QString kForm = QStringLiteral("frm_DelFile");

// The raw path of the selected row (the display text's bytes if the row
// keeps none).
QByteArray selectedRawPath(const RoListBox& list, qint64 selected, const QString& shown)
{
    const auto row = list.RowAt(selected);
    return row && !row->rawPath.isEmpty() ? row->rawPath : QFile::encodeName(shown);
}

// Points the view's file list at `folder`; false (after telling the user
// and hiding the view) when the folder cannot be set.
bool setFolder(FrmDelFile& view, const QByteArray& folder)
{
    view.fileListe().setPattern(QStringLiteral("*.*"));
    const int err = view.fileListe().setPath(folder);
    if (err == 0)
        return true;
    MsgBox(QString::fromStdString(engine::errorFromErrno(err).text), 0);
    forms().hide(kForm);
    return false;
}

}  // namespace

void cmd_DelFile_Click(MainWindow& window)
{
    const RoListBox& list = *window.roListBox_Ordner();
    const qint64 selected = list.SelectedIndex();
    const QString shown = list.CellText(selected, 2);
    if (shown.isEmpty() || list.RowCount() == 0) {
        MsgBox(QStringLiteral("Kein Verzeichnis angegeben."), 0);
        return;
    }
    QPointer<FrmDelFile> view = forms().load<FrmDelFile>(kForm);
    if (!view || !setFolder(*view, selectedRawPath(list, selected, shown)))
        return;
    view->FileListe_PathChange();
    const qint64 before = view->fileListe().count();
    if (before == 0) {
        forms().hide(kForm);
        MsgBox(QStringLiteral("Keine Files im Verzeichnis \"") + shown
                   + QStringLiteral("\" gefunden."),
               64);
        return;
    }
    forms().showModal(kForm);
    if (!view || view->fileListe().count() == before)
        return;
    if (MsgBox(QStringLiteral("Dateiumfang hat sich geändert.\rÜbersicht aktualisieren?"), 68) == 6)
        Scan_starten();
}

}  // namespace velmaro
