#pragma once
// Per-user settings store: organisation and application "Velmaro",
// text values in sections (INI under the XDG config folder).

#include <QString>

namespace velmaro::platform {

class Settings {
public:
    // The stored text, or `defaultValue` when the key is missing.
    static QString read(const QString& section, const QString& key, const QString& defaultValue);
    // Creates or overwrites the value; written to disk at once. False when
    // it could not be stored (a read-only home, an unwritable file).
    static bool save(const QString& section, const QString& key, const QString& value);
    // The file the values are stored in.
    static QString fileName();
};

}  // namespace velmaro::platform
