#pragma once
// The command-line parser shared by orvane-cli and orvane-modsim: long options as `--name value` or
// `--name=value`, short ones as `-b 9600` or `-b9600`, options before or after the words, `--` ends
// the options, and defaults from environment variables for the options that name one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Values.h"

namespace cmdline {

struct OptionSpec {
    const char* name = "";            // "baud", written --baud
    char shortName = 0;               // 'b', written -b; 0: none
    const char* valueName = nullptr;  // "RATE"; null: a flag
    const char* help = "";            // one line for --help
    const char* envVar = nullptr;     // the default's environment variable; null: none
    const char* alias = nullptr;      // another long spelling ("device" for --port); null: none
};

// A value as the user gave it, and where: "--baud", "-b" or "ORVANE_BAUD", for messages.
struct Given {
    std::string text;
    std::string origin;
};

class ParsedLine {
public:
    // Every argument that is not an option, in order.
    std::vector<std::string> words;

    // Given on the command line (a flag or a value).
    bool Has(std::string_view name) const;
    // Every value given on the command line in order; else the environment's default, when set.
    std::vector<Given> All(std::string_view name) const;
    // The last value given (a repeated option: the last one wins); else the environment's default.
    std::optional<Given> Last(std::string_view name) const;
    // The option as the user first wrote it ("-b" or "--baud"), for messages; empty when not given.
    std::string Written(std::string_view name) const;

private:
    friend class OptionParser;
    struct Use {
        std::string name;
        Given given;
        bool fromEnvironment = false;
    };
    std::vector<Use> m_uses;
};

class OptionParser {
public:
    explicit OptionParser(std::vector<OptionSpec> options);

    // Throws BadValue naming the option: unknown options, a missing value, a value given to a flag.
    // Values are not checked here: the caller checks each, naming ParsedLine's origin.
    ParsedLine Parse(const std::vector<std::string>& args) const;

    // "  -b, --baud RATE         help" lines for the named options, in the order named.
    std::string Help(std::initializer_list<std::string_view> names) const;
    // One line per option with an environment variable: the variable, the option, its value now.
    std::string EnvironmentHelp() const;

private:
    const OptionSpec* Find(std::string_view name) const;
    const OptionSpec* FindShort(char c) const;

    std::vector<OptionSpec> m_specs;
};

}  // namespace cmdline
