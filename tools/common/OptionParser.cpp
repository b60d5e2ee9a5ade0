#include "OptionParser.h"

#include <cstdlib>

namespace cmdline {

namespace {

constexpr std::size_t kHelpColumn = 26;

std::string Padded(std::string text, std::size_t column)
{
    text += text.size() + 1 < column ? std::string(column - text.size(), ' ')
                                     : std::string("\n") + std::string(column, ' ');
    return text;
}

// "-12" and "-1" are values (a negative number is refused by its check, not taken for an option).
bool LooksLikeOption(const std::string& arg)
{
    return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

}  // namespace

bool ParsedLine::Has(std::string_view name) const
{
    for (const Use& u : m_uses) {
        if (u.name == name && !u.fromEnvironment) return true;
    }
    return false;
}

std::vector<Given> ParsedLine::All(std::string_view name) const
{
    std::vector<Given> out;
    // The command line's values when it has any, else the environment's.
    const bool onLine = Has(name);
    for (const Use& u : m_uses) {
        if (u.name == name && u.fromEnvironment != onLine) out.push_back(u.given);
    }
    return out;
}

std::optional<Given> ParsedLine::Last(std::string_view name) const
{
    std::vector<Given> all = All(name);
    if (all.empty()) return std::nullopt;
    return all.back();
}

std::string ParsedLine::Written(std::string_view name) const
{
    for (const Use& u : m_uses) {
        if (u.name == name && !u.fromEnvironment) return u.given.origin;
    }
    return {};
}

OptionParser::OptionParser(std::vector<OptionSpec> options)
    : m_specs(std::move(options))
{ }

const OptionSpec* OptionParser::Find(std::string_view name) const
{
    for (const OptionSpec& s : m_specs) {
        if (name == s.name || (s.alias != nullptr && name == s.alias)) return &s;
    }
    return nullptr;
}

const OptionSpec* OptionParser::FindShort(char c) const
{
    for (const OptionSpec& s : m_specs) {
        if (s.shortName != 0 && s.shortName == c) return &s;
    }
    return nullptr;
}

ParsedLine OptionParser::Parse(const std::vector<std::string>& args) const
{
    ParsedLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !LooksLikeOption(arg)) {
            line.words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionSpec* spec = nullptr;
        std::string written;
        std::optional<std::string> attached;
        if (arg.starts_with("--")) {
            const std::size_t eq = arg.find('=');
            written = arg.substr(0, eq);
            if (eq != std::string::npos) attached = arg.substr(eq + 1);
            spec = Find(std::string_view(written).substr(2));
        } else {
            written = arg.substr(0, 2);
            spec = FindShort(arg[1]);
            if (arg.size() > 2) {
                if (spec != nullptr && spec->valueName == nullptr) {
                    spec = nullptr;  // -qx: flags are not bundled
                    written = arg;
                } else {
                    attached = arg.substr(2);  // -b9600 is -b 9600
                }
            }
        }
        if (spec == nullptr) throw BadValue("unknown option '" + Printable(written) + "'");
        if (spec->valueName == nullptr) {
            if (attached) throw BadValue(written + " takes no value");
            line.m_uses.push_back({spec->name, {"", written}, false});
            continue;
        }
        if (!attached) {
            if (i + 1 >= args.size()) throw BadValue(written + " needs a value (" + spec->valueName + ")");
            attached = args[++i];
        }
        line.m_uses.push_back({spec->name, {*attached, written}, false});
    }
    for (const OptionSpec& s : m_specs) {
        if (s.envVar == nullptr || line.Has(s.name)) continue;
        // An empty variable counts as unset, as in most shells' habits.
        if (const char* v = std::getenv(s.envVar); v != nullptr && *v != '\0')
            line.m_uses.push_back({s.name, {v, s.envVar}, true});
    }
    return line;
}

std::string OptionParser::Help(std::initializer_list<std::string_view> names) const
{
    std::string out;
    for (std::string_view name : names) {
        const OptionSpec* s = Find(name);
        if (s == nullptr) continue;
        std::string left = s->shortName ? std::string("  -") + s->shortName + ", " : std::string("      ");
        left += std::string("--") + s->name;
        if (s->alias) left += std::string(", --") + s->alias;
        if (s->valueName) left += std::string(" ") + s->valueName;
        out += Padded(left, kHelpColumn) + s->help + "\n";
    }
    return out;
}

std::string OptionParser::EnvironmentHelp() const
{
    std::string out;
    for (const OptionSpec& s : m_specs) {
        if (s.envVar == nullptr) continue;
        const char* v = std::getenv(s.envVar);
        const std::string now = v != nullptr && *v != '\0' ? "now '" + Printable(v) + "'" : "not set";
        out += Padded(std::string("  ") + s.envVar, kHelpColumn) + "default for --" + s.name + " (" + now + ")\n";
    }
    return out;
}

}  // namespace cmdline
