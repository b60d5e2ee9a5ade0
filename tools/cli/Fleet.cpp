#include "Fleet.h"

#include <csignal>
#include <ostream>
#include <system_error>
#include <thread>

#include "ModuleLink.h"
#include "ModuleReport.h"
#include "platform/PortNamespace.h"

namespace cli {

namespace {

struct sigaction g_oldInt { };
struct sigaction g_oldTerm { };

void OnInterrupt(int) { ModuleLink::Interrupt(); }

// "1 no answer (COM40)": the count, and the ports when there are any.
std::string Counted(const std::vector<std::pair<int, int>>& ended, int code, const char* what)
{
    std::string names;
    int count = 0;
    for (const auto& [port, c] : ended) {
        if (c != code) continue;
        names += (count++ ? ", " : "") + platform::PortDisplayName(port);
    }
    // Those done are not named: in a fleet they are the many.
    const bool named = count != 0 && code != kExitDone;
    return std::to_string(count) + " " + what + (named ? " (" + names + ")" : std::string());
}

}  // namespace

std::mutex& OutputLock()
{
    static std::mutex lock;
    return lock;
}

PortOutcome FailureOutcome(int port, const CliError& error, bool json)
{
    PortOutcome o;
    o.code = error.Code();
    if (json) {
        o.out = "{\"port\":" + Quoted(platform::PortDisplayName(port)) + ",\"error\":" + Quoted(error.what())
            + ",\"exit\":" + std::to_string(error.Code()) + "}\n";
    } else {
        o.err = std::string("orvane-cli: ") + error.what() + "\n";
    }
    return o;
}

FleetWriter::FleetWriter(std::ostream& out, std::ostream& err)
    : m_out(out)
    , m_err(err)
{ }

void FleetWriter::Write(int port, const PortOutcome& outcome)
{
    const std::lock_guard guard(OutputLock());
    m_ended.emplace_back(port, outcome.code);
    // Standard output first: a script reading it sees the port's result as soon as it is known.
    m_out << outcome.out << std::flush;
    m_err << outcome.err << std::flush;
}

int FleetWriter::Finish()
{
    const std::lock_guard guard(OutputLock());
    int code = kExitDone;
    for (const auto& [port, c] : m_ended)
        code = c == kExitInterrupted || code == kExitInterrupted ? kExitInterrupted : std::max(code, c);
    std::string summary = Counted(m_ended, kExitDone, "done") + ", " + Counted(m_ended, kExitNoAnswer, "no answer")
        + ", " + Counted(m_ended, kExitPortFailure, "could not open");
    if (code == kExitInterrupted) summary += ", " + Counted(m_ended, kExitInterrupted, "stopped");
    for (const auto& [port, c] : m_ended) {
        if (c == kExitBadUsage) {
            summary += ", " + Counted(m_ended, kExitBadUsage, "refused");
            break;
        }
    }
    m_err << summary << '\n' << std::flush;
    return code;
}

int RunFleet(const std::vector<int>& ports, bool json, const std::function<PortOutcome(int port)>& task,
             std::ostream& out, std::ostream& err)
{
    FleetWriter writer(out, err);
    auto work = [&writer, &task, json](int port) {
        PortOutcome outcome;
        try {
            outcome = task(port);
        } catch (const CliError& e) {
            outcome = FailureOutcome(port, e, json);
        } catch (const std::exception& e) {
            outcome = FailureOutcome(port, CliError(kExitPortFailure, e.what()), json);
        }
        writer.Write(port, outcome);
    };
    const InterruptGuard interrupts;
    {
        std::vector<std::jthread> workers;
        workers.reserve(ports.size());
        for (int port : ports) {
            try {
                workers.emplace_back(work, port);
            } catch (const std::system_error&) {
                const CliError failure(kExitPortFailure,
                                       "cannot start a worker for " + platform::PortDisplayName(port));
                writer.Write(port, FailureOutcome(port, failure, json));
            }
        }
    }  // every worker has ended here
    return writer.Finish();
}

InterruptGuard::InterruptGuard()
{
    // The signal exists before the handler that sets it can run.
    ModuleLink::Interrupted();
    struct sigaction action { };
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &g_oldInt);
    ::sigaction(SIGTERM, &action, &g_oldTerm);
}

InterruptGuard::~InterruptGuard()
{
    ::sigaction(SIGINT, &g_oldInt, nullptr);
    ::sigaction(SIGTERM, &g_oldTerm, nullptr);
}

}  // namespace cli
