#include "WatchCommand.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ostream>

#include "CliError.h"
#include "ModuleLink.h"
#include "PortCommands.h"
#include "platform/PortModel.h"

namespace cli {

namespace {

void PrintEntry(const Invocation& inv, std::ostream& out, const char* event, const char* sign,
                const platform::ListedPort& e)
{
    if (inv.json) {
        // The port's object with the event first.
        out << "{\"event\":\"" << event << "\"," << PortJson(e.info, e.status).substr(1) << '\n';
    } else {
        out << sign << PortLine(e.info, e.status) << '\n';
    }
}

// Blocks until the model's descriptor has events, timeoutMs passes (-1: no limit) or a signal comes:
// poll()'s result, errno EINTR for a signal.
int AwaitEvents(const platform::PortModel& model, int timeoutMs)
{
    pollfd p{model.EventFd(), POLLIN, 0};
    return ::poll(&p, 1, timeoutMs);
}

// A local port that opens: the port taken when none is named is never one on another machine.
bool AnyOpens(const platform::PortModel& model)
{
    const auto& ports = model.Ports();
    return std::any_of(ports.begin(), ports.end(), [](const platform::ListedPort& e) {
        return e.info.port != 0 && e.Opens() && e.info.kind != platform::PortKind::kNetwork;
    });
}

}  // namespace

int WatchPorts(const Invocation& inv, std::ostream& out)
{
    platform::PortModel model;
    for (const platform::ListedPort& e : model.Ports())
        PrintEntry(inv, out, "present", "", e);
    if (!out.flush()) return kExitWriteFailure;
    if (model.EventFd() < 0) throw CliError(kExitPortFailure, "the system sends no device events; cannot watch");
    for (;;) {
        const int ready = AwaitEvents(model, -1);
        // Ctrl-C ends the watch; another signal that has not ended the program: wait on.
        if (ready < 0 && errno == EINTR && ModuleLink::Interrupted()) return kExitInterrupted;
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) throw CliError(kExitPortFailure, "device events cannot be read");
        // A burst of events is read at once and costs one look at the devices.
        model.TakeEvents();
        for (const platform::PortChange& c : model.Refresh())
            PrintEntry(inv, out, c.added ? "added" : "removed", c.added ? "+ " : "- ", c.entry);
        if (!out.flush()) return kExitWriteFailure;
    }
}

void WaitForUsablePort(const Invocation& inv, std::ostream& err)
{
    platform::PortModel model;
    if (AnyOpens(model) || model.EventFd() < 0) return;
    if (!inv.json && !inv.quiet)
        err << "orvane-cli: no serial port can be opened yet; waiting up to " << inv.waitForSeconds << " s for one\n"
            << std::flush;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::seconds(inv.waitForSeconds);
    while (!AnyOpens(model)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) return;
        const int ready = AwaitEvents(model, static_cast<int>(left));
        if (ready < 0 && errno == EINTR && ModuleLink::Interrupted())
            throw CliError(kExitInterrupted, "stopped while waiting for a port");
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return;
        model.TakeEvents();
        model.Refresh();
    }
}

}  // namespace cli
