#pragma once
// What the shell layer does around one deletion: the five options of the
// deletion routine, typed from the caller to the shell layer. All false (the
// default): no question, no progress window, no file names, not to the
// trash, no error box.

namespace velmaro::platform {

struct ShellOptions {
    bool confirm = false;        // a German Yes/No question first
    bool showProgress = false;   // a progress window while the work runs
    bool showFileNames = false;  // the progress window names each entry
    bool toRecycleBin = false;   // a folder tree goes to the trash
    bool showErrors = false;     // a failure shows a German error box
};

}  // namespace velmaro::platform
