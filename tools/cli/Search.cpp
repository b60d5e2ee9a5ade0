#include "Search.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <string>

#include "Commands.h"
#include "Fleet.h"
#include "ModuleReport.h"
#include "PortCommands.h"
#include "platform/PortNamespace.h"
#include "protocol/ChannelTables.h"
#include "protocol/SearchOrder.h"

namespace cli {

namespace {

// The one updating line that shows a search's progress on a terminal: each Show replaces it, Clear
// removes it, Finish ends it with a newline (stopped: where the search was stays in view). Silent when standard error is no terminal, with --quiet and --json, and with --trace
// (whose lines it would break).
class ProgressLine {
public:
    explicit ProgressLine(const Invocation& inv)
        : m_on(::isatty(STDERR_FILENO) == 1 && !inv.quiet && !inv.json && !inv.trace)
    { }
    ~ProgressLine() { Clear(); }
    void Show(const std::string& text)
    {
        if (!m_on) return;
        std::cerr << "\r" << text << "\x1b[K" << std::flush;
        m_shown = true;
    }
    void Clear()
    {
        if (!m_shown) return;
        std::cerr << "\r\x1b[K" << std::flush;
        m_shown = false;
    }
    void Finish()
    {
        if (!m_shown) return;
        std::cerr << "\n" << std::flush;
        m_shown = false;
    }

private:
    bool m_on;
    bool m_shown = false;
};

using Pairs = std::vector<protocol::SearchPair>;

std::string PairText(const protocol::SearchPair& pair)
{
    return std::to_string(protocol::kBaudRates[static_cast<std::size_t>(pair.baudItem)]) + " "
        + protocol::kParityNames[static_cast<std::size_t>(pair.parityItem)];
}

// Runs a step on one port; a port that fails stops searching and keeps its failure.
void Attempt(PortSearch& s, const std::function<void()>& step)
{
    try {
        step();
    } catch (const CliError& e) {
        s.failure = e;
        s.searching = false;
    }
}

std::vector<PortSearch> OpenSearches(const std::vector<int>& ports, const Invocation& inv)
{
    std::vector<PortSearch> searches(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        PortSearch& s = searches[i];
        s.port = ports[i];
        s.link = std::make_unique<ModuleLink>(inv.trace, inv.Several());
        Attempt(s, [&] { s.link->Open(s.port, inv.baudRate, inv.parity); });
    }
    return searches;
}

template <typename Wanted> std::vector<ModuleLink*> LinksOf(std::vector<PortSearch>& searches, Wanted wanted)
{
    std::vector<ModuleLink*> links;
    for (PortSearch& s : searches) {
        if (s.searching && wanted(s)) links.push_back(s.link.get());
    }
    return links;
}

// "searching COM1: 9600 No (1/27), COM2: ..."; empty when no port is searching any more.
std::string Status(const std::vector<PortSearch>& searches, const Pairs& pairs)
{
    std::string status;
    for (const PortSearch& s : searches) {
        if (!s.searching) continue;
        status += (status.empty() ? "searching " : ", ") + platform::PortDisplayName(s.port) + ": "
            + PairText(pairs[s.next]) + " (" + std::to_string(s.next + 1) + "/" + std::to_string(pairs.size()) + ")";
    }
    return status;
}

// One round: every port still searching sends the search request at its pair and all wait one
// interval together; those that answered ask again at the same pair (a late answer to the previous
// pair's request would name the wrong pair). Confirmed ports are found, the others move on.
void Round(std::vector<PortSearch>& searches, const Pairs& pairs, const Invocation& inv)
{
    for (PortSearch& s : searches) {
        if (!s.searching) continue;
        const protocol::SearchPair& pair = pairs[s.next];
        Attempt(s, [&] {
            s.link->Reconfigure(protocol::kBaudRates[static_cast<std::size_t>(pair.baudItem)], pair.parityItem);
            s.link->Post(kSearchRequest);
        });
    }
    ModuleLink::AwaitAnswers(LinksOf(searches, [](const PortSearch&) { return true; }), inv.intervalMs);

    const std::vector<ModuleLink*> answered
        = LinksOf(searches, [](const PortSearch& s) { return s.link->Answer().has_value(); });
    for (PortSearch& s : searches) {
        if (s.searching && s.link->Answer()) Attempt(s, [&] { s.link->Post(kSearchRequest); });
    }
    auto wasAnswered = [&answered](const PortSearch& s) {
        return std::find(answered.begin(), answered.end(), s.link.get()) != answered.end();
    };
    ModuleLink::AwaitAnswers(LinksOf(searches, wasAnswered), inv.timeoutMs);
    for (PortSearch& s : searches) {
        if (!s.searching) continue;
        if (ModuleLink::Interrupted()) {
            s.failure = CliError(kExitInterrupted, "stopped on " + platform::PortDisplayName(s.port));
            s.searching = false;
        } else if (wasAnswered(s) && s.link->Answer().has_value()) {
            s.moduleType = (*s.link->Answer())[protocol::kModuleTypeByte];
            s.searching = false;
        } else if (++s.next == pairs.size()) {
            s.failure = CliError(kExitNoAnswer,
                                 "no module answered a search on " + platform::PortDisplayName(s.port) + " ("
                                     + std::to_string(pairs.size()) + " baud/parity pairs tried, "
                                     + std::to_string(inv.intervalMs) + " ms each)");
            s.searching = false;
        }
    }
}

// A port found: two lines, or with --json one object ("exit" last when several ports are searched).
std::string FoundText(const PortSearch& s, const Invocation& inv)
{
    const std::string port = platform::PortDisplayName(s.port);
    const std::string module = ModuleTypeText(*s.moduleType);
    const std::string baudRate = std::to_string(s.link->BaudRate());
    const int parity = s.link->Parity();
    if (!inv.json) {
        return "found " + port + ' ' + baudRate + ' ' + ParityText(parity) + ' ' + module + "\n  use: --port "
            + PortArgument(s.port) + " --baud " + baudRate + " --parity " + ParityWordText(parity) + '\n';
    }
    std::string json = "{\"port\":" + Quoted(port) + ",\"baud\":" + baudRate
        + ",\"parity\":" + Quoted(ParityWordText(parity)) + ",\"module\":" + Quoted(module);
    if (const auto mhz = protocol::ModuleBandMhz(*s.moduleType)) json += ",\"band_mhz\":" + std::to_string(*mhz);
    return json + (inv.Several() ? ",\"exit\":0}\n" : "}\n");
}

}  // namespace

std::vector<PortSearch> SearchPorts(const std::vector<int>& ports, const Invocation& inv,
                                    const std::function<void(const PortSearch&)>& ended)
{
    const auto pairs = protocol::SearchPairs(protocol::BaudIndexOfRate(inv.baudRate).value_or(-1), inv.parity,
                                             static_cast<int>(protocol::kBaudRates.size()),
                                             static_cast<int>(protocol::kParityNames.size()));
    std::vector<PortSearch> searches = OpenSearches(ports, inv);
    ProgressLine progress(inv);
    auto tell = [&] {
        for (PortSearch& s : searches) {
            if (s.searching || s.told || !ended) continue;
            s.told = true;
            if (s.failure && s.failure->Code() == kExitInterrupted) {
                progress.Finish();
            } else {
                progress.Clear();
            }
            ended(s);
        }
    };
    tell();
    for (std::string status; !(status = Status(searches, pairs)).empty(); tell()) {
        progress.Show(status);
        Round(searches, pairs, inv);
    }
    return searches;
}

std::vector<int> CoveredPorts(const Invocation& inv, std::ostream& err)
{
    if (!inv.allPorts) return inv.ports.empty() ? std::vector<int>{ChoosePort(inv, err)} : inv.ports;
    const std::vector<int> ports = ReadyPorts();
    if (ports.empty()) throw CliError(kExitPortFailure, "no serial port can be opened; see 'orvane-cli ports'");
    return ports;
}

int Search(const Invocation& inv, std::ostream& out, std::ostream& err)
{
    const std::vector<int> ports = CoveredPorts(inv, err);
    if (!inv.Several()) {
        int code = kExitDone;
        SearchPorts(ports, inv, [&](const PortSearch& s) {
            if (s.failure) {
                PrintError(*s.failure, inv.json, err);
                code = s.failure->Code();
            } else {
                out << FoundText(s, inv) << std::flush;
            }
        });
        return code;
    }
    FleetWriter writer(out, err);
    const InterruptGuard interrupts;
    SearchPorts(ports, inv, [&](const PortSearch& s) {
        writer.Write(s.port,
                     s.failure ? FailureOutcome(s.port, *s.failure, inv.json) : PortOutcome{0, FoundText(s, inv), {}});
    });
    return writer.Finish();
}

}  // namespace cli
