#pragma once
// What the properties window shows of one file or folder, as German texts,
// read from the raw path without following a symlink (statx, birth time
// where the file system records it). A fact that cannot be read is
// "unbekannt".

#include <QByteArray>
#include <QString>

namespace velmaro {

struct ItemFacts {
    QString name;         // last component, decoded ("/" for the root)
    QString folder;       // the folder it lies in, decoded, ending in "/"
    QString type;         // "Ordner", "Datei (<MIME comment>)", "Verknüpfung auf …", …
    QString size;         // file: "1.536 Bytes"; folder: "3 Einträge"
    QString owner;        // "user / group"
    QString permissions;  // "rwxr-xr-x (0755)", first character the kind
    QString created;      // general date text, "unbekannt" without birth time
    QString modified;
    QString accessed;
    bool exists = false;  // false: nothing could be read

    static ItemFacts read(const QByteArray& rawPath);
};

}  // namespace velmaro
