#pragma once
// What the properties window shows of one file or folder, as German texts,
// read from the raw path without following a symlink (statx, birth time
// where the file system records it). A fact that cannot be read is
// "unbekannt".

#include <QByteArray>
#include <QString>
#include <optional>

namespace velmaro {

struct ItemFacts {
    QString name;         // last component, decoded ("/" for the root)
    QString folder;       // the folder it lies in, decoded, ending in "/"
    QString type;         // "Ordner", "Datei (<MIME comment>)", "Verknüpfung auf …", …
    QString size;         // "1,5 KB (1.536 Bytes)", "3 Bytes"; a folder: its scanned total
    QString entries;      // a folder: "3 Einträge" (its own entries); empty for others
    QString owner;        // "user / group"
    QString permissions;  // "rwxr-xr-x (0755)", first character the kind
    QString created;      // general date text, "unbekannt" without birth time
    QString modified;
    QString accessed;
    bool exists = false;  // false: nothing could be read

    // `folderBytes` is a folder's size as a scan summed it up (its whole
    // subtree); without it a folder's size is "unbekannt".
    static ItemFacts read(const QByteArray& rawPath, std::optional<quint64> folderBytes = std::nullopt);
};

}  // namespace velmaro
