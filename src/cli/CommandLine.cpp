#include "cli/CommandLine.h"

#include "cli/CliOptions.h"
#include "cli/ExitCode.h"
#include "cli/ListCommand.h"
#include "cli/Messages.h"
#include "cli/Output.h"
#include "cli/ZeroCommand.h"
#include "engine/ErrorText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace velmaro::cli {

namespace {

constexpr const char* kHelp =
    "Aufruf: velmaro                             öffnet das Fenster\n"
    "        velmaro list [OPTIONEN] ORDNER      listet ORDNER und jeden Ordner darunter\n"
    "        velmaro zero [--delete] ORDNER      listet (oder löscht) die 0 Byte Ordner\n"
    "        velmaro --help | --version\n"
    "\n"
    "list gibt je Ordner eine Zeile aus, die Felder durch Tabulatoren getrennt:\n"
    "Ordnername, kompletter Pfad (endet auf \"/\"), Ordnergröße in KByte, erstellt am,\n"
    "letzter Zugriff, 0 Byte Ordner (ja/nein) und der Fehler, der die Größe offen ließ.\n"
    "\n"
    "zero listet die Ordner, deren Teilbaum genau 0 Byte hält (nur Ordner und leere\n"
    "Dateien). Mit --delete werden sie gelöscht, soweit sie im Moment des Löschens\n"
    "noch leer sind; was inzwischen Inhalt bekam, bleibt. Nie wird etwas anderes\n"
    "gelöscht, nie einer Verknüpfung gefolgt oder ein anderes Laufwerk betreten;\n"
    "\"/\", \".\" und \"..\" werden nicht bereinigt, lost+found in der Wurzel eines\n"
    "Dateisystems nie gelöscht. Führt ORDNER über eine symbolische Verknüpfung, wird\n"
    "er einmal zu Beginn aufgelöst und das gemeldet.\n"
    "\n"
    "Optionen für list:\n"
    "  --bytes            genaue Bytezahlen und Zeiten nach ISO 8601 (UTC)\n"
    "  --json             ein JSON-Dokument (auch für zero)\n"
    "  --sort SCHLÜSSEL   name, path, size, created oder accessed (Vorgabe: path)\n"
    "  --reverse          umgekehrte Reihenfolge\n"
    "  --top N            nur die ersten N Ordner\n"
    "  --zero-only        nur 0 Byte Ordner\n"
    "  --workers N        parallele Leser, 1 bis 256 (Vorgabe 8; auch für zero)\n"
    "  --                 Ende der Optionen (für einen ORDNER, der mit \"-\" beginnt)\n"
    "\n"
    "Backslash, Tabulator, Zeilenumbruch, Wagenrücklauf, andere Steuerzeichen und\n"
    "Bytes, die kein UTF-8 sind, stehen in Namen als \\\\, \\t, \\n, \\r und \\xHH.\n"
    "In JSON kommen Namen, die kein UTF-8 sind, zusätzlich mit ihren genauen Bytes\n"
    "(\"name_bytes\", \"path_bytes\": Hex).\n"
    "\n"
    "Strg+C bricht die Suche ab; was gefunden wurde, wird als unvollständig ausgegeben.\n"
    "Rückgabewert: 0 alles erledigt, 1 erledigt mit Fehlern (Ordner nicht lesbar,\n"
    "behalten oder Suche abgebrochen), 2 falscher Aufruf oder ORDNER nicht lesbar.\n";

// Output that could not be written (a full disk, a closed pipe with SIGPIPE
// ignored) must not end in "all done", whatever the command.
int checkedOutput(int code)
{
    const int err = Output::finish();
    if (err == 0)
        return code;
    Messages::note("Ausgabe nicht vollständig geschrieben: " + engine::errorFromErrno(err).text);
    return code == kExitDone ? kExitFailures : code;
}

void printVersion()
{
    char line[64];
    std::snprintf(line, sizeof line, "velmaro %d.%02d.%02d\n", VELMARO_VERSION_MAJOR, VELMARO_VERSION_MINOR,
                  VELMARO_VERSION_PATCH);
    Output::write(line);
}

}  // namespace

bool CommandLine::wanted(int argc, char** argv)
{
    if (argc < 2)
        return false;
    const char* first = argv[1];
    return first[0] != '-' || std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0 ||
           std::strcmp(first, "--version") == 0;
}

int CommandLine::run(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CliOptions::Result parsed = CliOptions::parse(args);
    if (!parsed.error.empty()) {
        Messages::usage(parsed.error);
        return kExitUnusable;
    }
    switch (parsed.options.command) {
    case Command::Help: Output::write(kHelp); return checkedOutput(kExitDone);
    case Command::Version: printVersion(); return checkedOutput(kExitDone);
    case Command::List: return checkedOutput(ListCommand::run(parsed.options));
    case Command::Zero: return checkedOutput(ZeroCommand::run(parsed.options));
    }
    return kExitUnusable;
}

}  // namespace velmaro::cli
