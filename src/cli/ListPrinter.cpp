#include "cli/ListPrinter.h"

#include "cli/IsoTime.h"
#include "cli/JsonText.h"
#include "cli/Output.h"
#include "cli/RawText.h"
#include "cli/WindowCells.h"
#include "rows/FolderRowBuilder.h"

#include <algorithm>
#include <charconv>
#include <fcntl.h>
#include <sys/stat.h>

namespace velmaro::cli {

namespace {

using engine::FolderRecord;
using engine::SizeState;

// Rows are handed to the system a megabyte at a time, into a pipe widened
// to as much: each hand-over into a full pipe waits for its reader to wake
// up, and on a busy machine that wait costs more than the copy.
constexpr std::size_t kFlushAt = 1 << 20;

void widenPipe(std::FILE* out)
{
    struct stat st {};
    const int fd = ::fileno(out);
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode) && ::fcntl(fd, F_GETPIPE_SZ) < int(kFlushAt))
        ::fcntl(fd, F_SETPIPE_SZ, int(kFlushAt));  // a smaller pipe only costs time
}

void appendNumber(std::string& out, uint64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, std::size_t(end - digits));
}

const char* stateName(SizeState state)
{
    switch (state) {
    case SizeState::Complete: return "complete";
    case SizeState::Failed: return "failed";
    case SizeState::Incomplete: return "incomplete";
    }
    return "failed";
}

void appendIsoOrNull(std::string& out, const std::optional<engine::FileTime>& time)
{
    if (!time) {
        out += "null";
        return;
    }
    out += '"';
    IsoTime::append(out, *time);
    out += '"';
}

}  // namespace

ListPrinter::ListPrinter(Form form, std::FILE* out, RowOrder order)
    : form_(form)
    , pathsFromParents_(order == RowOrder::ByPath && form != Form::Json)
    , out_(out)
    , builder_(std::make_unique<FolderRowBuilder>())
    , writer_(out)
{
    if (form_ == Form::Window)
        cells_ = std::make_unique<WindowCells>(*builder_);
    widenPipe(out_);
}

ListPrinter::~ListPrinter() = default;

std::string ListPrinter::failureText(const FolderRecord& record) const
{
    if (record.sizeState == SizeState::Complete)
        return std::string();
    return builder_->build(record).sizeText.toStdString();
}

void ListPrinter::prepare(const FolderRecord& record)
{
    // The buffer is empty until print().
    PreparedRow row{{}, record.index, engine::kNoWalkIndex};
    if (pathsFromParents_ && record.index != engine::kNoWalkIndex && record.parent != engine::kNoWalkIndex) {
        row.parent = record.parent;
        appendTextRow(buffer_, record, false);
    } else {
        appendRow(buffer_, record);
    }
    row.place = prepared_.add(buffer_);
    preparedRows_.push_back(row);
    buffer_.clear();
}

void ListPrinter::appendRow(std::string& out, const FolderRecord& record)
{
    if (form_ == Form::Json)
        appendJsonRow(out, record);
    else
        appendTextRow(out, record);
}

// Without the path, the row holds an empty second field.
void ListPrinter::appendTextRow(std::string& out, const FolderRecord& record, bool withPath)
{
    const bool complete = record.sizeState == SizeState::Complete;
    RawText::appendEscaped(out, record.name);
    out += '\t';
    if (withPath)
        RawText::appendEscaped(out, record.path);
    out += '\t';
    if (form_ == Form::Window) {
        if (complete)
            cells_->appendSize(out, record.bytes);
        else
            out += failureText(record);
        out += '\t';
        if (record.created)
            cells_->appendDate(out, *record.created);
        out += '\t';
        cells_->appendDate(out, record.accessed);
        out += record.zeroByte ? "\tja\t" : "\tnein\t";
    } else {
        if (complete)
            appendNumber(out, record.bytes);
        out += '\t';
        if (record.created)
            IsoTime::append(out, *record.created);
        out += '\t';
        IsoTime::append(out, record.accessed);
        out += record.zeroByte ? "\t1\t" : "\t0\t";
    }
    if (!complete)
        out += failureText(record);
    out += '\n';
}

void ListPrinter::appendJsonRow(std::string& out, const FolderRecord& record) const
{
    out += "{";
    JsonText::appendName(out, "name", record.name);
    out += ',';
    JsonText::appendName(out, "path", record.path);
    out += ",\"bytes\":";
    if (record.sizeState == SizeState::Complete)
        appendNumber(out, record.bytes);
    else
        out += "null";
    out += record.zeroByte ? ",\"zero_byte\":true" : ",\"zero_byte\":false";
    out += ",\"created\":";
    appendIsoOrNull(out, record.created);
    out += ",\"accessed\":";
    appendIsoOrNull(out, record.accessed);
    out += ",\"state\":\"";
    out += stateName(record.sizeState);
    out += '"';
    if (record.sizeState != SizeState::Complete) {
        out += ",\"error\":";
        JsonText::appendString(out, failureText(record));
    }
    if (record.sizeState == SizeState::Failed)
        out += ",\"errno\":" + std::to_string(record.error);
    out += '}';
}

void ListPrinter::print(const std::string& root, const RecordList& all,
                        const std::vector<const FolderRecord*>& rows, bool cutShort,
                        const std::vector<uint32_t>& positions)
{
    // Where each row lies in `all`.
    std::vector<std::size_t> looked;
    if (positions.empty()) {
        looked.resize(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            looked[i] = all.positionOf(rows[i]);
    }
    const std::size_t count = positions.empty() ? rows.size() : positions.size();
    const auto at = [&](std::size_t i) { return positions.empty() ? looked[i] : std::size_t{positions[i]}; };
    openPaths_.clear();
    openFolders_.clear();
    // The prepared rows lie scattered in arrival order: a row's place is
    // fetched into the cache 32 rows before it is copied, its text 16 rows.
    const auto appendShown = [&](std::size_t i) {
        if (i + 32 < count && at(i + 32) < preparedRows_.size())
            __builtin_prefetch(&preparedRows_[at(i + 32)]);
        if (i + 16 < count && at(i + 16) < preparedRows_.size()) {
            const std::string_view next = prepared_.at(preparedRows_[at(i + 16)].place);
            for (std::size_t byte = 0; byte < next.size(); byte += 64)
                __builtin_prefetch(next.data() + byte);
        }
        const std::size_t index = at(i);
        if (index < preparedRows_.size())
            appendPreparedRow(all, index);
        else
            appendRow(buffer_, positions.empty() ? *rows[i] : all[index]);
        flush(false);
    };
    if (form_ != Form::Json) {
        for (std::size_t i = 0; i < count; ++i)
            appendShown(i);
        flush(true);
        return;
    }
    const auto zero = std::count_if(all.begin(), all.end(), [](const FolderRecord& r) { return r.zeroByte; });
    buffer_ += '{';
    JsonText::appendName(buffer_, "root", root);
    buffer_ += cutShort ? ",\"cut_short\":true" : ",\"cut_short\":false";
    buffer_ += ",\"folders_found\":" + std::to_string(all.size());
    buffer_ += ",\"zero_byte_folders\":" + std::to_string(zero);
    buffer_ += ",\"folders\":[";
    for (std::size_t i = 0; i < count; ++i) {
        buffer_ += i ? ",\n" : "\n";
        appendShown(i);
    }
    buffer_ += "\n]}\n";
    flush(true);
}

// The row of all[index], as prepared. A row prepared without its path gets
// it here: the parent's path, its escaped name (the text up to the first
// tab) and '/'. The root, a folder of no walk and a folder whose parent was
// not printed before it get the whole path escaped.
void ListPrinter::appendPreparedRow(const RecordList& all, std::size_t index)
{
    const PreparedRow folder = preparedRows_[index];
    const std::string_view text = prepared_.at(folder.place);
    if (!pathsFromParents_) {
        buffer_ += text;
        return;
    }
    while (!openFolders_.empty() && openFolders_.back().index != folder.parent)
        openFolders_.pop_back();
    const std::size_t nameEnd = text.find('\t');  // an escaped name holds no tab
    if (folder.parent == engine::kNoWalkIndex) {
        // Prepared whole: its path is the second field.
        const std::size_t pathEnd = text.find('\t', nameEnd + 1);
        openPaths_.assign(text.substr(nameEnd + 1, pathEnd - nameEnd - 1));
        openFolders_.clear();
        buffer_ += text;
    } else {
        if (openFolders_.empty()) {
            openPaths_.clear();
            RawText::appendEscaped(openPaths_, all[index].path);
        } else {
            openPaths_.resize(openFolders_.back().end);
            openPaths_.append(text.substr(0, nameEnd));
            openPaths_ += '/';
        }
        buffer_.append(text.substr(0, nameEnd + 1));
        buffer_ += openPaths_;
        buffer_.append(text.substr(nameEnd + 1));
    }
    if (folder.index != engine::kNoWalkIndex)
        openFolders_.push_back({folder.index, openPaths_.size()});
}

// A full buffer goes to the writer's thread, and the next one is filled
// meanwhile; `always` hands over the rest and waits until all is written.
void ListPrinter::flush(bool always)
{
    const bool full = buffer_.size() >= kFlushAt;
    if (!buffer_.empty() && (always || full))
        writer_.put(buffer_);
    if (!always) {
        if (full)
            buffer_.reserve(kFlushAt + kFlushAt / 16);  // the next rows fit without a move
        return;
    }
    writer_.finish();
    if (out_ == stdout)
        Output::flush();
    else
        std::fflush(out_);
}

}  // namespace velmaro::cli
