#include "cli/ZeroPass.h"

#include "engine/ScannedFolder.h"

#include <cerrno>
#include <unordered_set>

namespace velmaro::cli {

ZeroPassResult ZeroPass::run(const std::string& rootPath, const engine::FolderRecord& root,
                             const std::vector<const engine::FolderRecord*>& folders,
                             const std::atomic<bool>& cancel)
{
    std::unordered_set<std::string> removedHere;  // every folder this pass removed
    engine::DeleteOptions options;
    options.mode = engine::DeleteMode::ZeroByteOnly;
    options.cancel = &cancel;
    options.onFolderRemoved = [&removedHere](const std::string& path) { removedHere.insert(path); };
    ZeroPassResult result;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (cancel.load()) {
            result.notReached = folders.size() - i;
            break;
        }
        const engine::FolderRecord& folder = *folders[i];
        if (removedHere.count(folder.path) == 0) {
            const engine::ScannedFolder scanned{rootPath, root.id, folder.path, folder.id};
            const engine::DeleteResult done = engine::deleteScannedTree(scanned, options);
            if (removedHere.count(folder.path) == 0) {
                const bool gone = done.ok || done.error == ENOENT;  // found gone, not removed
                result.kept.push_back({folder.path, gone ? engine::kGoneSinceScan : done.error,
                                       gone ? folder.path : done.failedPath});
                continue;
            }
        }
        result.removed.push_back(folder.path);
    }
    return result;
}

}  // namespace velmaro::cli
