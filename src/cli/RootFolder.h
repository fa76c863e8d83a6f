#pragma once
// The folder named on the command line, made absolute for the scan. No Qt.
//
// - A relative path is taken from the current folder. "." and empty
//   components are dropped; a path that still holds ".." is resolved by the
//   kernel (realpath), since ".." after a symlink is not lexical.
// - The one rule for symbolic links, for every command: the path is resolved
//   once, at the start, to the folder it leads to (realpath), and the scan
//   and every delete work on that folder by its real path; `throughLink`
//   tells the caller to say so. A link in the tree below is never followed.
// - The folder must open as a directory; otherwise `error` holds the errno,
//   or kNotAFolder when the path names something that is not a folder. An
//   empty path names nothing (ENOENT).
// - The result always ends in '/'; the file-system root is "/".

#include <string>

namespace velmaro::cli {

class RootFolder {
public:
    // Resolved::error: the path names a file, not a folder.
    static constexpr int kNotAFolder = -2001;

    struct Resolved {
        std::string path;          // absolute, without links, ends in '/'; empty on failure
        int error = 0;             // errno or kNotAFolder when the folder cannot be opened
        bool throughLink = false;  // the given path led through a symbolic link
    };

    static Resolved resolve(const std::string& given);
    // The German reason for Resolved::error.
    static std::string reasonOf(int error);
    // True when the last component of `given` is "." or "..".
    static bool namesDotOrDotDot(const std::string& given);
    // True when `path` is the file-system root "/", also under another name
    // (a symlink or bind mount of it): same device and inode as "/".
    static bool isFileSystemRoot(const std::string& path);
};

}  // namespace velmaro::cli
