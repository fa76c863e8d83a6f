#include "cli/CliOptions.h"

#include <charconv>
#include <optional>

namespace velmaro::cli {

namespace {

std::optional<std::size_t> number(const std::string& text, std::size_t least, std::size_t most)
{
    std::size_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < least || value > most)
        return std::nullopt;
    return value;
}

std::optional<SortKey> sortKey(const std::string& text)
{
    if (text == "name")
        return SortKey::Name;
    if (text == "path")
        return SortKey::Path;
    if (text == "size")
        return SortKey::Size;
    if (text == "created")
        return SortKey::Created;
    if (text == "accessed")
        return SortKey::Accessed;
    return std::nullopt;
}

// "--help" or "-h" anywhere before "--" asks for the help text.
bool wantsHelp(const std::vector<std::string>& args)
{
    for (const std::string& a : args) {
        if (a == "--")
            return false;
        if (a == "--help" || a == "-h")
            return true;
    }
    return !args.empty() && args[0] == "help";
}

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// Walks the arguments after the command word.
class Parser {
public:
    Parser(const std::vector<std::string>& args, CliOptions& options)
        : args_(args)
        , o_(options)
    {}

    std::string run()
    {
        bool optionsEnded = false;
        for (i_ = 1; i_ < args_.size(); ++i_) {
            const std::string& a = args_[i_];
            std::string error;
            if (!optionsEnded && a == "--")
                optionsEnded = true;
            else if (!optionsEnded && a.size() > 1 && a[0] == '-')
                error = option(a);
            else
                error = folder(a);
            if (!error.empty())
                return error;
        }
        if (o_.folder.empty())
            return "kein Ordner angegeben";
        return std::string();
    }

private:
    std::string folder(const std::string& a)
    {
        if (!o_.folder.empty())
            return "mehr als ein Ordner angegeben: " + quoted(o_.folder) + " und " + quoted(a);
        if (a.empty())
            return "leerer Ordnername";
        o_.folder = a;
        return std::string();
    }

    std::string option(const std::string& given)
    {
        std::string name = given;
        std::optional<std::string> inlineValue;
        if (const auto eq = given.find('='); eq != std::string::npos && given.rfind("--", 0) == 0) {
            name = given.substr(0, eq);
            inlineValue = given.substr(eq + 1);
        }
        const bool list = o_.command == Command::List;
        if (name == "--json" && !inlineValue)
            return flag(o_.json);
        if (name == "--workers")
            return valueOf(name, inlineValue, [&](const std::string& v) {
                const auto n = number(v, 1, 256);
                if (n)
                    o_.workers = unsigned(*n);
                return n ? std::string() : "--workers erwartet eine Zahl von 1 bis 256, nicht " + quoted(v);
            });
        if (!list)
            return zeroOption(name, inlineValue, given);
        return listOption(name, inlineValue, given);
    }

    std::string zeroOption(const std::string& name, const std::optional<std::string>& inlineValue,
                           const std::string& given)
    {
        if (name == "--delete" && !inlineValue)
            return flag(o_.deleteZero);
        return "unbekannte Option für zero: " + quoted(given);
    }

    std::string listOption(const std::string& name, const std::optional<std::string>& inlineValue,
                           const std::string& given)
    {
        if (inlineValue && name != "--sort" && name != "--top")
            return "unbekannte Option für list: " + quoted(given);
        if (name == "--bytes")
            return flag(o_.bytes);
        if (name == "--reverse")
            return flag(o_.reverse);
        if (name == "--zero-only")
            return flag(o_.zeroOnly);
        if (name == "--sort")
            return valueOf(name, inlineValue, [&](const std::string& v) {
                const auto key = sortKey(v);
                if (key)
                    o_.sort = *key;
                return key ? std::string()
                           : "--sort erwartet name, path, size, created oder accessed, nicht " + quoted(v);
            });
        if (name == "--top")
            return valueOf(name, inlineValue, [&](const std::string& v) {
                const auto n = number(v, 1, SIZE_MAX);
                if (n)
                    o_.top = *n;
                return n ? std::string() : "--top erwartet eine Zahl ab 1, nicht " + quoted(v);
            });
        return "unbekannte Option für list: " + quoted(given);
    }

    static std::string flag(bool& target)
    {
        target = true;
        return std::string();
    }

    template <typename Apply>
    std::string valueOf(const std::string& name, const std::optional<std::string>& inlineValue, Apply apply)
    {
        if (inlineValue)
            return apply(*inlineValue);
        if (i_ + 1 >= args_.size())
            return name + " erwartet einen Wert";
        return apply(args_[++i_]);
    }

    const std::vector<std::string>& args_;
    CliOptions& o_;
    std::size_t i_ = 1;
};

}  // namespace

CliOptions::Result CliOptions::parse(const std::vector<std::string>& args)
{
    Result result;
    CliOptions& o = result.options;
    const std::string first = args.empty() ? std::string() : args[0];
    if (wantsHelp(args)) {
        o.command = Command::Help;
    } else if (first == "--version") {
        o.command = Command::Version;
    } else if (first == "list" || first == "zero") {
        o.command = first == "list" ? Command::List : Command::Zero;
        result.error = Parser(args, o).run();
    } else {
        result.error = "unbekannter Befehl " + quoted(first);
    }
    if (o.command == Command::Version && args.size() > 1)
        result.error = "unerwartetes Argument " + quoted(args[1]);
    return result;
}

}  // namespace velmaro::cli
