#pragma once
// The command-line side of the `velmaro` executable. No Qt beyond Core, no
// QCoreApplication: it runs without a display, a window system or D-Bus.
//
//   velmaro list [OPTIONS] FOLDER      one line per folder
//   velmaro zero [--delete] FOLDER     the zero-byte folders; remove them
//   velmaro --help | -h | --version
//
// Anything else (no arguments, or Qt's own options such as "-platform")
// starts the window.

namespace velmaro::cli {

class CommandLine {
public:
    // True when the arguments ask for the command line rather than the window:
    // a first argument that does not start with '-' (a command, also an
    // unknown one), or --help, -h, --version.
    static bool wanted(int argc, char** argv);
    // Runs the command and returns the process exit code (ExitCode.h).
    static int run(int argc, char** argv);
};

}  // namespace velmaro::cli
