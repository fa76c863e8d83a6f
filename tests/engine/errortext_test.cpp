// The errno -> number/German text table.

#include "engine/ErrorText.h"
#include "engine/SafeDelete.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace velmaro::engine;

TEST(ErrorText, ClassicNumbersAndTexts)
{
    struct Case {
        int err;
        int number;
        const char* text;
    };
    for (const Case& c : {Case{EACCES, 70, "Zugriff verweigert"}, Case{EPERM, 70, "Zugriff verweigert"},
                          Case{ENOENT, 76, "Pfad nicht gefunden"}, Case{ENOTDIR, 76, "Pfad nicht gefunden"},
                          Case{EIO, 57, "Fehler beim Geräte-E/A"}, Case{ENOSPC, 61, "Datenträger voll"},
                          Case{EMFILE, 67, "Zu viele Dateien"}, Case{EROFS, 75, "Schreibgeschütztes Dateisystem"},
                          Case{kRefusedRoot, 75, "Das Stammverzeichnis \"/\" wird nicht gelöscht."}}) {
        ErrorInfo info = errorFromErrno(c.err);
        EXPECT_EQ(info.number, c.number) << c.err;
        EXPECT_EQ(info.text, c.text) << c.err;
    }
    EXPECT_EQ(errorFromErrno(EBUSY).number, 75);
    EXPECT_EQ(errorFromErrno(EBUSY).text.rfind("Pfad/Datei-Zugriffsfehler (", 0), 0u);
    EXPECT_EQ(fileErrorFromErrno(ENOENT).number, 53);
    EXPECT_EQ(fileErrorFromErrno(ENOENT).text, "Datei nicht gefunden");
    EXPECT_EQ(fileErrorFromErrno(EACCES).number, 70);
}

TEST(ErrorText, NoErrorAndUnknownValues)
{
    ErrorInfo none = errorFromErrno(0);
    EXPECT_EQ(none.number, 0);
    EXPECT_EQ(none.text, "");
    EXPECT_EQ(errorFromErrno(9999).number, 75);
    EXPECT_EQ(errorFromErrno(9999).text, "Pfad/Datei-Zugriffsfehler (errno 9999)");
    EXPECT_EQ(errorFromErrno(-7).text, "Pfad/Datei-Zugriffsfehler (errno -7)");
    // Every errno the system knows gives a positive number and a text.
    for (int err = 1; err < 134; ++err) {
        ErrorInfo info = errorFromErrno(err);
        EXPECT_GT(info.number, 0) << err;
        EXPECT_FALSE(info.text.empty()) << err;
    }
}
