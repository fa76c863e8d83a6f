#include "app/Application.h"

#include "about/Copyright.h"
#include "app/FormFactories.h"
#include "app/MainWindow.h"
#include "platform/FormRegistry.h"

namespace velmaro {

void registerForms() {
    auto& registry = platform::forms();
    registry.registerForm(QStringLiteral("Velmaro"), [] { return new MainWindow; });
    registry.registerForm(QStringLiteral("BitteWarten"), &createBitteWarten);
    registry.registerForm(QStringLiteral("frm_DelFile"), &createFrmDelFile);
    registry.registerForm(QStringLiteral("Copyright"), [] { return new Copyright; });
}

}  // namespace velmaro
