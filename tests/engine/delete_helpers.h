#pragma once
// Helpers for the deletion tests: temporary trees, forked children (for an
// unprivileged user, a private mount namespace or a low descriptor limit)
// and passing a DeleteResult from a child back to the test.

#include "engine/SafeDelete.h"

#include <functional>
#include <string>

namespace deltest {

// A fresh folder under $TMPDIR (or /tmp), mode 0755, removed with everything
// in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + relative
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
};

void makeDirs(const std::string& path);                            // like mkdir -p
void writeFile(const std::string& path, const std::string& data);  // parents are made
std::string readFile(const std::string& path);                     // "<missing>" if absent
bool exists(const std::string& path);                              // lstat, never follows
void chownTree(const std::string& path, unsigned uid, unsigned gid);
int openDescriptorCount();

// Sets or clears the immutable flag. Returns 0 or an errno value.
int setImmutable(const std::string& path, bool on);

// What a forked child reports: its message ("" = all fine, "SKIP: ..." = the
// machine cannot do it), or a note that it crashed.
struct ChildReport {
    bool skipped = false;
    std::string message;  // empty when the child's checks passed
};

// Runs `body` in a forked child and returns what it reported.
ChildReport runInChild(const std::function<std::string()>& body);

// For use inside a child: "" or why it failed.
std::string dropToNobody();
std::string enterPrivateMountNamespace();

// A DeleteResult as one line of text and back (child -> parent).
std::string encode(const velmaro::engine::DeleteResult& result);
velmaro::engine::DeleteResult decode(const std::string& text);

// Readable form for assertion messages.
std::string describe(const velmaro::engine::DeleteResult& result);

constexpr unsigned kNobody = 65534;

}  // namespace deltest
