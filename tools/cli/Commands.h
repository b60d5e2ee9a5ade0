#pragma once
// The commands of orvane-cli. Each writes its result to `out` and returns the exit code, or throws
// CliError; every value has been checked by the command line before a port is opened.

#include <iosfwd>

#include "CliError.h"
#include "CommandLine.h"

namespace cli {

// `err` takes the failures of single ports when a command covers several.
int RunCommand(const Invocation& invocation, std::ostream& out, std::ostream& err);

// The failure on standard error: "orvane-cli: message" and the usage line, or with --json one object
// {"error": "...", "exit": N}.
void PrintError(const CliError& error, bool json, std::ostream& err);

}  // namespace cli
