#include "scan/ScanStarter.h"

#include "app/MainWindow.h"
#include "platform/FormRegistry.h"

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
    window.setScanRoot(QFile::encodeName(window.dir1Path()));
    Scan_starten();
}

}  // namespace velmaro
