// Velmaro: the program starts with its main window and ends when the last
// window is gone.
#include "app/Application.h"
#include "cli/CommandLine.h"
#include "engine/AllocatorArenas.h"
#include "platform/AccessibleApplication.h"
#include "platform/Fonts.h"
#include "platform/FormRegistry.h"
#include "scan/ScanSession.h"

#include <QApplication>
#include <QEvent>

int main(int argc, char* argv[])
{
    velmaro::engine::useFewAllocatorArenas();
    // `velmaro list|zero ...`, --help, --version: no application object at
    // all, so no display, window system or D-Bus is needed.
    if (velmaro::cli::CommandLine::wanted(argc, argv))
        return velmaro::cli::CommandLine::run(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmaro"));
    QApplication::setOrganizationName(QStringLiteral("Velmaro"));
    QApplication::setDesktopFileName(QStringLiteral("velmaro"));
    QApplication::setQuitOnLastWindowClosed(true);
    velmaro::installFontSubstitutions();
    velmaro::platform::AccessibleApplication::install();

    // The one scan session, shared by the main window and the progress
    // window; destroyed after every window.
    velmaro::ScanSession scans;
    velmaro::registerForms(scans);
    // The main window's constructor restores size and state; show() applies
    // the state (normal, minimized or maximized).
    QWidget* main = velmaro::platform::forms().load(QStringLiteral("Velmaro"));
    if (!main)
        return 1;
    main->show();
    const int rc = app.exec();

    // Windows still loaded (the event loop can end before deferred deletes
    // ran) are unloaded and destroyed while the application still exists.
    velmaro::platform::Alle_Fenster_schliessen();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return rc;
}
