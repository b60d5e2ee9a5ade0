#include "Commands.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <vector>

#include "CliError.h"
#include "ModuleLink.h"
#include "OrvaneVersion.h"
#include "PortCommands.h"
#include "ProfileSource.h"
#include "platform/PortNamespace.h"
#include "protocol/ChannelTables.h"
#include "protocol/ModuleFrame.h"
#include "protocol/SearchOrder.h"
#include "serial/CXSerial.h"

namespace cli {

namespace {

constexpr Request kSearchRequest{protocol::SearchRequest(), "search"};
constexpr Request kReadChannel{protocol::ReadRequest(protocol::kReadChannel), "read channel"};
constexpr Request kReadAir{protocol::ReadRequest(protocol::kReadAirBaud), "read air baud rate"};
constexpr Request kReadSerial{protocol::ReadRequest(protocol::kReadComParams), "read serial settings"};
constexpr Request kReadId{protocol::ReadRequest(protocol::kReadGuestId), "read ID"};

std::uint8_t Byte(int v) { return static_cast<std::uint8_t>(v); }

Request WriteChannel(int channel) { return {protocol::WriteChannelRequest(Byte(channel)), "write channel"}; }
Request WriteAir(int code) { return {protocol::WriteAirBaudRequest(Byte(code)), "write air baud rate"}; }
Request WriteSerial(int code, int parity)
{
    return {protocol::WriteComParamsRequest(Byte(code), Byte(parity)), "write serial settings"};
}
Request WriteId(int id) { return {protocol::WriteGuestIdRequest(id), "write ID"}; }
Request WritePower(int level) { return {protocol::WritePowerRequest(Byte(level)), "write power"}; }

void Print(std::ostream& out, const Invocation& inv, const ModuleReport& report)
{
    out << (inv.json ? FormatJson(report) : FormatPlain(report));
}

// The one updating line that shows a search's progress on a terminal: each Show replaces it, Clear
// removes it. Silent when standard error is no terminal, with --quiet and --json, and with --trace
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

private:
    bool m_on;
    bool m_shown = false;
};

// Each read asks one question and fills its fields of the report.
void ReadModuleType(ModuleLink& link, int timeoutMs, ModuleReport& r)
{
    r.moduleType = link.Ask(kSearchRequest, timeoutMs)[protocol::kModuleTypeByte];
}
void ReadChannel(ModuleLink& link, int timeoutMs, ModuleReport& r) { r.channel = link.Ask(kReadChannel, timeoutMs)[0]; }
void ReadAir(ModuleLink& link, int timeoutMs, ModuleReport& r) { r.airBaudCode = link.Ask(kReadAir, timeoutMs)[0]; }
void ReadSerial(ModuleLink& link, int timeoutMs, ModuleReport& r)
{
    const auto data = link.Ask(kReadSerial, timeoutMs);
    r.serialBaudCode = data[0];
    r.serialParity = data[1];
}
void ReadId(ModuleLink& link, int timeoutMs, ModuleReport& r)
{
    const auto data = link.Ask(kReadId, timeoutMs);
    r.guestId = protocol::GuestIdOf(data[0], data[1]);
}

// One port's search: its link, the pairs still to try, and how it ended.
struct PortSearch {
    int port = 0;
    std::unique_ptr<ModuleLink> link;
    std::size_t next = 0;  // the pair being tried
    bool searching = true;
    std::optional<std::uint8_t> moduleType;  // found: the band the answer told
    std::optional<CliError> failure;
};

std::string PairText(const protocol::SearchPair& pair)
{
    return std::to_string(protocol::kBaudRates[static_cast<std::size_t>(pair.baudItem)]) + " "
        + protocol::kParityNames[static_cast<std::size_t>(pair.parityItem)];
}

// Searches every port at once, in rounds: each round moves every port still searching to its next
// pair, sends the search request on each and waits one interval for all of them, so that several
// ports take as long as the slowest one alone. An answer is confirmed by a second request at the
// same pair: a late answer to the previous pair's request would name the wrong pair.
std::vector<PortSearch> SearchPorts(const std::vector<int>& ports, const Invocation& inv)
{
    const auto pairs = protocol::SearchPairs(protocol::BaudIndexOfRate(inv.baudRate).value_or(-1), inv.parity,
                                             static_cast<int>(protocol::kBaudRates.size()),
                                             static_cast<int>(protocol::kParityNames.size()));
    std::vector<PortSearch> searches(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        PortSearch& s = searches[i];
        s.port = ports[i];
        s.link = std::make_unique<ModuleLink>(inv.trace);
        try {
            s.link->Open(s.port, inv.baudRate, inv.parity);
        } catch (const CliError& e) {
            s.failure = e;
            s.searching = false;
        }
    }
    // Runs a step on one port; a port that fails stops searching and keeps its failure.
    auto attempt = [](PortSearch& s, auto step) {
        try {
            step();
        } catch (const CliError& e) {
            s.failure = e;
            s.searching = false;
        }
    };
    auto linksOf = [&searches](auto wanted) {
        std::vector<ModuleLink*> links;
        for (PortSearch& s : searches) {
            if (s.searching && wanted(s)) links.push_back(s.link.get());
        }
        return links;
    };

    ProgressLine progress(inv);
    for (;;) {
        std::string status;
        for (PortSearch& s : searches) {
            if (!s.searching) continue;
            status += (status.empty() ? "searching " : ", ") + platform::PortDisplayName(s.port) + ": "
                + PairText(pairs[s.next]) + " (" + std::to_string(s.next + 1) + "/" + std::to_string(pairs.size())
                + ")";
        }
        if (status.empty()) break;
        progress.Show(status);

        for (PortSearch& s : searches) {
            if (!s.searching) continue;
            const protocol::SearchPair& pair = pairs[s.next];
            attempt(s, [&] {
                s.link->Reconfigure(protocol::kBaudRates[static_cast<std::size_t>(pair.baudItem)], pair.parityItem);
                s.link->Post(kSearchRequest);
            });
        }
        ModuleLink::AwaitAnswers(linksOf([](const PortSearch&) { return true; }), inv.intervalMs);

        const std::vector<ModuleLink*> answered
            = linksOf([](const PortSearch& s) { return s.link->Answer().has_value(); });
        for (PortSearch& s : searches) {
            if (s.searching && s.link->Answer()) attempt(s, [&] { s.link->Post(kSearchRequest); });
        }
        auto wasAnswered = [&answered](const PortSearch& s) {
            return std::find(answered.begin(), answered.end(), s.link.get()) != answered.end();
        };
        ModuleLink::AwaitAnswers(linksOf(wasAnswered), inv.timeoutMs);
        for (PortSearch& s : searches) {
            if (!s.searching) continue;
            const bool confirmed = wasAnswered(s) && s.link->Answer().has_value();
            if (confirmed) {
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
    return searches;
}

// The ports a search covers: those named, every ready port (--all), or the default one.
std::vector<int> SearchedPorts(const Invocation& inv, std::ostream& err)
{
    if (!inv.allPorts) return inv.ports.empty() ? std::vector<int>{ChoosePort(inv, err)} : inv.ports;
    const std::vector<int> ports = ReadyPorts();
    if (ports.empty()) throw CliError(kExitPortFailure, "no serial port can be opened; see 'orvane-cli ports'");
    return ports;
}

int Search(const Invocation& inv, std::ostream& out, std::ostream& err)
{
    int code = kExitDone;
    for (const PortSearch& s : SearchPorts(SearchedPorts(inv, err), inv)) {
        if (s.failure) {
            PrintError(*s.failure, inv.json, err);
            code = std::max(code, s.failure->Code());
            continue;
        }
        const std::string port = platform::PortDisplayName(s.port);
        const std::string module = ModuleTypeText(*s.moduleType);
        const int baudRate = s.link->BaudRate();
        const int parity = s.link->Parity();
        if (inv.json) {
            out << "{\"port\":" << Quoted(port) << ",\"baud\":" << baudRate
                << ",\"parity\":" << Quoted(ParityWordText(parity)) << ",\"module\":" << Quoted(module);
            if (const int mhz = protocol::ModuleBandMhz(*s.moduleType)) out << ",\"band_mhz\":" << mhz;
            out << "}\n";
        } else {
            out << "found " << port << ' ' << baudRate << ' ' << ParityText(parity) << ' ' << module << '\n'
                << "  use: --port " << port << " --baud " << baudRate << " --parity " << ParityWordText(parity) << '\n';
        }
    }
    return code;
}

int Info(const Invocation& inv, std::ostream& out)
{
    std::unique_ptr<ModuleLink> link;
    const int port = ChoosePort(inv, std::cerr);
    if (inv.searchFirst) {
        std::vector<PortSearch> searched = SearchPorts({port}, inv);
        if (searched.front().failure) throw *searched.front().failure;
        link = std::move(searched.front().link);
    } else {
        link = std::make_unique<ModuleLink>(inv.trace);
        link->Open(port, inv.baudRate, inv.parity);
    }
    ModuleReport r;
    const auto answer = link->Exchange(kSearchRequest, inv.timeoutMs);
    if (!answer) {
        const std::string name = platform::PortDisplayName(port);
        throw CliError(kExitNoAnswer,
                       "no module answered on " + link->Where() + "; run 'orvane-cli --port " + name + " search'");
    }
    r.moduleType = (*answer)[protocol::kModuleTypeByte];
    ReadChannel(*link, inv.timeoutMs, r);
    ReadAir(*link, inv.timeoutMs, r);
    ReadSerial(*link, inv.timeoutMs, r);
    ReadId(*link, inv.timeoutMs, r);
    AddFrequency(r);
    Print(out, inv, r);
    return kExitDone;
}

int Read(const Invocation& inv, std::ostream& out)
{
    ModuleLink link(inv.trace);
    link.Open(ChoosePort(inv, std::cerr), inv.baudRate, inv.parity);
    ModuleReport r;
    switch (inv.setting) {
    case Setting::Channel:
        // The frequency depends on the module's band, which only the search answer tells; the band
        // itself is not what was asked for.
        ReadModuleType(link, inv.timeoutMs, r);
        ReadChannel(link, inv.timeoutMs, r);
        AddFrequency(r);
        r.moduleType.reset();
        break;
    case Setting::Air: ReadAir(link, inv.timeoutMs, r); break;
    case Setting::Serial: ReadSerial(link, inv.timeoutMs, r); break;
    case Setting::Id: ReadId(link, inv.timeoutMs, r); break;
    case Setting::Power: break;  // refused by the command line
    }
    Print(out, inv, r);
    return kExitDone;
}

int Write(const Invocation& inv, std::ostream& out)
{
    const ModuleReport& v = inv.values;
    Request request;
    switch (inv.setting) {
    case Setting::Channel: request = WriteChannel(*v.channel); break;
    case Setting::Air: request = WriteAir(*v.airBaudCode); break;
    case Setting::Serial: request = WriteSerial(*v.serialBaudCode, *v.serialParity); break;
    case Setting::Id: request = WriteId(*v.guestId); break;
    case Setting::Power: request = WritePower(*v.power); break;
    }
    ModuleLink link(inv.trace);
    link.Open(ChoosePort(inv, std::cerr), inv.baudRate, inv.parity);
    link.Ask(request, inv.timeoutMs);
    Print(out, inv, v);
    return kExitDone;
}

// "channel is 7, the profile has 5" for every setting read back otherwise than written.
std::vector<std::string> Differences(const ModuleReport& want, const ModuleReport& got)
{
    std::vector<std::string> out;
    auto compare = [&out](const char* name, auto wanted, auto read, auto text) {
        if (wanted && read && *wanted != *read)
            out.push_back(std::string(name) + " is " + text(*read) + ", the profile has " + text(*wanted));
    };
    auto number = [](int v) { return std::to_string(v); };
    compare("channel", want.channel, got.channel, number);
    compare("air", want.airBaudCode, got.airBaudCode, BaudCodeText);
    if (want.serialBaudCode && (want.serialBaudCode != got.serialBaudCode || want.serialParity != got.serialParity)) {
        out.push_back("serial is " + BaudCodeText(*got.serialBaudCode) + " " + ParityText(*got.serialParity)
                      + ", the profile has " + BaudCodeText(*want.serialBaudCode) + " "
                      + ParityText(*want.serialParity));
    }
    compare("id", want.guestId, got.guestId, number);
    return out;
}

// Keeps the settings that --only and --skip let through.
ModuleReport Chosen(const Invocation& inv, ModuleReport profile)
{
    if (!inv.Applies(Setting::Channel)) {
        profile.channel.reset();
        profile.frequency.reset();
    }
    if (!inv.Applies(Setting::Air)) profile.airBaudCode.reset();
    if (!inv.Applies(Setting::Serial)) {
        profile.serialBaudCode.reset();
        profile.serialParity.reset();
    }
    if (!inv.Applies(Setting::Id)) profile.guestId.reset();
    if (!inv.Applies(Setting::Power)) profile.power.reset();
    return profile;
}

// Writes the profile onto one port, reads it back and prints what the module now holds.
void ApplyTo(int port, const Invocation& inv, const ModuleReport& profile, bool several, std::ostream& out)
{
    ModuleLink link(inv.trace);
    link.Open(port, inv.baudRate, inv.parity);

    ModuleReport got;
    ReadModuleType(link, inv.timeoutMs, got);
    if (profile.moduleType && *profile.moduleType != *got.moduleType) {
        throw CliError(kExitBadUsage,
                       "module: the profile is for a " + ModuleTypeText(*profile.moduleType) + " module, "
                           + platform::PortDisplayName(port) + " has a " + ModuleTypeText(*got.moduleType)
                           + " module; nothing was written");
    }

    if (profile.channel) link.Ask(WriteChannel(*profile.channel), inv.timeoutMs);
    if (profile.airBaudCode) link.Ask(WriteAir(*profile.airBaudCode), inv.timeoutMs);
    if (profile.guestId) link.Ask(WriteId(*profile.guestId), inv.timeoutMs);
    if (profile.power) link.Ask(WritePower(*profile.power), inv.timeoutMs);
    // The module changes its line after answering this one: it comes last, and the port follows it.
    if (profile.serialBaudCode) {
        link.Ask(WriteSerial(*profile.serialBaudCode, *profile.serialParity), inv.timeoutMs);
        link.Reconfigure(protocol::BaudRateOfCode(*profile.serialBaudCode), *profile.serialParity);
    }

    if (profile.channel) ReadChannel(link, inv.timeoutMs, got);
    if (profile.airBaudCode) ReadAir(link, inv.timeoutMs, got);
    if (profile.serialBaudCode) ReadSerial(link, inv.timeoutMs, got);
    if (profile.guestId) ReadId(link, inv.timeoutMs, got);

    const std::string name = platform::PortDisplayName(port);
    const std::vector<std::string> differences = Differences(profile, got);
    if (!differences.empty()) {
        std::string message = "read back differs" + (several ? " on " + name : std::string()) + ": ";
        for (std::size_t i = 0; i < differences.size(); ++i)
            message += (i ? "; " : "") + differences[i];
        throw CliError(kExitNoAnswer, message);
    }

    AddFrequency(got);
    got.power = profile.power;
    if (inv.json) {
        out << FormatJson(got, several ? name : std::string());
    } else {
        // Several ports: each line starts with its port, for grep.
        const std::string plain = FormatPlain(got);
        std::size_t from = 0;
        for (std::size_t nl; (nl = plain.find('\n', from)) != std::string::npos; from = nl + 1)
            out << (several ? name + " " : std::string()) << plain.substr(from, nl + 1 - from);
    }
    out.flush();
    if (profile.power) {
        std::cerr << "orvane-cli: note: power " << *profile.power << " was written"
                  << (several ? " to " + name : std::string())
                  << "; the module cannot report its power, so it was not read back\n";
    }
}

int Apply(const Invocation& inv, std::ostream& out, std::ostream& err)
{
    const std::string source = ProfileSourceName(inv.profilePath);
    const ModuleReport profile = Chosen(inv, ParseProfile(ReadProfileText(inv.profilePath), source));
    if (!profile.channel && !profile.airBaudCode && !profile.serialBaudCode && !profile.guestId && !profile.power)
        throw CliError(kExitBadUsage, source + ": nothing left to write after --only/--skip");

    const std::vector<int> ports = inv.ports.empty() ? std::vector<int>{ChoosePort(inv, err)} : inv.ports;
    if (ports.size() == 1) {
        ApplyTo(ports.front(), inv, profile, false, out);
        return kExitDone;
    }
    // One port failing does not stop the others; the exit code is the gravest failure's.
    int code = kExitDone;
    for (int port : ports) {
        try {
            ApplyTo(port, inv, profile, true, out);
        } catch (const CliError& e) {
            PrintError(e, inv.json, err);
            code = std::max(code, e.Code());
        }
    }
    return code;
}

}  // namespace

void PrintError(const CliError& e, bool json, std::ostream& err)
{
    if (json) {
        err << "{\"error\":" << Quoted(e.what()) << ",\"exit\":" << e.Code() << "}\n";
    } else {
        err << "orvane-cli: " << e.what() << '\n';
        if (!e.Usage().empty()) err << e.Usage() << '\n';
    }
    err.flush();
}

int RunCommand(const Invocation& inv, std::ostream& out, std::ostream& err)
{
    switch (inv.command) {
    case Command::Help: out << HelpText(inv.helpTopic); return kExitDone;
    case Command::Version: out << "orvane-cli " << kOrvaneVersion << '\n'; return kExitDone;
    case Command::Ports: return Ports(inv, out, err);
    case Command::Info: return Info(inv, out);
    case Command::Search: return Search(inv, out, err);
    case Command::Read: return Read(inv, out);
    case Command::Write: return Write(inv, out);
    case Command::Apply: return Apply(inv, out, err);
    }
    return kExitBadUsage;
}

}  // namespace cli
