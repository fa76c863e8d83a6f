#include "platform/Settings.h"

#include <QSettings>

namespace velmaro::platform {

QString Settings::read(const QString& section, const QString& key, const QString& defaultValue)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmaro"),
                       QStringLiteral("Velmaro"));
    settings.beginGroup(section);
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return defaultValue;
    // A hand-edited value with commas reads back as a list: keep its text.
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void Settings::save(const QString& section, const QString& key, const QString& value)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmaro"),
                       QStringLiteral("Velmaro"));
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
}

}  // namespace velmaro::platform
