#include "Commands.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <memory>
#include <vector>

#include "CliError.h"
#include "Fleet.h"
#include "ModuleLink.h"
#include "OrvaneVersion.h"
#include "PortCommands.h"
#include "ProfileSource.h"
#include "Search.h"
#include "WatchCommand.h"
#include "platform/PortNamespace.h"
#include "protocol/ChannelTables.h"
#include "protocol/ModuleFrame.h"
#include "serial/CXSerial.h"

namespace cli {

namespace {

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

// The port's module: band, channel, air rate, serial settings and ID.
ModuleReport InfoOn(int port, const Invocation& inv)
{
    std::unique_ptr<ModuleLink> link;
    if (inv.searchFirst) {
        std::vector<PortSearch> searched = SearchPorts({port}, inv);
        if (searched.front().failure) throw *searched.front().failure;
        link = std::move(searched.front().link);
    } else {
        link = std::make_unique<ModuleLink>(inv.trace, inv.Several());
        link->Open(port, inv.baudRate, inv.parity);
    }
    ModuleReport r;
    const auto answer = link->Exchange(kSearchRequest, inv.timeoutMs);
    if (!answer) {
        throw CliError(kExitNoAnswer,
                       "no module answered on " + link->Where() + "; run 'orvane-cli --port " + PortArgument(port)
                           + " search'");
    }
    r.moduleType = (*answer)[protocol::kModuleTypeByte];
    ReadChannel(*link, inv.timeoutMs, r);
    ReadAir(*link, inv.timeoutMs, r);
    ReadSerial(*link, inv.timeoutMs, r);
    ReadId(*link, inv.timeoutMs, r);
    AddFrequency(r);
    return r;
}

ModuleReport ReadOn(int port, const Invocation& inv)
{
    ModuleLink link(inv.trace, inv.Several());
    link.Open(port, inv.baudRate, inv.parity);
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
    return r;
}

ModuleReport WriteOn(int port, const Invocation& inv)
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
    ModuleLink link(inv.trace, inv.Several());
    link.Open(port, inv.baudRate, inv.parity);
    link.Ask(request, inv.timeoutMs);
    return v;
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

// Writes the profile onto one port, reads it back and returns what the module now holds.
ModuleReport ApplyOn(int port, const Invocation& inv, const ModuleReport& profile)
{
    ModuleLink link(inv.trace, inv.Several());
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
        link.Reconfigure(*protocol::BaudRateOfCode(*profile.serialBaudCode), *profile.serialParity);
    }

    if (profile.channel) ReadChannel(link, inv.timeoutMs, got);
    if (profile.airBaudCode) ReadAir(link, inv.timeoutMs, got);
    if (profile.serialBaudCode) ReadSerial(link, inv.timeoutMs, got);
    if (profile.guestId) ReadId(link, inv.timeoutMs, got);

    const std::vector<std::string> differences = Differences(profile, got);
    if (!differences.empty()) {
        std::string message
            = "read back differs" + (inv.Several() ? " on " + platform::PortDisplayName(port) : std::string()) + ": ";
        for (std::size_t i = 0; i < differences.size(); ++i)
            message += (i ? "; " : "") + differences[i];
        throw CliError(kExitNoAnswer, message);
    }
    AddFrequency(got);
    got.power = profile.power;
    return got;
}

// A port's report with the port before each line, or with --json as one object with "port" and "exit".
std::string FleetText(int port, const Invocation& inv, const ModuleReport& report)
{
    const std::string name = platform::PortDisplayName(port);
    if (inv.json) return FormatJson(report, name);
    const std::string plain = FormatPlain(report);
    std::string out;
    std::size_t from = 0;
    for (std::size_t nl; (nl = plain.find('\n', from)) != std::string::npos; from = nl + 1)
        out += name + " " + plain.substr(from, nl + 1 - from);
    return out;
}

using PortTask = std::function<ModuleReport(int port, const Invocation& inv)>;

// Runs the task on the port the command covers, or on each of several ports at once. `note`, when
// given, adds a line on standard error after a port's result.
int OnPorts(const Invocation& inv, std::ostream& out, std::ostream& err, const PortTask& task,
            const std::function<std::string(int port)>& note = {})
{
    const std::vector<int> ports = CoveredPorts(inv, err);
    if (!inv.Several()) {
        const ModuleReport report = task(ports.front(), inv);
        out << (inv.json ? FormatJson(report) : FormatPlain(report)) << std::flush;
        if (note) err << note(0) << std::flush;
        return kExitDone;
    }
    // Each worker has a copy: no progress lines from several threads.
    Invocation worker = inv;
    worker.quiet = true;
    return RunFleet(
        ports, inv.json,
        [&](int port) {
            PortOutcome o{kExitDone, FleetText(port, worker, task(port, worker)), {}};
            if (note) o.err = note(port);
            return o;
        },
        out, err);
}

int Apply(const Invocation& inv, std::ostream& out, std::ostream& err)
{
    const std::string source = ProfileSourceName(inv.profilePath);
    const ModuleReport profile = Chosen(inv, ParseProfile(ReadProfileText(inv.profilePath), source));
    if (!profile.channel && !profile.airBaudCode && !profile.serialBaudCode && !profile.guestId && !profile.power)
        throw CliError(kExitBadUsage, source + ": nothing left to write after --only/--skip");
    std::function<std::string(int)> note;
    if (profile.power) {
        // port 0: the one port of a single run, not named.
        note = [&profile](int port) {
            return "orvane-cli: note: power " + std::to_string(*profile.power) + " was written"
                + (port ? " to " + platform::PortDisplayName(port) : std::string())
                + "; the module cannot report its power, so it was not read back\n";
        };
    }
    return OnPorts(
        inv, out, err, [&profile](int port, const Invocation& worker) { return ApplyOn(port, worker, profile); }, note);
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
    case Command::Ports: return inv.watch ? WatchPorts(inv, out) : Ports(inv, out, err);
    case Command::Info: return OnPorts(inv, out, err, InfoOn);
    case Command::Search: return Search(inv, out, err);
    case Command::Read: return OnPorts(inv, out, err, ReadOn);
    case Command::Write: return OnPorts(inv, out, err, WriteOn);
    case Command::Apply: return Apply(inv, out, err);
    }
    return kExitBadUsage;
}

}  // namespace cli
