#include "scan/ScanStarter.h"

#include "platform/FormNames.h"
#include "platform/FormRegistry.h"

namespace velmaro {

void Scan_starten()
{
    auto& forms = platform::forms();
    forms.load(FormNames::BitteWarten());
    // Runs until the scan run has unloaded the window: one scan per showing.
    forms.showModal(FormNames::BitteWarten());
}

}  // namespace velmaro
