#pragma once
// orvane-cli over several ports at once: one worker thread per port, each with its own link to its
// module. Each port's result is written whole as soon as it is known, through one writer so that
// lines of different ports never mix; a summary line on standard error ends the run, and the exit
// code is the worst port's: 3 (a port that cannot be used) over 2 (refused) over 1 (no answer or a
// read-back that differs) over 0. An interrupted run ends with what is done so far and exit 130.

#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

#include "CliError.h"

namespace cli {

// Held for every write to standard error by a worker (trace lines) and by the fleet's writer.
std::mutex& OutputLock();

// One port's result as it is printed: text for standard output and for standard error (whole
// lines), and the exit code it counts under.
struct PortOutcome {
    int code = kExitDone;
    std::string out;
    std::string err;
};

// The fleet's failure line: with --json one object on standard output with "port", "error" and
// "exit"; otherwise "orvane-cli: message" on standard error (the message names the port).
PortOutcome FailureOutcome(int port, const CliError& error, bool json);

// Collects the outcomes of a run from any thread and writes each at once, then the summary:
// "12 done, 1 no answer (COM40), 0 could not open", with "refused" and "stopped" added when any
// port ended so.
class FleetWriter {
public:
    FleetWriter(std::ostream& out, std::ostream& err);
    void Write(int port, const PortOutcome& outcome);
    // Writes the summary; the exit code of the run (130 when it was interrupted).
    int Finish();

private:
    std::ostream& m_out;
    std::ostream& m_err;
    std::vector<std::pair<int, int>> m_ended;  // port, exit code, in the order they ended
};

// Runs task(port) on every port at once, one thread each, and writes each outcome as it comes; a
// CliError the task throws is the port's failure. SIGINT and SIGTERM stop the run (see
// ModuleLink::Interrupt): the ports still at work end as stopped. Returns the exit code of the run.
int RunFleet(const std::vector<int>& ports, bool json, const std::function<PortOutcome(int port)>& task,
             std::ostream& out, std::ostream& err);

// While it lives, SIGINT and SIGTERM interrupt every wait for an answer instead of ending the program.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

}  // namespace cli
