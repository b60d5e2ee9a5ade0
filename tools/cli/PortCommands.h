#pragma once
// orvane-cli's side of the ports: the `ports` listing and the port taken when none was named.

#include <iosfwd>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "platform/PortResolver.h"

namespace cli {

// One port as `ports` prints it: the tab-separated line (COM name, device, state, description,
// by-id name), or the JSON object; without a newline.
std::string PortLine(const platform::SerialPortInfo& p, const platform::PortStatus& s);
std::string PortJson(const platform::SerialPortInfo& p, const platform::PortStatus& s);

// Every serial device the system has, with its COM name, device, state, description and by-id
// name; UART-less nodes only with --all. The dialout hint goes to standard error, once.
int Ports(const Invocation& inv, std::ostream& out, std::ostream& err);

// The port named by --port; otherwise (after --wait-for's wait for one) the first USB adapter, else the first port that opens, said
// on `err` ("using COM33 (/dev/ttyUSB0, CP2102 USB to UART Bridge Controller)") unless --json or
// --quiet. CliError(kExitPortFailure) when there is none.
int ChoosePort(const Invocation& inv, std::ostream& err);

// How to name a port on the next command line: its COM name, or the path of a device whose number
// holds for this run only (a pty named by path).
std::string PortArgument(int port);

// search --all: the COM numbers of every local port that is ready now, in the order `ports` lists them.
std::vector<int> ReadyPorts();

}  // namespace cli
