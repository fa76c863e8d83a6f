#include "engine/ErrorText.h"

#include "engine/SafeDelete.h"
#include "engine/ScannedFolder.h"

#include <array>
#include <cerrno>

namespace velmaro::engine {

namespace {

struct Row {
    int err;
    int number;
    const char* text;
};

constexpr int kAccessError = 75;
constexpr const char* kAccessErrorText = "Pfad/Datei-Zugriffsfehler";

// The one table. Order does not matter; every errno appears once.
constexpr std::array kTable{
    Row{EPERM, 70, "Zugriff verweigert"},
    Row{EACCES, 70, "Zugriff verweigert"},
    Row{ENOENT, 76, "Pfad nicht gefunden"},
    Row{ENOTDIR, 76, "Pfad nicht gefunden"},
    Row{EIO, 57, "Fehler beim Geräte-E/A"},
    Row{ENOSPC, 61, "Datenträger voll"},
    Row{EFBIG, 61, "Datei zu groß"},
    Row{EPIPE, 75, "Der Empfänger der Ausgabe hat sie geschlossen"},
    Row{EDQUOT, 61, "Datenträger voll (Speicherkontingent erschöpft)"},
    Row{EMFILE, 67, "Zu viele Dateien"},
    Row{ENFILE, 67, "Zu viele Dateien"},
    Row{EEXIST, 58, "Datei existiert bereits"},
    Row{ENXIO, 68, "Gerät nicht verfügbar"},
    Row{ENODEV, 68, "Gerät nicht verfügbar"},
    Row{ENOMEM, 7, "Nicht genügend Speicher"},
    Row{EINVAL, 5, "Ungültiger Prozeduraufruf oder ungültiges Argument"},
    Row{ECANCELED, 18, "Unterbrechung durch Benutzer"},
    Row{EBUSY, 75, "Pfad/Datei-Zugriffsfehler (wird verwendet oder ist ein Einhängepunkt)"},
    Row{ETXTBSY, 75, "Pfad/Datei-Zugriffsfehler (Datei wird verwendet)"},
    Row{ENOTEMPTY, 75, "Pfad/Datei-Zugriffsfehler (Ordner ist nicht leer)"},
    Row{EXDEV, 75, "Pfad/Datei-Zugriffsfehler (Einhängepunkt eines anderen Laufwerks)"},
    Row{EISDIR, 75, "Pfad/Datei-Zugriffsfehler (Ordner statt Datei)"},
    Row{EROFS, 75, "Schreibgeschütztes Dateisystem"},
    Row{ELOOP, 75, "Symbolische Verknüpfung wird nicht verfolgt"},
    Row{ENAMETOOLONG, 75, "Name oder Pfad zu lang"},
    Row{ESTALE, 75, "Pfad/Datei-Zugriffsfehler (veralteter Netzwerk-Dateizugriff)"},
    Row{ETIMEDOUT, 75, "Pfad/Datei-Zugriffsfehler (Zeitüberschreitung)"},
    Row{kRefusedRoot, 75, "Das Stammverzeichnis \"/\" wird nicht gelöscht."},
    Row{kChangedSinceScan, 75, "Der Ordner hat sich seit der Suche geändert."},
    Row{kGoneSinceScan, 76, "Der Ordner ist seit der Suche verschwunden oder verschoben worden."},
    Row{kFileSystemFolder, 75, "Der Ordner lost+found gehört dem Dateisystem und wird nicht gelöscht."},
    Row{kChangedSinceListing, 75, "Die Datei hat sich seit dem Einlesen geändert und wird nicht gelöscht."},
};

}  // namespace

ErrorInfo errorFromErrno(int err)
{
    if (err == 0)
        return {};
    for (const Row& row : kTable) {
        if (row.err == err)
            return {row.number, row.text};
    }
    return {kAccessError, std::string(kAccessErrorText) + " (errno " + std::to_string(err) + ")"};
}

ErrorInfo fileErrorFromErrno(int err)
{
    if (err == ENOENT)
        return {53, "Datei nicht gefunden"};
    return errorFromErrno(err);
}

}  // namespace velmaro::engine
