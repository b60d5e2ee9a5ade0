#pragma once
// orvane-cli's command line: options, the command and its arguments, every value checked; the
// help of the program and of each command.

#include <optional>
#include <string>
#include <vector>

#include "ModuleReport.h"

namespace cli {

enum class Command { Help, Version, Ports, Info, Search, Read, Write, Apply };
enum class Setting { Channel, Air, Serial, Id, Power };

struct Invocation {
    std::vector<int> ports;  // none: the first USB adapter, else the first port that opens
    bool allPorts = false;   // every ready port; ports --all: UART-less nodes too
    int baudRate = 9600;
    int parity = 0;
    int timeoutMs = 1000;  // longest wait for each answer
    int intervalMs = 800;  // search: wait at each baud/parity pair
    bool json = false;
    bool trace = false;
    bool quiet = false;        // no progress line, no "using COMn" note
    bool searchFirst = false;  // info --search
    bool watch = false;        // ports --watch
    int waitForSeconds = 0;    // with no --port: wait this long for a port to open; 0 not at all
    Command command = Command::Help;
    std::optional<Command> helpTopic;    // help: one command's help; none: the program's
    Setting setting = Setting::Channel;  // read and write
    ModuleReport values;                 // write: the value to write, in its field
    std::string profilePath;             // apply: a file, or "-" for standard input
    unsigned applied = 0x1F;             // apply: one bit per Setting that is written

    // Several ports at once (more than one --port, or --all): one worker per port, each result
    // printed with its port, then a summary.
    bool Several() const { return command != Command::Ports && (allPorts || ports.size() > 1); }
    bool Applies(Setting s) const { return (applied & (1u << static_cast<unsigned>(s))) != 0; }
};

// Throws CliError(kExitBadUsage) naming the bad option or word and the value, with one usage line.
Invocation ParseCommandLine(const std::vector<std::string>& args);

// The program's help, or one command's.
std::string HelpText(std::optional<Command> topic);

// True when --json stands among the options, even on a command line that fails to parse: errors
// are then printed as JSON too.
bool AsksForJson(const std::vector<std::string>& args);

}  // namespace cli
