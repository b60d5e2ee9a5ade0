#include "CommandLine.h"

#include <string_view>

#include "CliError.h"
#include "OptionParser.h"
#include "platform/PortResolver.h"
#include "protocol/NetworkPortUrl.h"

namespace cli {

namespace {

using cmdline::BadValue;
using cmdline::Given;

constexpr long long kLongestWaitSeconds = 86400;

[[noreturn]] void Bad(const std::string& message) { throw BadValue(message); }

// What the user typed, quoted for a message.
std::string Shown(std::string_view text) { return "'" + cmdline::Printable(text) + "'"; }

const cmdline::OptionParser& Parser()
{
    static const cmdline::OptionParser parser({
        {"port", 'd', "PORT", "COMn, comn, n, a device or a /dev/serial/by-id/ name (the first USB adapter)",
         "ORVANE_PORT", "device"},
        {"list", 'l', nullptr, "the same as the command 'ports'"},
        {"baud", 'b', "RATE", "1200 2400 4800 9600 19200 38400 57600 or 115200 (9600)", "ORVANE_BAUD"},
        {"parity", 'p', "PARITY", "none, odd or even; n, o, e and any case too (none)", "ORVANE_PARITY"},
        {"timeout", 0, "MS", "longest wait for each answer, 1 to 600000 (1000)"},
        {"json", 0, nullptr, "print JSON for scripts; errors as one JSON object on standard error"},
        {"trace", 0, nullptr, "log every frame sent (TX) and received (RX) on standard error"},
        {"quiet", 'q', nullptr, "no progress line while searching, no note of the port taken"},
        {"help", 'h', nullptr, "this help; 'orvane-cli COMMAND --help' for a command's"},
        {"version", 'V', nullptr, "print the version and exit"},
        {"all", 0, nullptr, "every ready port, all at once; ports: UART-less ports too"},
        {"interval", 0, "MS", "wait at each baud/parity pair, 1 to 600000 (800)"},
        {"search", 0, nullptr, "search first, then read at the settings found"},
        {"only", 0, "LIST", "write only these settings: channel,air,serial,id,power"},
        {"skip", 0, "LIST", "write every setting but these"},
        {"watch", 0, nullptr, "ports: then a line for each port that comes (+) or goes (-), until interrupted"},
        {"wait-for", 0, "SECONDS", "with no --port: when no port opens yet, wait up to SECONDS (1 to 86400) for one"},
    });
    return parser;
}

struct CommandInfo {
    Command command;
    const char* word;
    const char* usage;
    const char* about;
    std::initializer_list<std::string_view> options;  // the command's own options
};

const CommandInfo kCommands[] = {
    {Command::Ports,
     "ports",
     "orvane-cli [--json] ports [--all | --watch]",
     "Lists every serial device the system has, one line each: COM name, device, state (ready, in use\n"
     "with the holders' PIDs, permission denied, stale link, used by the system), description and\n"
     "/dev/serial/by-id/ name (with --json, one object). Built-in ports with no UART behind them only\n"
     "with --all. It opens each usable port for a moment and sends nothing. With --watch it then\n"
     "prints a line for each port plugged in ('+ ' and the port's line) or unplugged ('- '), until\n"
     "interrupted; with --json, one object a line, whose \"event\" is present, added or removed.\n",
     {"all", "watch"}},
    {Command::Info,
     "info",
     "orvane-cli [OPTIONS] info [--search [--interval MS]]",
     "Sends a search request at --baud and --parity; when the module answers, reads its channel, air\n"
     "baud rate, serial settings and factory ID and prints them with its band. With --json the output\n"
     "is a profile for 'apply'. Without --search it tries no other line settings: when nothing answers\n"
     "it says so and exits 1. With --search it first searches as 'search' does, then reads there.\n",
     {"search", "interval"}},
    {Command::Search,
     "search",
     "orvane-cli [OPTIONS] search [--port PORT]... [--all] [--interval MS]",
     "Finds a module whose serial settings are unknown: tries every baud rate and parity, starting at\n"
     "--baud and --parity, sending a search request at each and waiting --interval for the answer; an\n"
     "answer is confirmed by a second request at the same settings. Prints the port, baud rate, parity\n"
     "and band found, and the options to use next. Several --port options, or --all, search those\n"
     "ports at the same time, each told as soon as it is found. A progress line shows on a terminal (not with "
     "--quiet,\n"
     "--json or --trace). Changes nothing in the module. Exits 0 when every port asked was found, 1\n"
     "when one was not, 3 when one cannot be opened.\n",
     {"all", "interval"}},
    {Command::Read,
     "read",
     "orvane-cli [OPTIONS] read channel|air|serial|id",
     "Reads one setting and prints it: the channel with its frequency (this also sends a search\n"
     "request, whose answer tells the band), the air baud rate, the module's own serial baud rate and\n"
     "parity, or the factory ID (a plain decimal number: 'id 1234'). The module cannot report its\n"
     "power.\n",
     {}},
    {Command::Write,
     "write",
     "orvane-cli [OPTIONS] write channel N | air RATE | serial RATE PARITY | id N | power N",
     "Writes one setting and prints it once the module has answered: channel 1 to 32, air baud rate,\n"
     "the module's own serial baud rate and parity (the module moves to them after answering; talk\n"
     "to it there next), factory ID 0 to 65535, or power 1 to 7. Nothing is read back.\n",
     {}},
    {Command::Apply,
     "apply",
     "orvane-cli [OPTIONS] apply [--only LIST | --skip LIST] FILE|-",
     "Writes a profile (what 'info --json' prints; - reads standard input, at most 64 KiB; a FIFO\n"
     "that no program writes to for 5 seconds, or a terminal named as FILE, is refused): every\n"
     "setting it holds, or those --only names, or all but those --skip names (channel, air, serial, id,\n"
     "power). A bad profile is refused before anything is sent, one for the other band before anything\n"
     "is written (exit 2). The serial settings go last and the port follows them; then each setting\n"
     "written is read back and compared (power cannot be). Several --port options, or --all, apply\n"
     "the profile to all of those ports at once.\n",
     {"only", "skip"}},
    {Command::Help, "help", "orvane-cli help [COMMAND]", "Prints the program's help, or one command's.\n", {}},
};

const char* const kCommandList = "ports, info, search, read, write, apply, help";

const CommandInfo* FindCommand(std::string_view word)
{
    for (const CommandInfo& c : kCommands) {
        if (word == c.word) return &c;
    }
    return nullptr;
}

const CommandInfo& InfoOf(Command command)
{
    for (const CommandInfo& c : kCommands) {
        if (c.command == command) return c;
    }
    return kCommands[std::size(kCommands) - 1];
}

std::string UsageLine(const CommandInfo* c)
{
    if (c == nullptr) return "usage: orvane-cli [OPTIONS] COMMAND [ARGS]; see 'orvane-cli --help'";
    return std::string("usage: ") + c->usage + "; see 'orvane-cli " + c->word + " --help'";
}

std::optional<Setting> SettingOf(std::string_view word)
{
    if (word == "channel") return Setting::Channel;
    if (word == "air") return Setting::Air;
    if (word == "serial") return Setting::Serial;
    if (word == "id") return Setting::Id;
    if (word == "power") return Setting::Power;
    return std::nullopt;
}

// Refuses words beyond the command and its `count` arguments.
void ExpectArgs(const std::vector<std::string>& words, std::size_t count, const std::string& form)
{
    if (words.size() > count + 1) Bad("unexpected " + Shown(words[count + 1]) + " after " + Shown(form));
}

void ParseRead(Invocation& inv, const std::vector<std::string>& words)
{
    if (words.size() < 2) Bad("read what? channel, air, serial or id");
    const std::optional<Setting> s = SettingOf(words[1]);
    if (!s || *s == Setting::Power) {
        Bad(words[1] == "power" ? "the module cannot report its power; read channel, air, serial or id"
                                : "cannot read " + Shown(words[1]) + "; read channel, air, serial or id");
    }
    ExpectArgs(words, 1, "read " + words[1]);
    inv.setting = *s;
}

void ParseWrite(Invocation& inv, const std::vector<std::string>& words)
{
    if (words.size() < 2) Bad("write what? channel, air, serial, id or power");
    const std::optional<Setting> s = SettingOf(words[1]);
    if (!s) Bad("cannot write " + Shown(words[1]) + "; write channel, air, serial, id or power");
    inv.setting = *s;
    if (*s == Setting::Serial) {
        if (words.size() != 4) Bad("write serial takes a baud rate and a parity: write serial RATE none|odd|even");
        inv.values.serialBaudCode = cmdline::ParseBaudCode(words[2], "serial baud rate");
        inv.values.serialParity = cmdline::ParseParity(words[3], "parity");
        return;
    }
    if (words.size() < 3) Bad("write " + words[1] + " takes one value");
    ExpectArgs(words, 2, "write " + words[1] + " " + words[2]);
    switch (*s) {
    case Setting::Channel: inv.values.channel = cmdline::ParseChannel(words[2], "channel"); break;
    case Setting::Air: inv.values.airBaudCode = cmdline::ParseBaudCode(words[2], "air"); break;
    case Setting::Id: inv.values.guestId = cmdline::ParseGuestId(words[2], "id"); break;
    case Setting::Power: inv.values.power = cmdline::ParsePower(words[2], "power"); break;
    case Setting::Serial: break;
    }
}

// "channel,air" -> one bit per setting.
unsigned SettingSet(const Given& given)
{
    unsigned set = 0;
    std::string_view rest = given.text;
    for (;;) {
        const std::size_t comma = rest.find(',');
        const std::string_view word = rest.substr(0, comma);
        const std::optional<Setting> s = SettingOf(word);
        if (!s) Bad(given.origin + " must list channel, air, serial, id or power, not " + Shown(given.text));
        set |= 1u << static_cast<unsigned>(*s);
        if (comma == std::string_view::npos) return set;
        rest.remove_prefix(comma + 1);
    }
}

bool TalksToModule(Command c)
{
    return c == Command::Info || c == Command::Search || c == Command::Read || c == Command::Write
        || c == Command::Apply;
}

// Options that belong to some commands only.
void CheckScope(const cmdline::ParsedLine& line, const Invocation& inv)
{
    auto belongs = [&](const char* name, bool allowed, const char* where) {
        if (line.Has(name) && !allowed) Bad(line.Written(name) + " belongs to " + where);
    };
    belongs("interval", inv.command == Command::Search || inv.searchFirst, "search and info --search");
    belongs("search", inv.command == Command::Info, "info");
    belongs("only", inv.command == Command::Apply, "apply");
    belongs("skip", inv.command == Command::Apply, "apply");
    belongs("watch", inv.command == Command::Ports, "ports");
    belongs("wait-for", TalksToModule(inv.command), "the commands that talk to a module");
    if (inv.watch && inv.allPorts) Bad("--watch and --all cannot be used together");
    if (inv.allPorts && inv.command != Command::Ports && line.Has("port"))
        Bad("--all and --port cannot be used together");
}

// A value from the environment is checked only by the commands that use it: a bad ORVANE_PARITY
// does not stop `ports`. One from the command line is always checked.
std::optional<Given> Used(const cmdline::ParsedLine& line, const char* name, bool used)
{
    if (!used && !line.Has(name)) return std::nullopt;
    return line.Last(name);
}

// Every value but the ports', which are looked up after the whole command line has been checked.
void ParseOptions(const cmdline::ParsedLine& line, Invocation& inv)
{
    inv.json = line.Has("json");
    inv.trace = line.Has("trace");
    inv.quiet = line.Has("quiet");
    inv.allPorts = line.Has("all");
    inv.searchFirst = line.Has("search");
    inv.watch = line.Has("watch");
    if (auto g = line.Last("wait-for"))
        inv.waitForSeconds = cmdline::ParseInRange(g->text, g->origin, 1, kLongestWaitSeconds);
    const bool usesLine = inv.command != Command::Ports;
    if (auto g = Used(line, "baud", usesLine)) inv.baudRate = cmdline::ParseBaudRate(g->text, g->origin);
    if (auto g = Used(line, "parity", usesLine)) inv.parity = cmdline::ParseParity(g->text, g->origin);
    if (auto g = line.Last("timeout")) inv.timeoutMs = cmdline::ParseMilliseconds(g->text, g->origin);
    if (auto g = line.Last("interval")) inv.intervalMs = cmdline::ParseMilliseconds(g->text, g->origin);
    const std::optional<Given> only = line.Last("only");
    const std::optional<Given> skip = line.Last("skip");
    if (only && skip) Bad("--only and --skip cannot be used together");
    if (only) inv.applied = SettingSet(*only);
    if (skip) inv.applied &= ~SettingSet(*skip);
}

// The ports named: device and by-id paths too. A name that is no port is a bad command line (exit
// 2), checked before any path is looked at; a path that leads to no serial device cannot be opened
// (exit 3).
void ResolvePorts(const cmdline::ParsedLine& line, const std::optional<Given>& deviceWord, Invocation& inv)
{
    // ports does not take one; --all takes every ready port instead of ORVANE_PORT's.
    const bool used = inv.command != Command::Ports && !inv.allPorts;
    // A device named before the command is given on the command line: ORVANE_PORT gives way to it.
    std::vector<Given> given = (used && !deviceWord) || line.Has("port") ? line.All("port") : std::vector<Given>{};
    if (deviceWord) given.insert(given.begin(), *deviceWord);
    for (const Given& g : given) {
        const bool named = g.text.find('/') == std::string::npos || protocol::LooksLikeNetworkPortUrl(g.text);
        if (named && !platform::ResolvePortArgument(g.text))
            Bad(g.origin + " must be COM1 to COM63, 1 to 63, a device path or rfc2217://HOST:PORT, not "
                + Shown(g.text));
    }
    for (const Given& g : given) {
        const platform::Result<platform::PortChoice> r = platform::ResolvePortArgument(g.text);
        if (!r) {
            // The message starts with the path as given: shown safely.
            std::string message = r.Error().reason;
            if (message.starts_with(g.text)) message.replace(0, g.text.size(), cmdline::Printable(g.text));
            throw CliError(kExitPortFailure, message);
        }
        for (int p : inv.ports) {
            if (p == r->port) Bad(g.origin + " names COM" + std::to_string(r->port) + " twice");
        }
        inv.ports.push_back(r->port);
    }
}

// `orvane-cli /dev/ttyUSB0 info`: a path where the command would stand names the port, as --port does.
std::optional<Given> TakeDeviceWord(cmdline::ParsedLine& line)
{
    if (line.words.empty() || line.words.front().find('/') == std::string::npos) return std::nullopt;
    Given device{line.words.front(), "the device " + Shown(line.words.front())};
    line.words.erase(line.words.begin());
    return device;
}

// -l/--list is the command ports.
void TakeListOption(cmdline::ParsedLine& line)
{
    if (!line.Has("list")) return;
    if (!line.words.empty() && line.words.front() != "ports")
        Bad(line.Written("list") + " lists the ports; it takes no command, not " + Shown(line.words.front()));
    if (line.words.empty()) line.words.emplace_back("ports");
}

}  // namespace

bool AsksForJson(const std::vector<std::string>& args)
{
    for (const std::string& a : args) {
        if (a == "--") return false;
        if (a == "--json") return true;
    }
    return false;
}

std::string HelpText(std::optional<Command> topic)
{
    const cmdline::OptionParser& p = Parser();
    if (topic) {
        const CommandInfo& c = InfoOf(*topic);
        std::string out = std::string("usage: ") + c.usage + "\n" + c.about;
        if (c.options.size() != 0) out += "\nOptions:\n" + p.Help(c.options);
        if (*topic != Command::Help)
            out += "\nCommon options (--port, --baud, --parity, ...): see 'orvane-cli --help'.\n";
        return out;
    }
    std::string out
        = "usage: orvane-cli [OPTIONS] [DEVICE] COMMAND [ARGS]\n"
          "Reads and writes the settings of a radio module on a serial port.\n"
          "A DEVICE path before the command names the port, as --port does: orvane-cli /dev/ttyUSB0 info\n"
          "\n"
          "Commands:\n"
          "  ports                   list every serial device with its state (--watch: then each change)\n"
          "  info                    read band, channel, air rate, serial settings and ID (--search: find first)\n"
          "  search                  find the module's baud rate and parity, on one port or several at once\n"
          "  read SETTING            read channel, air, serial or id\n"
          "  write SETTING VALUE     write channel, air, serial, id or power\n"
          "  apply FILE              write a profile (what info --json prints), then read it back\n"
          "  help [COMMAND]          this help, or a command's (also: orvane-cli COMMAND --help)\n"
          "\n"
          "Options (before or after the command; --name=value works too):\n";
    out += p.Help(
        {"port", "all", "baud", "parity", "timeout", "wait-for", "json", "trace", "quiet", "list", "help", "version"});
    out += "\nEnvironment (the command line wins):\n" + p.EnvironmentHelp();
    out += "\n"
           "Exit codes: 0 done; 1 no answer, a read-back that differs, or standard output or error that\n"
           "cannot be written (a full disk, a closed descriptor); 2 a bad command line, value, environment\n"
           "variable or profile, with nothing sent; 3 the port cannot be opened or used.\n"
           "\n"
           "Several --port options, or --all: info, search, read, write and apply work on every port at\n"
           "once, print each port's result when it is known (each line starting with its port; with --json\n"
           "one object per line with \"port\" and \"exit\"), then a summary line on standard error. The exit\n"
           "code is the worst port's; Ctrl-C stops them all and exits 130.\n";
    return out;
}

Invocation ParseCommandLine(const std::vector<std::string>& args)
{
    Invocation inv;
    const CommandInfo* command = nullptr;
    try {
        cmdline::ParsedLine line = Parser().Parse(args);
        const std::optional<Given> deviceWord = TakeDeviceWord(line);
        TakeListOption(line);
        const std::vector<std::string>& words = line.words;
        if (!words.empty()) command = FindCommand(words[0]);
        if (line.Has("help") || (command != nullptr && command->command == Command::Help)) {
            inv.command = Command::Help;
            if (command != nullptr && command->command != Command::Help) {
                inv.helpTopic = command->command;
            } else if (words.size() >= 2) {
                const CommandInfo* topic = FindCommand(words[1]);
                if (topic == nullptr) Bad("no help for " + Shown(words[1]) + "; commands: " + kCommandList);
                inv.helpTopic = topic->command;
                ExpectArgs(words, 1, "help " + words[1]);
            }
            return inv;
        }
        if (line.Has("version")) {
            inv.command = Command::Version;
            return inv;
        }
        if (words.empty()) Bad(std::string("no command given; commands: ") + kCommandList);
        if (command == nullptr) Bad("unknown command " + Shown(words[0]) + "; commands: " + kCommandList);
        inv.command = command->command;
        ParseOptions(line, inv);
        switch (inv.command) {
        case Command::Ports: ExpectArgs(words, 0, "ports"); break;
        case Command::Info: ExpectArgs(words, 0, "info"); break;
        case Command::Search: ExpectArgs(words, 0, "search"); break;
        case Command::Read: ParseRead(inv, words); break;
        case Command::Write: ParseWrite(inv, words); break;
        case Command::Apply:
            if (words.size() < 2) Bad("apply takes one profile file (- for standard input)");
            ExpectArgs(words, 1, "apply " + words[1]);
            inv.profilePath = words[1];
            if (inv.applied == 0) Bad("--only/--skip leave no setting to write");
            break;
        case Command::Help:
        case Command::Version: break;
        }
        CheckScope(line, inv);
        ResolvePorts(line, deviceWord, inv);
    } catch (const BadValue& e) {
        throw CliError(kExitBadUsage, e.what(), UsageLine(command));
    }
    return inv;
}

}  // namespace cli
