#include "Commands.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <vector>

#include "CliError.h"
#include "ModuleLink.h"
#include "PortCommands.h"
#include "platform/PortNamespace.h"
#include "protocol/ChannelTables.h"
#include "protocol/ModuleFrame.h"
#include "protocol/SearchOrder.h"
#include "serial/CXSerial.h"

namespace cli {

namespace {

constexpr Request kSearchRequest{protocol::kSearch, {0, 0}, "search"};
constexpr Request kReadChannel{protocol::kReadChannel, {0, 0}, "read channel"};
constexpr Request kReadAir{protocol::kReadAirBaud, {0, 0}, "read air baud rate"};
constexpr Request kReadSerial{protocol::kReadComParams, {0, 0}, "read serial settings"};
constexpr Request kReadId{protocol::kReadGuestId, {0, 0}, "read ID"};

std::uint8_t Byte(int v) { return static_cast<std::uint8_t>(v); }

Request WriteChannel(int channel) { return {protocol::kWriteChannel, {Byte(channel), 0}, "write channel"}; }
Request WriteAir(int code) { return {protocol::kWriteAirBaud, {Byte(code), 0}, "write air baud rate"}; }
Request WriteSerial(int code, int parity) {
  return {protocol::kWriteComParams, {Byte(code), Byte(parity)}, "write serial settings"};
}
Request WriteId(int id) { return {protocol::kWriteGuestId, {Byte(id >> 8), Byte(id & 0xFF)}, "write ID"}; }
Request WritePower(int level) { return {protocol::kWritePower, {Byte(level), 0}, "write power"}; }

void Print(std::ostream& out, const Invocation& inv, const ModuleReport& report) {
  out << (inv.json ? FormatJson(report) : FormatPlain(report));
}

// Each read asks one question and fills its fields of the report.
void ReadModuleType(ModuleLink& link, int timeoutMs, ModuleReport& r) { r.moduleType = link.Ask(kSearchRequest, timeoutMs)[2]; }
void ReadChannel(ModuleLink& link, int timeoutMs, ModuleReport& r) { r.channel = link.Ask(kReadChannel, timeoutMs)[0]; }
void ReadAir(ModuleLink& link, int timeoutMs, ModuleReport& r) { r.airBaudCode = link.Ask(kReadAir, timeoutMs)[0]; }
void ReadSerial(ModuleLink& link, int timeoutMs, ModuleReport& r) {
  const auto data = link.Ask(kReadSerial, timeoutMs);
  r.serialBaudCode = data[0];
  r.serialParity = data[1];
}
void ReadId(ModuleLink& link, int timeoutMs, ModuleReport& r) {
  const auto data = link.Ask(kReadId, timeoutMs);
  r.guestId = data[0] * 256 + data[1];
}

int Info(const Invocation& inv, std::ostream& out) {
  ModuleLink link(inv.trace);
  link.Open(ChoosePort(inv, std::cerr), inv.baudRate, inv.parity);
  ModuleReport r;
  ReadModuleType(link, inv.timeoutMs, r);
  ReadChannel(link, inv.timeoutMs, r);
  ReadAir(link, inv.timeoutMs, r);
  ReadSerial(link, inv.timeoutMs, r);
  ReadId(link, inv.timeoutMs, r);
  AddFrequency(r);
  Print(out, inv, r);
  return kExitDone;
}

int Search(const Invocation& inv, std::ostream& out) {
  const int port = ChoosePort(inv, std::cerr);
  const auto pairs = protocol::SearchPairs(protocol::BaudIndexOfRate(inv.baudRate), inv.parity,
                                           static_cast<int>(protocol::kBaudRates.size()),
                                           static_cast<int>(protocol::kParityNames.size()));
  ModuleLink link(inv.trace);
  link.Open(port, inv.baudRate, inv.parity);
  for (const protocol::SearchPair& pair : pairs) {
    const int baudRate = protocol::kBaudRates[static_cast<std::size_t>(pair.baudItem)];
    link.Reconfigure(baudRate, pair.parityItem);
    if (!link.Exchange(kSearchRequest, inv.intervalMs)) continue;
    // A late answer to the previous pair's request would name the wrong pair: ask once more here.
    const auto confirmed = link.Exchange(kSearchRequest, inv.timeoutMs);
    if (!confirmed) continue;
    const std::string module = ModuleTypeText((*confirmed)[2]);
    const char* parity = protocol::kParityNames[static_cast<std::size_t>(pair.parityItem)];
    if (inv.json) {
      out << "{\"port\":" << Quoted(platform::PortDisplayName(port)) << ",\"baud\":" << baudRate
          << ",\"parity\":" << Quoted(parity) << ",\"module\":" << Quoted(module) << "}\n";
    } else {
      out << "found " << platform::PortDisplayName(port) << ' ' << baudRate << ' ' << parity << ' ' << module << '\n';
    }
    return kExitDone;
  }
  throw CliError(kExitNoAnswer, "no module answered a search on " + platform::PortDisplayName(port) + " (" +
                                    std::to_string(pairs.size()) + " baud/parity pairs tried, " +
                                    std::to_string(inv.intervalMs) + " ms each)");
}

int Read(const Invocation& inv, std::ostream& out) {
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

int Write(const Invocation& inv, std::ostream& out) {
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

std::string ReadProfileText(const std::string& path, std::istream& in) {
  if (path == "-") return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  std::ifstream file(path, std::ios::binary);
  if (!file) throw CliError(kExitBadUsage, "cannot read the profile " + path + ": " + std::strerror(errno));
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// "channel is 7, the profile has 5" for every setting read back otherwise than written.
std::vector<std::string> Differences(const ModuleReport& want, const ModuleReport& got) {
  std::vector<std::string> out;
  auto compare = [&out](const char* name, auto wanted, auto read, auto text) {
    if (wanted && read && *wanted != *read) out.push_back(std::string(name) + " is " + text(*read) + ", the profile has " + text(*wanted));
  };
  auto number = [](int v) { return std::to_string(v); };
  compare("channel", want.channel, got.channel, number);
  compare("air", want.airBaudCode, got.airBaudCode, BaudCodeText);
  if (want.serialBaudCode && (want.serialBaudCode != got.serialBaudCode || want.serialParity != got.serialParity)) {
    out.push_back("serial is " + BaudCodeText(*got.serialBaudCode) + " " + ParityText(*got.serialParity) +
                  ", the profile has " + BaudCodeText(*want.serialBaudCode) + " " + ParityText(*want.serialParity));
  }
  compare("id", want.guestId, got.guestId, number);
  return out;
}

int Apply(const Invocation& inv, std::ostream& out, std::istream& in) {
  const ModuleReport profile =
      ParseProfile(ReadProfileText(inv.profilePath, in), inv.profilePath == "-" ? "standard input" : inv.profilePath);
  const int port = ChoosePort(inv, std::cerr);
  ModuleLink link(inv.trace);
  link.Open(port, inv.baudRate, inv.parity);

  ModuleReport got;
  ReadModuleType(link, inv.timeoutMs, got);
  if (profile.moduleType && *profile.moduleType != *got.moduleType) {
    throw CliError(kExitNoAnswer, "module: the profile is for a " + ModuleTypeText(*profile.moduleType) + " module, " +
                                      platform::PortDisplayName(port) + " has a " + ModuleTypeText(*got.moduleType) +
                                      " module; nothing was written");
  }

  if (profile.channel) link.Ask(WriteChannel(*profile.channel), inv.timeoutMs);
  if (profile.airBaudCode) link.Ask(WriteAir(*profile.airBaudCode), inv.timeoutMs);
  if (profile.guestId) link.Ask(WriteId(*profile.guestId), inv.timeoutMs);
  if (profile.power) link.Ask(WritePower(*profile.power), inv.timeoutMs);
  // The module changes its line after answering this one: it comes last, and the port follows it.
  if (profile.serialBaudCode) {
    link.Ask(WriteSerial(*profile.serialBaudCode, *profile.serialParity), inv.timeoutMs);
    link.Reconfigure(protocol::kBaudRates[static_cast<std::size_t>(*profile.serialBaudCode - 1)], *profile.serialParity);
  }

  if (profile.channel) ReadChannel(link, inv.timeoutMs, got);
  if (profile.airBaudCode) ReadAir(link, inv.timeoutMs, got);
  if (profile.serialBaudCode) ReadSerial(link, inv.timeoutMs, got);
  if (profile.guestId) ReadId(link, inv.timeoutMs, got);

  const std::vector<std::string> differences = Differences(profile, got);
  if (!differences.empty()) {
    std::string message = "read back differs: ";
    for (std::size_t i = 0; i < differences.size(); ++i) message += (i ? "; " : "") + differences[i];
    throw CliError(kExitNoAnswer, message);
  }

  AddFrequency(got);
  got.power = profile.power;
  Print(out, inv, got);
  if (profile.power) {
    std::cerr << "orvane-cli: note: power " << *profile.power
              << " was written; the module cannot report its power, so it was not read back\n";
  }
  return kExitDone;
}

}  // namespace

int RunCommand(const Invocation& inv, std::ostream& out, std::istream& in) {
  switch (inv.command) {
    case Command::Help: out << kUsage; return kExitDone;
    case Command::Ports: return Ports(inv, out, std::cerr);
    case Command::Info: return Info(inv, out);
    case Command::Search: return Search(inv, out);
    case Command::Read: return Read(inv, out);
    case Command::Write: return Write(inv, out);
    case Command::Apply: return Apply(inv, out, in);
  }
  return kExitBadUsage;
}

}  // namespace cli
