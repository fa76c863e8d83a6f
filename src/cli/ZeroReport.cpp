#include "cli/ZeroReport.h"

#include "cli/JsonText.h"
#include "cli/Messages.h"
#include "cli/Output.h"
#include "cli/RawText.h"
#include "engine/ErrorText.h"

#include <cstdio>
#include <unistd.h>

namespace velmaro::cli {

namespace {

std::string reasonOf(const KeptFolder& kept)
{
    std::string reason = "nicht gelöscht: ";
    if (!kept.failedPath.empty() && kept.failedPath != kept.path)
        reason += "\"" + RawText::escaped(kept.failedPath) + "\": ";
    return reason + engine::errorFromErrno(kept.error).text;
}

std::string textOf(const ZeroPassResult& result)
{
    std::string out;
    for (const std::string& path : result.removed) {
        RawText::appendEscaped(out, path);
        out += '\n';
    }
    return out;
}

std::string jsonOf(const std::string& root, const ZeroPassResult& result)
{
    std::string out = "{";
    JsonText::appendName(out, "root", root);
    out += ",\"removed\":[";
    for (std::size_t i = 0; i < result.removed.size(); ++i) {
        out += i ? ",\n{" : "\n{";
        JsonText::appendName(out, "path", result.removed[i]);
        out += '}';
    }
    out += "],\"kept\":[";
    for (std::size_t i = 0; i < result.kept.size(); ++i) {
        const KeptFolder& kept = result.kept[i];
        out += i ? ",\n{" : "\n{";
        JsonText::appendName(out, "path", kept.path);
        out += ",\"error\":";
        JsonText::appendString(out, engine::errorFromErrno(kept.error).text);
        if (kept.error > 0)
            out += ",\"errno\":" + std::to_string(kept.error);
        out += ',';
        JsonText::appendName(out, "failed_path", kept.failedPath);
        out += '}';
    }
    out += "],\"not_reached\":" + std::to_string(result.notReached) + "}\n";
    return out;
}

}  // namespace

void ZeroReport::print(const std::string& root, const ZeroPassResult& result, bool json)
{
    const std::string out = json ? jsonOf(root, result) : textOf(result);
    Output::write(out);
    Output::flush();
    for (const KeptFolder& kept : result.kept)
        Messages::error(kept.path, reasonOf(kept));
    if (result.notReached > 0)
        Messages::note("abgebrochen: " + std::to_string(result.notReached) +
                       " Ordner mit 0 Byte nicht bearbeitet.");
    if (::isatty(STDERR_FILENO) == 1)
        Messages::note(std::to_string(result.removed.size()) + " Ordner mit 0 Byte gelöscht, " +
                       std::to_string(result.kept.size()) + " behalten.");
}

}  // namespace velmaro::cli
