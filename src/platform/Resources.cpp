#include "platform/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares a global function: it must be used outside any namespace.
static int initVelmaroResources()
{
    Q_INIT_RESOURCE(resources);
    return 1;
}

namespace velmaro {

void ensureResources()
{
    static const int done = initVelmaroResources();
    (void)done;
}

}  // namespace velmaro
