// orvane-modsim: the radio module on a pseudo-terminal, linked as comN in the ports directory.

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "OptionParser.h"
#include "OrvaneVersion.h"
#include "StandardStreams.h"
#include "model/NetworkServer.h"
#include "model/PtyModule.h"
#include "platform/PortNamespace.h"
#include "protocol/ChannelTables.h"
#include "protocol/ModuleFrame.h"

namespace {

const cmdline::OptionParser& Parser()
{
    static const cmdline::OptionParser parser({
        {"port", 0, "PORT", "the port offered: COMn, comn or n, 1 to 63 (COM1); with --count the first one tried"},
        {"count", 0, "N", "offer N modules on the first N free ports from --port on, 1 to 63 (1)"},
        {"id-start", 0, "N", "with --count: factory IDs N, N+1, ... one per module (--id for all)"},
        {"type", 0, "T", "433 or 490 MHz module (433)"},
        {"baud", 'b', "RATE", "module's serial baud rate, 1200 to 115200 (9600)"},
        {"parity", 'p', "PARITY", "none, odd or even; n, o, e and any case too (none)"},
        {"air", 0, "RATE", "air baud rate, 1200 to 115200 (9600)"},
        {"channel", 0, "N", "channel, 1 to 32 (1)"},
        {"id", 0, "N", "factory ID, 0 to 65535 (0)"},
        {"power", 0, "N", "transmit power level, 1 to 7 (7)"},
        {"delay-ms", 0, "MS", "wait MS before each answer, 0 to 60000 (0)"},
        {"drop", 0, "P", "leave each answer unsent with probability P, 0 to 1 (0)"},
        {"noise", 0, nullptr, "send a few stray bytes before each answer"},
        {"split", 0, nullptr, "send each answer in two writes"},
        {"verbose", 0, nullptr, "print each request and answer in hex"},
        {"serve", 0, "rfc2217[:TCP]",
         "also offer the module over the network on 127.0.0.1, at TCP port TCP (a free one)"},
        {"help", 'h', nullptr, "this help"},
        {"version", 'V', nullptr, "print the version and exit"},
    });
    return parser;
}

std::string Help()
{
    return "usage: orvane-modsim [OPTIONS]\n"
           "\n"
           "Offers a simulated radio module as a COM port: links comN in the ports directory\n"
           "($XDG_CONFIG_HOME/orvane/ports) to a pseudo-terminal and answers requests sent at the module's\n"
           "own serial settings. A pseudo-terminal cannot tell parity \"none\" from \"even\": both are taken.\n"
           "It makes no link when there is no home, nor in a ports directory that another user owns or\n"
           "can write to (or reaches through a link of another user's).\n"
           "With --count N it offers N modules at once, each on its own pseudo-terminal and port: the first\n"
           "N ports from --port on that have no entry in the ports directory. Every link goes on exit.\n"
           "\n"
           "Options (--name=value works too):\n"
        + Parser().Help({"port", "count", "id-start", "type", "baud", "parity", "air", "channel", "id", "power",
                         "delay-ms", "drop", "noise", "split", "verbose", "serve", "help", "version"});
}

double ParseProbability(const cmdline::Given& g)
{
    try {
        std::size_t used = 0;
        const double p = std::stod(g.text, &used);
        if (used == g.text.size() && p >= 0.0 && p <= 1.0) return p;
    } catch (const std::exception&) { }
    throw cmdline::BadValue(g.origin + " must be a probability from 0 to 1, not '" + cmdline::Printable(g.text) + "'");
}

struct Fleet {
    int count = 1;
    std::optional<int> idStart;
};

// "rfc2217" or "rfc2217:PORT": the TCP port to serve on, 0 for a free one.
int ParseServe(const cmdline::Given& g)
{
    const std::string_view text = g.text;
    if (text == "rfc2217") return 0;
    if (text.starts_with("rfc2217:")) return cmdline::ParseInRange(text.substr(8), g.origin + " port", 1, 65535);
    throw cmdline::BadValue(g.origin + " must be rfc2217 or rfc2217:PORT, not '" + cmdline::Printable(g.text) + "'");
}

// The simulator's settings from the command line; BadValue for anything that cannot be used.
modsim::PtyModuleOptions ParseOptions(const cmdline::ParsedLine& line, bool* verbose, Fleet* fleet,
                                      std::optional<int>* serve)
{
    if (!line.words.empty())
        throw cmdline::BadValue("unexpected '" + cmdline::Printable(line.words.front()) + "'; options only");
    modsim::PtyModuleOptions options;
    modsim::ModuleSettings& s = options.settings;
    if (auto g = line.Last("port")) options.port = cmdline::ParsePort(g->text, g->origin);
    if (auto g = line.Last("type")) {
        if (g->text != "433" && g->text != "490")
            throw cmdline::BadValue(g->origin + " must be 433 or 490, not '" + cmdline::Printable(g->text) + "'");
        s.moduleType = g->text == "433" ? protocol::kModuleType433 : protocol::kModuleType490;
    }
    if (auto g = line.Last("baud")) s.baudIndex = cmdline::ParseBaudCode(g->text, g->origin) - 1;
    if (auto g = line.Last("parity")) s.parity = cmdline::ParseParity(g->text, g->origin);
    if (auto g = line.Last("air")) s.airBaudIndex = cmdline::ParseBaudCode(g->text, g->origin) - 1;
    if (auto g = line.Last("channel")) s.channel = cmdline::ParseChannel(g->text, g->origin);
    if (auto g = line.Last("id")) s.guestId = cmdline::ParseGuestId(g->text, g->origin);
    if (auto g = line.Last("power")) s.power = cmdline::ParsePower(g->text, g->origin);
    if (auto g = line.Last("delay-ms")) options.delayMs = cmdline::ParseInRange(g->text, g->origin, 0, 60000);
    if (auto g = line.Last("drop")) options.dropProbability = ParseProbability(*g);
    options.noise = line.Has("noise");
    options.split = line.Has("split");
    *verbose = line.Has("verbose");
    if (auto g = line.Last("serve")) *serve = ParseServe(*g);
    if (auto g = line.Last("count"))
        fleet->count = cmdline::ParseInRange(g->text, g->origin, 1, platform::kHighestPort);
    if (auto g = line.Last("id-start")) {
        fleet->idStart = cmdline::ParseGuestId(g->text, g->origin);
        if (*fleet->idStart + fleet->count - 1 > 65535)
            throw cmdline::BadValue(g->origin + " " + std::to_string(*fleet->idStart) + " leaves no ID for the last of "
                                    + std::to_string(fleet->count) + " modules (at most 65535)");
    }
    return options;
}

// Starts `fleet.count` modules on the first free ports from options.port on; the first failure
// stops them all.
bool StartModules(const modsim::PtyModuleOptions& options, const Fleet& fleet,
                  std::vector<std::unique_ptr<modsim::PtyModule>>* modules, std::string* error)
{
    int port = options.port;
    for (int i = 0; i < fleet.count; ++i, ++port) {
        while (port <= platform::kHighestPort && !modsim::PtyModule::PortFree(port))
            ++port;
        if (port > platform::kHighestPort) {
            *error = "no free port for module " + std::to_string(i + 1) + " of " + std::to_string(fleet.count);
            break;
        }
        modsim::PtyModuleOptions one = options;
        one.port = port;
        one.seed = options.seed + static_cast<std::uint32_t>(i);
        if (fleet.idStart) one.settings.guestId = *fleet.idStart + i;
        modules->push_back(std::make_unique<modsim::PtyModule>(one));
        if (!modules->back()->Start(error)) break;
    }
    if (static_cast<int>(modules->size()) == fleet.count && error->empty()) return true;
    modules->clear();
    return false;
}

// Offers each module over the network: on free TCP ports, or on firstPort and the ones after it.
bool ServeModules(const std::vector<std::unique_ptr<modsim::PtyModule>>& modules, int firstPort,
                  const std::function<void(const std::string&)>& log,
                  std::vector<std::unique_ptr<modsim::NetworkServer>>* servers, std::string* error)
{
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const int port = firstPort == 0 ? 0 : firstPort + static_cast<int>(i);
        servers->push_back(std::make_unique<modsim::NetworkServer>(modules[i]->DevicePath(), log));
        if (port > 65535 || !servers->back()->Start(port, error)) {
            if (port > 65535) *error = "no TCP port left for module " + std::to_string(i + 1);
            return false;
        }
        std::printf("serving rfc2217://127.0.0.1:%d for COM%d\n", servers->back()->Port(), modules[i]->Port());
    }
    return true;
}

// One line a module: where it is and the line settings it answers at.
void PrintStartLines(const std::vector<std::unique_ptr<modsim::PtyModule>>& modules, const modsim::ModuleSettings& s,
                     const Fleet& fleet)
{
    for (const auto& module : modules) {
        std::printf("module simulator on COM%d (%s): %d %s, %d MHz", module->Port(), module->DevicePath().c_str(),
                    protocol::kBaudRates[static_cast<std::size_t>(s.baudIndex)],
                    protocol::kParityNames[static_cast<std::size_t>(s.parity)],
                    protocol::ModuleBandMhz(s.moduleType).value_or(0));
        if (fleet.idStart) std::printf(", ID %d", module->Settings().guestId);
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // A closed standard output must not become the pty, which would then carry the banner.
    cmdline::KeepStandardDescriptors();
    modsim::PtyModuleOptions options;
    bool verbose = false;
    Fleet fleet;
    std::optional<int> serve;
    try {
        const cmdline::ParsedLine line = Parser().Parse(std::vector<std::string>(argv + 1, argv + argc));
        if (line.Has("help")) return cmdline::PrintAndClose("orvane-modsim", Help());
        if (line.Has("version"))
            return cmdline::PrintAndClose("orvane-modsim", std::string("orvane-modsim ") + kOrvaneVersion + "\n");
        options = ParseOptions(line, &verbose, &fleet, &serve);
    } catch (const cmdline::BadValue& e) {
        std::fprintf(stderr, "orvane-modsim: %s\nusage: orvane-modsim [OPTIONS]; see 'orvane-modsim --help'\n",
                     e.what());
        return 2;
    }
    if (verbose) {
        options.log = [](const std::string& line) {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
        };
    }

    // Signals are taken by sigwait below; block them before the serving thread exists so it inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    std::vector<std::unique_ptr<modsim::PtyModule>> modules;
    std::string error;
    if (!StartModules(options, fleet, &modules, &error)) {
        std::fprintf(stderr, "orvane-modsim: %s\n", error.c_str());
        return 1;
    }
    PrintStartLines(modules, options.settings, fleet);
    std::vector<std::unique_ptr<modsim::NetworkServer>> servers;
    if (serve && !ServeModules(modules, *serve, options.log, &servers, &error)) {
        std::fprintf(stderr, "orvane-modsim: %s\n", error.c_str());
        return 1;
    }
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    servers.clear();
    modules.clear();  // each stops and removes its link
    return 0;
}
