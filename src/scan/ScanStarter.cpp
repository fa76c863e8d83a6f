#include "scan/ScanStarter.h"

#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "platform/WaitCursor.h"

namespace velmaro {

void Scan_starten()
{
    auto& forms = platform::forms();
    // The hourglass shows from loading the window until it is gone, however
    // the scan ends (finished, stopped, every window closed).
    const platform::WaitCursorGuard hourglass;
    forms.load(FormNames::BitteWarten());
    // Runs until the scan run has unloaded the window: one scan per showing.
    forms.showModal(FormNames::BitteWarten());
}

}  // namespace velmaro
