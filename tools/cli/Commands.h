#pragma once
// The commands of orvane-cli. Each writes its result to `out` and returns the exit code, or throws
// CliError; every value has been checked by the command line before a port is opened.

#include <iosfwd>

#include "CommandLine.h"

namespace cli {

int RunCommand(const Invocation& invocation, std::ostream& out, std::istream& in);

}  // namespace cli
