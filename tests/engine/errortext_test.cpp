// The errno -> number/German text table.

#include "engine/ErrorText.h"
#include "engine/SafeDelete.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace velmaro::engine;

TEST(ErrorText, NumbersAndTexts)
{
    struct Case {
        int err;
        int number;
        const char* text;
    };
    for (const Case& c :
         {Case{0, 0, ""}, Case{EACCES, 70, "Zugriff verweigert"}, Case{EPERM, 70, "Zugriff verweigert"},
          Case{ENOENT, 76, "Pfad nicht gefunden"}, Case{ENOTDIR, 76, "Pfad nicht gefunden"},
          Case{EIO, 57, "Fehler beim Geräte-E/A"}, Case{ENOSPC, 61, "Datenträger voll"},
          Case{EMFILE, 67, "Zu viele Dateien"}, Case{EROFS, 75, "Schreibgeschütztes Dateisystem"},
          Case{ECANCELED, 18, "Unterbrechung durch Benutzer"},
          Case{kRefusedRoot, 75, "Das Stammverzeichnis \"/\" wird nicht gelöscht."},
          Case{9999, 75, "Pfad/Datei-Zugriffsfehler (errno 9999)"},
          Case{-7, 75, "Pfad/Datei-Zugriffsfehler (errno -7)"}}) {
        EXPECT_EQ(errorFromErrno(c.err).number, c.number) << c.err;
        EXPECT_EQ(errorFromErrno(c.err).text, c.text) << c.err;
    }
    EXPECT_EQ(errorFromErrno(EBUSY).number, 75);
    EXPECT_EQ(errorFromErrno(EBUSY).text.rfind("Pfad/Datei-Zugriffsfehler (", 0), 0u);
    EXPECT_EQ(fileErrorFromErrno(ENOENT).number, 53);
    EXPECT_EQ(fileErrorFromErrno(ENOENT).text, "Datei nicht gefunden");
    EXPECT_EQ(fileErrorFromErrno(EACCES).number, 70);
    for (int err = 1; err < 134; ++err) {  // every errno the system knows
        EXPECT_GT(errorFromErrno(err).number, 0) << err;
        EXPECT_FALSE(errorFromErrno(err).text.empty()) << err;
    }
}
