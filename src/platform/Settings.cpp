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

bool Settings::save(const QString& section, const QString& key, const QString& value)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmaro"),
                       QStringLiteral("Velmaro"));
    if (!settings.isWritable())
        return false;
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString Settings::fileName()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmaro"),
                     QStringLiteral("Velmaro"))
        .fileName();
}

}  // namespace velmaro::platform
