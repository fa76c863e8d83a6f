#include "scan/ScanStarter.h"

#include "app/MainWindow.h"
#include "platform/FormRegistry.h"
#include "platform/MsgBox.h"

#include <QFile>

namespace velmaro {

void Scan_starten()
{
    auto& forms = platform::forms();
    forms.load(QStringLiteral("BitteWarten"));
    // Runs until the scan run has unloaded the window: one scan per showing.
    forms.showModal(QStringLiteral("BitteWarten"));
}

void cmd_Go_Click(MainWindow& window)
{
    const QByteArray folder = window.dir1Raw();
    if (folder.isEmpty()) {
        platform::MsgBox(QStringLiteral("Der im Verzeichnisbaum gewählte Ordner kann nicht angezeigt "
                                        "werden und wird nicht durchsucht."),
                         64, QString(), &window);
        return;
    }
    window.setScanRoot(folder);
    Scan_starten();
}

}  // namespace velmaro
