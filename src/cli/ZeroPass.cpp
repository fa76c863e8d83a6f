#include "cli/ZeroPass.h"

#include "engine/ScannedFolder.h"

#include <cerrno>

namespace velmaro::cli {

ZeroPassResult ZeroPass::run(const std::string& rootPath, const engine::FolderRecord& root,
                             const std::vector<const engine::FolderRecord*>& folders,
                             const std::atomic<bool>& cancel)
{
    engine::DeleteOptions options;
    options.mode = engine::DeleteMode::ZeroByteOnly;
    options.cancel = &cancel;
    ZeroPassResult result;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (cancel.load()) {
            result.notReached = folders.size() - i;
            break;
        }
        const engine::FolderRecord& folder = *folders[i];
        const engine::ScannedFolder scanned{rootPath, root.id, folder.path, folder.id};
        const engine::DeleteResult done = engine::deleteScannedTree(scanned, options);
        if (done.ok || done.error == ENOENT)  // ENOENT: the folder itself is gone
            result.removed.push_back(folder.path);
        else
            result.kept.push_back({folder.path, done.error, done.failedPath});
    }
    return result;
}

}  // namespace velmaro::cli
