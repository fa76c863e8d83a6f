#pragma once
// The folder named on the command line, made absolute for the scan. No Qt.
//
// - A relative path is taken from the current folder. "." and empty
//   components are dropped; a path that still holds ".." is resolved by the
//   kernel (realpath), since ".." after a symlink is not lexical.
// - The folder must open as a directory (following a symlink given as the
//   folder itself, as `ls DIR/` would); otherwise `error` holds the errno.
// - The result always ends in '/'; the file-system root is "/".

#include <string>

namespace velmaro::cli {

class RootFolder {
public:
    struct Resolved {
        std::string path;  // absolute, ends in '/'; empty on failure
        int error = 0;     // errno when the folder cannot be opened
    };

    static Resolved resolve(const std::string& given);
    // True when `path` is the file-system root "/", also under another name
    // (a symlink or bind mount of it): same device and inode as "/".
    static bool isFileSystemRoot(const std::string& path);
};

}  // namespace velmaro::cli
