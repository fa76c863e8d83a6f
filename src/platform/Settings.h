#pragma once
// Per-user settings store: organisation and application "Velmaro",
// text values in sections (INI under the XDG config folder).

#include <QString>

namespace velmaro::platform {

class Settings {
public:
    // The stored text, or `defaultValue` when the key is missing.
    static QString read(const QString& section, const QString& key, const QString& defaultValue);
    // Creates or overwrites the value; written to disk at once.
    static void save(const QString& section, const QString& key, const QString& value);
};

}  // namespace velmaro::platform
