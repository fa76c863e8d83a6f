#include "cli/ListPrinter.h"

#include "cli/IsoTime.h"
#include "cli/JsonText.h"
#include "cli/Output.h"
#include "cli/RawText.h"
#include "rows/LocaleText.h"
#include "rows/FolderRowBuilder.h"

#include <QDateTime>
#include <algorithm>

namespace velmaro::cli {

namespace {

using engine::FolderRecord;
using engine::SizeState;

constexpr std::size_t kFlushAt = 1 << 16;

std::string windowDate(qint64 ms)
{
    if (ms == FolderRow::kNoTime)
        return std::string();
    return platform::generalDateText(QDateTime::fromMSecsSinceEpoch(ms)).toStdString();
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
    out += IsoTime::text(*time);
    out += '"';
}

}  // namespace

ListPrinter::ListPrinter(Form form, std::FILE* out)
    : form_(form)
    , out_(out)
    , builder_(std::make_unique<FolderRowBuilder>())
{}

ListPrinter::~ListPrinter() = default;

std::string ListPrinter::failureText(const FolderRecord& record) const
{
    if (record.sizeState == SizeState::Complete)
        return std::string();
    return builder_->build(record).sizeText.toStdString();
}

void ListPrinter::prepare(const FolderRecord& record)
{
    std::string row;
    appendRow(row, record);
    prepared_.push_back(std::move(row));
}

void ListPrinter::appendRow(std::string& out, const FolderRecord& record) const
{
    if (form_ == Form::Json)
        appendJsonRow(out, record);
    else
        appendTextRow(out, record);
}

void ListPrinter::appendTextRow(std::string& out, const FolderRecord& record) const
{
    RawText::appendEscaped(out, record.name);
    out += '\t';
    RawText::appendEscaped(out, record.path);
    out += '\t';
    if (form_ == Form::Window) {
        const FolderRow row = builder_->build(record);
        out +=
            row.sizeText.toStdString() + '\t' + windowDate(row.createdMs) + '\t' + windowDate(row.accessedMs);
        out += record.zeroByte ? "\tja\t" : "\tnein\t";
    } else {
        if (record.sizeState == SizeState::Complete)
            out += std::to_string(record.bytes);
        out += '\t';
        if (record.created)
            out += IsoTime::text(*record.created);
        out += '\t';
        out += IsoTime::text(record.accessed);
        out += record.zeroByte ? "\t1\t" : "\t0\t";
    }
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
    out += record.sizeState == SizeState::Complete ? std::to_string(record.bytes) : "null";
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

void ListPrinter::print(const std::string& root, const std::vector<FolderRecord>& all,
                        const std::vector<const FolderRecord*>& rows, bool cutShort)
{
    const auto appendShown = [&](const FolderRecord* record) {
        const auto index = std::size_t(record - all.data());
        if (index < prepared_.size())
            buffer_ += prepared_[index];
        else
            appendRow(buffer_, *record);
        flush(false);
    };
    if (form_ != Form::Json) {
        for (const FolderRecord* record : rows)
            appendShown(record);
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
    for (std::size_t i = 0; i < rows.size(); ++i) {
        buffer_ += i ? ",\n" : "\n";
        appendShown(rows[i]);
    }
    buffer_ += "\n]}\n";
    flush(true);
}

void ListPrinter::flush(bool always)
{
    if (buffer_.empty() || (!always && buffer_.size() < kFlushAt))
        return;
    Output::write(out_, buffer_.data(), buffer_.size());
    buffer_.clear();
    if (always && out_ == stdout)
        Output::flush();
    else if (always)
        std::fflush(out_);
}

}  // namespace velmaro::cli
