#include "cli/Messages.h"

#include "cli/Output.h"
#include "cli/RawText.h"

#include <cstdio>

namespace velmaro::cli {

namespace {

void writeLine(const std::string& line)
{
    Output::flush();  // keep the order of output and messages on a terminal
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace

void Messages::error(const std::string& path, const std::string& reason)
{
    writeLine("velmaro: \"" + RawText::escaped(path) + "\": " + reason + "\n");
}

void Messages::note(const std::string& text)
{
    writeLine("velmaro: " + text + "\n");
}

void Messages::usage(const std::string& text)
{
    writeLine("velmaro: " + text + "\nHilfe: velmaro --help\n");
}

}  // namespace velmaro::cli
