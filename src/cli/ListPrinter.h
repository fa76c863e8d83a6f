#pragma once
// Writes scanned folders to stdout in one of three forms.
//
// Window form and --bytes form: one line per folder, seven fields separated
// by tabs; names and paths escaped by RawText (no tab or line break inside
// a field):
//   1 name  2 path (ends in "/")  3 size  4 created  5 last access
//   6 zero-byte folder  7 failure (empty when the size is complete)
// Window form: the window's texts (size in KB in the user's locale, or the
// failure text; dates as the window shows them; field 6 "ja" / "nein").
// --bytes form: exact bytes (empty when unknown), ISO 8601 UTC times
// (IsoTime), field 6 "1" / "0"; independent of the locale.
// The failure text is the German text the window shows in the size column.
//
// JSON form: one document, independent of the locale:
//   {"root": ..., "cut_short": bool, "folders_found": n,
//    "zero_byte_folders": z, "folders": [{"name", "path", "bytes" (null when
//    unknown), "zero_byte", "created" (null without a birth time),
//    "accessed", "state" ("complete" | "failed" | "incomplete"),
//    "error" (German text, when not complete), "errno" (when failed)}, ...]}
// with names as JsonText gives them (exact bytes of names that are not UTF-8).
//
// Rows printed in path order (RowOrder::ByPath) are prepared without their
// path: print() puts each path together from its parent's, which came
// before it, and the folder's escaped name (escaping never joins bytes
// across a '/'), so no path is escaped twice. A row whose parent was not
// printed before it gets its whole path escaped.

#include "cli/BlockWriter.h"
#include "cli/PreparedText.h"
#include "cli/RecordList.h"
#include "engine/FolderRecord.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmaro {
class FolderRowBuilder;
}

namespace velmaro::cli {

class WindowCells;

class ListPrinter {
public:
    enum class Form { Window, Bytes, Json };
    // The order print() will be given the rows in: ByPath is the walk's
    // folders in byte-wise path order, parents first (also with rows left
    // out); Other is any other order.
    enum class RowOrder { ByPath, Other };

    ListPrinter(Form form, std::FILE* out, RowOrder order = RowOrder::Other);
    ~ListPrinter();

    // Formats `record` ahead of print(), e.g. while the walk still runs.
    // Call it for the records of `all` in their order, from the first on.
    void prepare(const engine::FolderRecord& record);
    // `rows` are the folders to show, in order, pointing into `all`, the
    // whole scan (also for the counts of the JSON form). Where `positions`
    // is not empty, the rows are all[positions[i]] instead, and `rows` is
    // not read.
    void print(const std::string& root, const RecordList& all,
               const std::vector<const engine::FolderRecord*>& rows, bool cutShort,
               const std::vector<uint32_t>& positions = {});

private:
    void appendRow(std::string& out, const engine::FolderRecord& record);
    void appendTextRow(std::string& out, const engine::FolderRecord& record, bool withPath = true);
    void appendPreparedRow(const RecordList& all, std::size_t index);
    void appendJsonRow(std::string& out, const engine::FolderRecord& record) const;
    std::string failureText(const engine::FolderRecord& record) const;
    void flush(bool always);

    // Where the path of a printed folder ends in openPaths_, for the
    // folders above the last row printed (innermost last).
    struct OpenFolder {
        engine::WalkIndex index;
        std::size_t end;
    };
    // Where prepare() put a row's text, and the walk's numbers of its
    // folder; parent kNoWalkIndex where the text holds the path.
    struct PreparedRow {
        PreparedText::Place place;
        engine::WalkIndex index;
        engine::WalkIndex parent;
    };

    const Form form_;
    const bool pathsFromParents_;
    std::FILE* const out_;
    std::unique_ptr<FolderRowBuilder> builder_;
    std::unique_ptr<WindowCells> cells_;
    std::string buffer_;
    BlockWriter writer_;  // takes buffer_ whenever it is full
    // The rows prepare() formatted.
    PreparedText prepared_;
    std::vector<PreparedRow> preparedRows_;  // of all[i], by i
    std::string openPaths_;  // the escaped path of the last row printed
    std::vector<OpenFolder> openFolders_;
};

}  // namespace velmaro::cli
