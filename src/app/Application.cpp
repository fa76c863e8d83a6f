#include "app/Application.h"

#include "about/Copyright.h"
#include "app/MainWindow.h"
#include "fileview/FrmDelFile.h"
#include "map/MapWindow.h"
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "scan/BitteWarten.h"
#include "scan/ScanSession.h"

namespace velmaro {

void registerForms(ScanSession& scans)
{
    auto& registry = platform::forms();
    registry.registerForm(FormNames::Velmaro(), [&scans] { return new MainWindow(scans); });
    registry.registerForm(FormNames::BitteWarten(), [&scans] { return new BitteWarten(scans); });
    registry.registerForm(FormNames::frm_DelFile(), [] { return new FrmDelFile; });
    registry.registerForm(FormNames::Copyright(), [] { return new Copyright; });
    registry.registerForm(FormNames::frm_Übersicht(), [] { return new MapWindow; });
}

}  // namespace velmaro
