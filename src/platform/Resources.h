#pragma once
// The program's pictures (":/velmaro/..."), compiled into the platform
// library. A static library drops the resource initialiser unless someone
// calls it: every user of a picture calls ensureResources() first (cheap,
// runs the initialiser once).

namespace velmaro {

void ensureResources();

}  // namespace velmaro
