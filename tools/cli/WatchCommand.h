#pragma once
// orvane-cli's live port list: `ports --watch`, and --wait-for, which waits for a port to be
// plugged in before a command talks to the module.

#include <iosfwd>

#include "CommandLine.h"

namespace cli {

// Prints the ports as `ports` does, then a line for each port that comes ("+ ") or goes ("- "),
// until interrupted; with --json one object a line, its "event" "present", "added" or "removed".
// Returns (exit 3) only when the system sends no device events or the output cannot be written.
int WatchPorts(const Invocation& inv, std::ostream& out);

// Waits up to --wait-for seconds until some port with a COM number opens; returns at once when one does.
// Says on `err` that it waits, unless --json or --quiet.
void WaitForUsablePort(const Invocation& inv, std::ostream& err);

}  // namespace cli
