#include "app/Application.h"

#include "about/Copyright.h"
#include "app/MainWindow.h"
#include "fileview/FrmDelFile.h"
#include "map/MapWindow.h"
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "scan/BitteWarten.h"

namespace velmaro {

void registerForms()
{
    auto& registry = platform::forms();
    registry.registerForm(FormNames::Velmaro(), [] { return new MainWindow; });
    registry.registerForm(FormNames::BitteWarten(), [] { return new BitteWarten; });
    registry.registerForm(FormNames::frm_DelFile(), [] { return new FrmDelFile; });
    registry.registerForm(FormNames::Copyright(), [] { return new Copyright; });
    registry.registerForm(FormNames::frm_Übersicht(), [] { return new MapWindow; });
}

}  // namespace velmaro
