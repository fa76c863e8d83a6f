#pragma once
// The texts the map shows about a tile, German:
// - readableSize: "1,5 MB (1.572.864 Byte)": binary units with the
//   traditional names (KB, MB, GB, TB), one decimal, and the exact bytes;
// - tooltip: the name (for a folder's own files "Dateien in <name>"), the
//   full path, "Größe: " with the readable size (a size that is not
//   complete says so), "Letzter Zugriff: " and "Erstellt: " with the
//   list's date texts (a time that is not known is left out);
// - description: one line for the accessible name, "<name>, <size>,
//   letzter Zugriff <date>".

#include "map/MapTree.h"

#include <QString>

namespace velmaro {

class MapTexts {
public:
    static QString readableSize(quint64 bytes);
    static QString title(const MapTree& tree, quint32 node);  // the name line
    static QString tooltip(const MapTree& tree, quint32 node);
    static QString description(const MapTree& tree, quint32 node);
};

}  // namespace velmaro
