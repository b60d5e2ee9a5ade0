#include "CommandLine.h"

#include <string_view>

#include "CliError.h"
#include "Values.h"
#include "platform/PortResolver.h"
#include "protocol/ModuleFrame.h"

namespace cli {

const char* const kUsage =
    "usage: orvane-cli [--port COMn|N|DEVICE] [--baud B] [--parity no|odd|even] [--timeout MS] [--json]\n"
    "                  [--trace] [--quiet] COMMAND [ARGS]\n"
    "  ports [--all]             list every serial device: COMn, device, state, description, by-id name\n"
    "                            (--all: built-in ports with no UART behind them too)\n"
    "  info                      search, then read channel, air rate, serial settings and ID\n"
    "  search [--interval MS]    find the module: try every baud rate and parity, starting from\n"
    "                            --baud/--parity (800 ms each)\n"
    "  read channel|air|serial|id\n"
    "  write channel N           1 to 32\n"
    "  write air B               1200 2400 4800 9600 19200 38400 57600 115200\n"
    "  write serial B PARITY     the module's own serial settings\n"
    "  write id N                0 to 65535\n"
    "  write power N             1 to 7\n"
    "  apply FILE                write a profile (what info --json prints), serial settings last,\n"
    "                            then read back and compare; FILE - reads standard input\n"
    "Defaults: the first USB adapter, else the first port that opens (said on standard error unless\n"
    "--quiet or --json), 9600 baud, parity no, 1000 ms per answer.\n"
    "Exit codes: 0 done, 1 no answer or read-back differs, 2 bad command line or value,\n"
    "3 the port cannot be opened.\n";

namespace {

[[noreturn]] void Bad(const std::string& message) { throw CliError(kExitBadUsage, message); }

std::optional<Setting> SettingOf(std::string_view word) {
  if (word == "channel") return Setting::Channel;
  if (word == "air") return Setting::Air;
  if (word == "serial") return Setting::Serial;
  if (word == "id") return Setting::Id;
  if (word == "power") return Setting::Power;
  return std::nullopt;
}

// Refuses words beyond the command and its `count` arguments.
void ExpectArgs(const std::vector<std::string>& words, std::size_t count, const std::string& form) {
  if (words.size() > count + 1) Bad("unexpected '" + words[count + 1] + "' after '" + form + "'");
}

void ParseRead(Invocation& inv, const std::vector<std::string>& words) {
  if (words.size() < 2) Bad("read what? channel, air, serial or id");
  const std::optional<Setting> s = SettingOf(words[1]);
  if (!s || *s == Setting::Power) {
    Bad(words[1] == "power" ? "the module cannot report its power; read channel, air, serial or id"
                            : "cannot read '" + words[1] + "'; read channel, air, serial or id");
  }
  ExpectArgs(words, 1, "read " + words[1]);
  inv.setting = *s;
}

void ParseWrite(Invocation& inv, const std::vector<std::string>& words) {
  if (words.size() < 2) Bad("write what? channel, air, serial, id or power");
  const std::optional<Setting> s = SettingOf(words[1]);
  if (!s) Bad("cannot write '" + words[1] + "'; write channel, air, serial, id or power");
  inv.setting = *s;
  if (*s == Setting::Serial) {
    if (words.size() != 4) Bad("write serial takes a baud rate and a parity: write serial B no|odd|even");
    inv.values.serialBaudCode = ParseBaudCode(words[2], "serial baud rate");
    inv.values.serialParity = ParseParity(words[3]);
    return;
  }
  if (words.size() != 3) Bad("write " + words[1] + " takes one value");
  switch (*s) {
    case Setting::Channel: inv.values.channel = ParseChannel(words[2]); break;
    case Setting::Air: inv.values.airBaudCode = ParseBaudCode(words[2], "air"); break;
    case Setting::Id: inv.values.guestId = ParseGuestId(words[2]); break;
    case Setting::Power: inv.values.power = ParsePower(words[2]); break;
    case Setting::Serial: break;
  }
}

}  // namespace

Invocation ParseCommandLine(const std::vector<std::string>& args) {
  Invocation inv;
  std::vector<std::string> words;
  bool intervalGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() <= 2 || arg.compare(0, 2, "--") != 0) {
      words.push_back(arg);
      continue;
    }
    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (const auto eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      inlineValue = arg.substr(eq + 1);
    }
    auto flag = [&](bool& target) {
      if (inlineValue) Bad(name + " takes no value");
      target = true;
    };
    auto value = [&]() -> std::string {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= args.size()) Bad(name + " needs a value");
      return args[++i];
    };
    if (name == "--help") {
      if (inlineValue) Bad("--help takes no value");
      inv.command = Command::Help;
      return inv;
    } else if (name == "--json") {
      flag(inv.json);
    } else if (name == "--trace") {
      flag(inv.trace);
    } else if (name == "--quiet") {
      flag(inv.quiet);
    } else if (name == "--all") {
      flag(inv.all);
    } else if (name == "--port") {
      const platform::PortResolution r = platform::ResolvePortArgument(value());
      if (r.failure == platform::PortResolution::kNotAPortName) Bad(r.message);
      if (r.failure != platform::PortResolution::kNone) throw CliError(kExitPortFailure, r.message);
      inv.port = r.port;
    } else if (name == "--baud") {
      inv.baudRate = protocol::kBaudRates[static_cast<std::size_t>(ParseBaudCode(value(), "baud rate") - 1)];
    } else if (name == "--parity") {
      inv.parity = ParseParity(value());
    } else if (name == "--timeout") {
      inv.timeoutMs = ParseMilliseconds(value(), "timeout");
    } else if (name == "--interval") {
      inv.intervalMs = ParseMilliseconds(value(), "interval");
      intervalGiven = true;
    } else {
      Bad("unknown option '" + name + "'");
    }
  }

  if (words.empty()) Bad("no command given; commands: ports, info, search, read, write, apply");
  const std::string& command = words[0];
  if (command == "help") {
    inv.command = Command::Help;
  } else if (command == "ports") {
    inv.command = Command::Ports;
    ExpectArgs(words, 0, "ports");
  } else if (command == "info") {
    inv.command = Command::Info;
    ExpectArgs(words, 0, "info");
  } else if (command == "search") {
    inv.command = Command::Search;
    ExpectArgs(words, 0, "search");
  } else if (command == "read") {
    inv.command = Command::Read;
    ParseRead(inv, words);
  } else if (command == "write") {
    inv.command = Command::Write;
    ParseWrite(inv, words);
  } else if (command == "apply") {
    inv.command = Command::Apply;
    if (words.size() != 2) Bad("apply takes one profile file (- for standard input)");
    inv.profilePath = words[1];
  } else {
    Bad("unknown command '" + command + "'; commands: ports, info, search, read, write, apply");
  }
  if (intervalGiven && inv.command != Command::Search) Bad("--interval belongs to search");
  if (inv.all && inv.command != Command::Ports) Bad("--all belongs to ports");
  return inv;
}

}  // namespace cli
