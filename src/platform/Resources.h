#pragma once
// The program's pictures (":/velmaro/..."), compiled into the platform
// library. A static library drops the resource initialiser unless someone
// calls it: every user of a picture calls ensureResources() first (cheap,
// runs the initialiser once).

#include <QPixmap>
#include <QString>

namespace velmaro {

void ensureResources();

// The picture ":/velmaro/<name>" for the screens: where they are scaled
// above 100 %, its version drawn at twice the size ("<base>@2x.<ext>", device
// pixel ratio 2, same size on screen) when there is one.
QPixmap picture(const QString& name);

}  // namespace velmaro
