#pragma once
// orvane-cli's side of the ports: the `ports` listing and the port taken when none was named.

#include <iosfwd>
#include <vector>

#include "CommandLine.h"

namespace cli {

// Every serial device the system has, with its COM name, device, state, description and by-id
// name; UART-less nodes only with --all. The dialout hint goes to standard error, once.
int Ports(const Invocation& inv, std::ostream& out, std::ostream& err);

// The port named by --port; otherwise the first USB adapter, else the first port that opens, said
// on `err` ("using COM33 (/dev/ttyUSB0, CP2102 USB to UART Bridge Controller)") unless --json or
// --quiet. CliError(kExitPortFailure) when there is none.
int ChoosePort(const Invocation& inv, std::ostream& err);

// search --all: the COM numbers of every local port that is ready now, in the order `ports` lists them.
std::vector<int> ReadyPorts();

}  // namespace cli
