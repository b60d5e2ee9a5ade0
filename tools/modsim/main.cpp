// orvane-modsim: the radio module on a pseudo-terminal, linked as comN in the ports directory.

#include <csignal>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "model/PtyModule.h"
#include "protocol/ModuleFrame.h"

namespace {

constexpr const char* kUsage =
    "usage: orvane-modsim [--port N] [--type 433|490] [--baud B] [--parity no|odd|even] [--air B]\n"
    "                     [--channel N] [--id N] [--power N] [--delay-ms N] [--drop P] [--noise]\n"
    "                     [--split] [--verbose]\n"
    "\n"
    "Offers a simulated radio module as COM<N> (default COM1): links comN in the ports directory\n"
    "($XDG_CONFIG_HOME/orvane/ports) to a pseudo-terminal and answers requests sent at the module's\n"
    "own serial settings. A pseudo-terminal cannot tell parity \"no\" from \"even\": both are taken.\n"
    "\n"
    "  --port N       COM port number, 1..63 (1)\n"
    "  --type T       433 or 490 MHz module (433)\n"
    "  --baud B       module's serial baud rate, 1200..115200 (9600)\n"
    "  --parity P     no, odd or even (no)\n"
    "  --air B        air baud rate, 1200..115200 (9600)\n"
    "  --channel N    channel, 1..32 (1)\n"
    "  --id N         factory ID, 0..65535 (0)\n"
    "  --power N      transmit power level, 1..7 (7)\n"
    "  --delay-ms N   wait N ms before each answer (0)\n"
    "  --drop P       leave each answer unsent with probability P, 0..1 (0)\n"
    "  --noise        send a few stray bytes before each answer\n"
    "  --split        send each answer in two writes\n"
    "  --verbose      print each request and answer in hex\n";

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "orvane-modsim: %s\n%s", message.c_str(), kUsage);
  std::exit(2);
}

int ParseInt(std::string_view option, std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    Fail(std::string(option) + " wants a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
         ", not '" + std::string(text) + "'");
  }
  return value;
}

int ParseBaudIndex(std::string_view option, std::string_view text) {
  const int index = protocol::BaudIndexOfRate(ParseInt(option, text, 1, 1000000));
  if (index < 0) Fail(std::string(option) + " wants one of 1200 2400 4800 9600 19200 38400 57600 115200");
  return index;
}

double ParseProbability(std::string_view text) {
  try {
    std::size_t used = 0;
    const std::string s(text);
    const double p = std::stod(s, &used);
    if (used == s.size() && p >= 0.0 && p <= 1.0) return p;
  } catch (const std::exception&) {
  }
  Fail("--drop wants a probability from 0 to 1, not '" + std::string(text) + "'");
}

}  // namespace

int main(int argc, char** argv) {
  modsim::PtyModuleOptions options;
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--noise") { options.noise = true; continue; }
    if (arg == "--split") { options.split = true; continue; }
    if (arg == "--verbose") { verbose = true; continue; }
    if (i + 1 >= argc) Fail("unknown option or missing value: " + std::string(arg));
    const std::string_view value = argv[++i];
    if (arg == "--port") {
      options.port = ParseInt(arg, value, 1, 63);
    } else if (arg == "--type") {
      if (value == "433") options.settings.moduleType = 2;
      else if (value == "490") options.settings.moduleType = 3;
      else Fail("--type wants 433 or 490, not '" + std::string(value) + "'");
    } else if (arg == "--baud") {
      options.settings.baudIndex = ParseBaudIndex(arg, value);
    } else if (arg == "--parity") {
      if (value == "no") options.settings.parity = 0;
      else if (value == "odd") options.settings.parity = 1;
      else if (value == "even") options.settings.parity = 2;
      else Fail("--parity wants no, odd or even, not '" + std::string(value) + "'");
    } else if (arg == "--air") {
      options.settings.airBaudIndex = ParseBaudIndex(arg, value);
    } else if (arg == "--channel") {
      options.settings.channel = ParseInt(arg, value, 1, 32);
    } else if (arg == "--id") {
      options.settings.guestId = ParseInt(arg, value, 0, 65535);
    } else if (arg == "--power") {
      options.settings.power = ParseInt(arg, value, 1, 7);
    } else if (arg == "--delay-ms") {
      options.delayMs = ParseInt(arg, value, 0, 60000);
    } else if (arg == "--drop") {
      options.dropProbability = ParseProbability(value);
    } else {
      Fail("unknown option: " + std::string(arg));
    }
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

  modsim::PtyModule module(options);
  std::string error;
  if (!module.Start(&error)) {
    std::fprintf(stderr, "orvane-modsim: %s\n", error.c_str());
    return 1;
  }
  const modsim::ModuleSettings& s = options.settings;
  std::printf("module simulator on COM%d (%s): %d %s, %s MHz\n", module.Port(), module.DevicePath().c_str(),
              protocol::kBaudRates[static_cast<std::size_t>(s.baudIndex)],
              protocol::kParityNames[static_cast<std::size_t>(s.parity)], s.moduleType == 3 ? "490" : "433");
  std::fflush(stdout);

  int received = 0;
  sigwait(&signals, &received);
  module.Stop();
  return 0;
}
