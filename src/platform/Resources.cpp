#include "platform/Resources.h"

#include <QGuiApplication>
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

namespace velmaro {

QPixmap picture(const QString& name)
{
    ensureResources();
    const QString file = QStringLiteral(":/velmaro/") + name;
    const auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (gui && gui->devicePixelRatio() > 1.0) {
        QString twice = file;
        twice.insert(twice.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
        QPixmap sharp(twice);
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return QPixmap(file);
}

}  // namespace velmaro
