#pragma once
// orvane-cli's command line: global options, the command and its arguments, every value checked.

#include <optional>
#include <string>
#include <vector>

#include "ModuleReport.h"

namespace cli {

enum class Command { Help, Ports, Info, Search, Read, Write, Apply };
enum class Setting { Channel, Air, Serial, Id, Power };

struct Invocation {
  std::optional<int> port;       // none: the first USB adapter, else the first port that opens
  int baudRate = 9600;
  int parity = 0;
  int timeoutMs = 1000;          // longest wait for each answer
  int intervalMs = 800;          // search: wait at each baud/parity pair
  bool json = false;
  bool trace = false;
  bool quiet = false;            // no "using COMn" note on standard error
  bool all = false;              // ports: UART-less nodes too
  Command command = Command::Help;
  Setting setting = Setting::Channel;  // read and write
  ModuleReport values;                 // write: the value to write, in its field
  std::string profilePath;             // apply: a file, or "-" for standard input
};

extern const char* const kUsage;

// Options may stand before or after the command. Throws CliError(kExitBadUsage) naming the bad
// word and what is allowed.
Invocation ParseCommandLine(const std::vector<std::string>& args);

}  // namespace cli
