// orvane-cli's commands against the module simulator on a pty: what each prints, what it changes
// in the module, and its exit code for every kind of failure.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

#include "common/ModuleStarter.h"
#include "model/PtyModule.h"
#include "platform/PortNamespace.h"
#include "serial/CXSerial.h"
#include "support/CliTestKit.h"

using clitest::CliResult;
using clitest::RunCli;

namespace {

constexpr int kPort = 3;

modsim::ModuleSettings Configured()
{
    modsim::ModuleSettings s;
    s.baudIndex = 4;  // 19200, no parity
    s.airBaudIndex = 2;
    s.channel = 5;
    s.guestId = 1234;
    return s;
}

class Commands : public ::testing::Test {
protected:
    std::unique_ptr<modsim::PtyModule> Start(modsim::ModuleSettings settings, double drop = 0.0, int port = kPort)
    {
        modsim::PtyModuleOptions options;
        options.port = port;
        options.settings = settings;
        options.dropProbability = drop;
        return testcommon::StartModule(options);
    }

    static std::vector<std::string> At(const std::string& baud, std::vector<std::string> rest)
    {
        std::vector<std::string> args{"--port", std::to_string(kPort), "--baud", baud};
        args.insert(args.end(), rest.begin(), rest.end());
        return args;
    }

    clitest::TempConfigHome home;
};

TEST_F(Commands, InfoPrintsEverySettingPlainAndAsJson)
{
    auto module = Start(Configured());
    CliResult plain = RunCli(At("19200", {"info"}));
    EXPECT_EQ(plain.code, 0) << plain.err;
    EXPECT_EQ(plain.out, "module 433MHz\nchannel 5 433.0682MHz\nair 4800\nserial 19200 No\nid 1234\n");
    EXPECT_EQ(plain.err, "");

    CliResult json = RunCli(At("19200", {"--json", "info"}));
    EXPECT_EQ(json.code, 0) << json.err;
    EXPECT_EQ(json.out,
              "{\"format\":1,\"module\":\"433MHz\",\"band_mhz\":433,\"channel\":5,\"frequency\":\"433.0682MHz\","
              "\"frequency_mhz\":433.0682,\"air\":4800,\"serial\":{\"baud\":19200,\"parity\":\"none\"},\"id\":1234}\n");
    EXPECT_EQ(clitest::SchemaErrors(json.out), "");
}

TEST_F(Commands, ReadPrintsOneSetting)
{
    modsim::ModuleSettings s = Configured();
    s.moduleType = 3;
    s.channel = 8;
    auto module = Start(s);
    const struct {
        const char* what;
        const char* plain;
        const char* json;
    } cases[] = {
        {"channel", "channel 8 492.4388MHz\n",
         "{\"format\":1,\"channel\":8,\"frequency\":\"492.4388MHz\",\"frequency_mhz\":492.4388}\n"},
        {"air", "air 4800\n", "{\"format\":1,\"air\":4800}\n"},
        {"serial", "serial 19200 No\n", "{\"format\":1,\"serial\":{\"baud\":19200,\"parity\":\"none\"}}\n"},
        {"id", "id 1234\n", "{\"format\":1,\"id\":1234}\n"},
    };
    for (const auto& c : cases) {
        CliResult plain = RunCli(At("19200", {"read", c.what}));
        EXPECT_EQ(plain.code, 0) << c.what << ": " << plain.err;
        EXPECT_EQ(plain.out, c.plain);
        // Options may follow the command as well.
        CliResult json = RunCli({"read", c.what, "--json", "--port=COM3", "--baud", "19200"});
        EXPECT_EQ(json.code, 0) << c.what << ": " << json.err;
        EXPECT_EQ(json.out, c.json);
    }
}

TEST_F(Commands, WriteChangesTheModuleAndPrintsTheSetting)
{
    auto module = Start(Configured());
    const struct {
        std::vector<std::string> args;
        const char* printed;
        std::function<bool(const modsim::ModuleSettings&)> took;
    } cases[] = {
        {{"write", "channel", "32"}, "channel 32\n", [](auto& s) { return s.channel == 32; }},
        {{"write", "air", "115200"}, "air 115200\n", [](auto& s) { return s.airBaudIndex == 7; }},
        {{"write", "id", "65535"}, "id 65535\n", [](auto& s) { return s.guestId == 65535; }},
        {{"write", "id", "00042"}, "id 42\n", [](auto& s) { return s.guestId == 42; }},
        {{"write", "power", "3"}, "power 3\n", [](auto& s) { return s.power == 3; }},
    };
    for (const auto& c : cases) {
        CliResult r = RunCli(At("19200", c.args));
        EXPECT_EQ(r.code, 0) << c.args[1] << ": " << r.err;
        EXPECT_EQ(r.out, c.printed);
        EXPECT_TRUE(c.took(module->Settings())) << c.args[1];
    }

    // The module's own serial settings: it answers at the old ones, then moves to the new ones.
    CliResult serial = RunCli(At("19200", {"--json", "write", "serial", "38400", "ODD"}));
    EXPECT_EQ(serial.code, 0) << serial.err;
    EXPECT_EQ(serial.out, "{\"format\":1,\"serial\":{\"baud\":38400,\"parity\":\"odd\"}}\n");
    EXPECT_EQ(module->Settings().baudIndex, 5);
    EXPECT_EQ(module->Settings().parity, 1);
    CliResult old = RunCli(At("19200", {"--timeout", "300", "read", "id"}));
    EXPECT_EQ(old.code, 1);
}

TEST_F(Commands, SearchFindsTheModuleAwayFromTheStartPairAndLeavesItUntouched)
{
    modsim::ModuleSettings s = Configured();
    s.baudIndex = 5;  // 38400 ODD: the eighth pair from 9600 No
    s.parity = 1;
    auto module = Start(s);
    CliResult r = RunCli({"--port", "COM3", "search", "--interval", "500"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "found COM3 38400 ODD 433MHz\n  use: --port COM3 --baud 38400 --parity odd\n");
    EXPECT_EQ(module->Settings(), s);

    CliResult json = RunCli({"--port", "3", "--baud", "19200", "--json", "search", "--interval", "500"});
    EXPECT_EQ(json.code, 0) << json.err;
    EXPECT_EQ(json.out,
              "{\"port\":\"COM3\",\"baud\":38400,\"parity\":\"odd\",\"module\":\"433MHz\",\"band_mhz\":433}\n");
}

TEST_F(Commands, SearchWithoutAnswerTriesEveryPairThenExitsOne)
{
    auto module = Start(Configured(), 1.0);
    CliResult r = RunCli({"--port", "3", "--parity", "even", "search", "--interval", "40"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("no module answered a search on COM3 (25 baud/parity pairs tried"), std::string::npos)
        << r.err;
}

TEST_F(Commands, DroppedAnswersExitOneNamingTheRequest)
{
    auto module = Start(Configured(), 1.0);
    const struct {
        std::vector<std::string> args;
        const char* named;
    } cases[] = {
        {{"read", "air"}, "no answer to read air baud rate (code 4) on COM3 at 19200 No within 300 ms"},
        {{"info"}, "no module answered on COM3 at 19200 No; run 'orvane-cli --port COM3 search'"},
        {{"write", "channel", "7"}, "no answer to write channel (code 5)"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = At("19200", {"--timeout", "300"});
        args.insert(args.end(), c.args.begin(), c.args.end());
        CliResult r = RunCli(args);
        EXPECT_EQ(r.code, 1) << c.named;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
    }
}

TEST_F(Commands, BadCommandLinesExitTwoWithOneLineAndSendNothing)
{
    auto module = Start(Configured());
    const struct {
        std::vector<std::string> args;
        std::string said;
        std::vector<std::pair<std::string, std::string>> env = {};
    } cases[] = {
        {{"write", "channel", "0"}, "channel must be 1 to 32, not '0'"},
        {{"write", "channel", "33"}, "channel must be 1 to 32, not '33'"},
        {{"write", "channel", "5x"}, "channel must be 1 to 32, not '5x'"},
        {{"write", "channel", ""}, "channel must be 1 to 32, not ''"},
        {{"write", "channel", "5", "6"}, "unexpected '6' after 'write channel 5'"},
        {{"write", "id", "65536"}, "id must be 0 to 65535, not '65536'"},
        {{"write", "id", "-1"}, "id must be 0 to 65535, not '-1'"},
        {{"write", "air", "1000"}, "air must be one of 1200 2400 4800 9600 19200 38400 57600 115200, not '1000'"},
        {{"write", "power", "8"}, "power must be 1 to 7, not '8'"},
        {{"write", "serial", "9600", "mark"}, "parity must be none, odd or even, not 'mark'"},
        {{"write", "serial", "9600"}, "write serial takes a baud rate and a parity"},
        {{"--parity", "mark", "info"}, "--parity must be none, odd or even, not 'mark'"},
        {{"-p", "x", "info"}, "-p must be none, odd or even, not 'x'"},
        {{"--baud", "300", "info"}, "--baud must be one of 1200"},
        {{"-b9600x", "info"}, "-b must be one of 1200 2400 4800 9600 19200 38400 57600 115200, not '9600x'"},
        {{"--timeout", "0", "info"}, "--timeout must be 1 to 600000, not '0'"},
        {{"--timeout=-5", "info"}, "--timeout must be 1 to 600000, not '-5'"},
        {{"info", "--timeout"}, "--timeout needs a value (MS)"},
        {{"--json=yes", "info"}, "--json takes no value"},
        {{"--port", "COM64", "info"},
         "--port must be COM1 to COM63, 1 to 63, a device path or rfc2217://HOST:PORT, not 'COM64'"},
        {{"--all", "read", "id"}, "--all and --port cannot be used together"},
        {{"--port", "com3", "search"}, "--port names COM3 twice"},
        {{"--all", "search"}, "--all and --port cannot be used together"},
        {{"--interval", "100", "info"}, "--interval belongs to search and info --search"},
        {{"--only", "id", "info"}, "--only belongs to apply"},
        {{"--watch", "info"}, "--watch belongs to ports"},
        {{"ports", "--watch", "--all"}, "--watch and --all cannot be used together"},
        {{"--wait-for", "5", "ports"}, "--wait-for belongs to the commands that talk to a module"},
        {{"--wait-for", "0", "info"}, "--wait-for must be 1 to 86400, not '0'"},
        {{"apply", "--only", "id,colour", "-"}, "--only must list channel, air, serial, id or power, not 'id,colour'"},
        {{"apply", "--skip", "channel,air,serial,id,power", "-"}, "--only/--skip leave no setting to write"},
        {{"--colour", "info"}, "unknown option '--colour'"},
        {{"-qx", "search"}, "unknown option '-qx'"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"help", "frobnicate"}, "no help for 'frobnicate'"},
        {{"read", "power"}, "the module cannot report its power"},
        {{"read", "channel", "5"}, "unexpected '5' after 'read channel'"},
        {{"apply", "/nonexistent/profile.json"}, "cannot read the profile /nonexistent/profile.json"},
        {{}, "no command given"},
        {{"info"}, "ORVANE_PARITY must be none, odd or even, not 'mark'", {{"ORVANE_PARITY", "mark"}}},
        {{"info"}, "ORVANE_PARITY must be none, odd or even, not 'odd '", {{"ORVANE_PARITY", "odd "}}},
        // What the user typed is quoted with its control characters escaped, and cut when long.
        {{"chan\x01nel"}, "unknown command 'chan\\x01nel'"},
        {{"write", "channel", "5\n6"}, "channel must be 1 to 32, not '5\\n6'"},
        {{"--colour\x1b[31m", "info"}, "unknown option '--colour\\x1b[31m'"},
        {{"write", "id", std::string(60000, '7')}, "id must be 0 to 65535, not '" + std::string(61, '7') + "...'"},
        {{"info"}, "ORVANE_PARITY must be none, odd or even, not 'o\\r\\nd'", {{"ORVANE_PARITY", "o\r\nd"}}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"--port", "3", "--baud", "19200"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        clitest::RunOptions options;
        options.env = c.env;
        CliResult r = RunCli(args, options);
        EXPECT_EQ(r.code, 2) << c.said;
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.starts_with("orvane-cli: " + c.said)) << r.err;
        EXPECT_LT(r.err.size(), 400u);
        // One line saying what is wrong; a command line's mistake adds one usage line, never the help.
        const std::size_t lines = std::count(r.err.begin(), r.err.end(), '\n');
        EXPECT_LE(lines, 2u) << r.err;
        if (lines == 2) {
            EXPECT_NE(r.err.find("\nusage: orvane-cli "), std::string::npos) << r.err;
        }
    }
    // Requests are handled in the order they reach the pty: had any run above written a frame, the
    // simulator would have handled it before this one.
    CliResult r = RunCli(At("19200", {"read", "id"}));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(testcommon::WaitWithoutEvents([&] { return module->AnswersSent() >= 1; }));
    EXPECT_EQ(module->AnswersSent(), 1u);
    EXPECT_EQ(module->RequestsIgnored(), 0u);
    EXPECT_EQ(module->Settings(), Configured());
}

TEST_F(Commands, JsonErrorsAreOneObjectOnStandardError)
{
    auto module = Start(Configured(), 1.0);
    const struct {
        std::vector<std::string> args;
        const char* err;
        int code;
    } cases[] = {
        {{"--json", "--timeout", "200", "read", "id"},
         "{\"error\":\"no answer to read ID (code 13) on COM3 at 19200 No within 200 ms\",\"exit\":1}\n",
         1},
        {{"read", "id", "--json", "--parity", "mark"},
         "{\"error\":\"--parity must be none, odd or even, not 'mark'\",\"exit\":2}\n",
         2},
    };
    for (const auto& c : cases) {
        CliResult r = RunCli(At("19200", c.args));
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
}

TEST_F(Commands, PortsListsEveryPortWithItsState)
{
    auto module = Start(Configured());
    std::filesystem::create_symlink("/nonexistent/ttyX", platform::PortLinkPath(9));
    CliResult r = RunCli({"ports"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("COM3\t" + module->DevicePath() + "\tready\tlink in the ports directory\t-\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("COM9\t/nonexistent/ttyX\tstale link\tstale link in the ports directory\t-\n"),
              std::string::npos)
        << r.out;
    // Ascending port numbers, five tab-separated fields each.
    std::istringstream lines(r.out);
    std::string text;
    int last = 0;
    const std::regex form("(COM([0-9]+)|-)\t/[^\t]+\t[^\t]+\t[^\t]+\t[^\t]+");
    while (std::getline(lines, text)) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(text, m, form)) << text;
        if (!m[2].matched) continue;
        EXPECT_GT(std::stoi(m[2]), last);
        last = std::stoi(m[2]);
    }

    // A port held open elsewhere is listed as in use, with who holds it.
    struct Holder : CXSerial {
        void OnReceiveByte(std::uint8_t) override { }
        ~Holder() override { Close(); }
    } holder;
    ASSERT_EQ(holder.Open(kPort, 9600, 0), 1);
    CliResult held = RunCli({"--json", "ports"});
    EXPECT_EQ(held.out.rfind("{\"ports\":[", 0), 0u) << held.out;
    EXPECT_NE(
        held.out.find("{\"port\":\"COM3\",\"device\":\"" + module->DevicePath() + "\",\"by_id\":null,\"link\":\""
                      + platform::PortLinkPath(kPort)
                      + "\",\"kind\":\"link\",\"description\":\"link in the ports directory\",\"state\":\"in use\","
                        "\"reason\":null,\"holders\":["
                      + std::to_string(::getpid()) + "]"),
        std::string::npos)
        << held.out;
}

TEST_F(Commands, PortTakesADevicePathAndRefusesWhatIsNoSerialDevice)
{
    auto module = Start(Configured());
    CliResult byPath = RunCli({"--port", module->DevicePath(), "--baud", "19200", "read", "id"});
    EXPECT_EQ(byPath.code, 0) << byPath.err;
    EXPECT_EQ(byPath.out, "id 1234\n");

    const std::filesystem::path dir = home.Path();
    const std::string file = (dir / "plain").string();
    {
        std::ofstream(file).flush();
    }
    std::filesystem::create_symlink(dir / "loop-b", dir / "loop-a");
    std::filesystem::create_symlink(dir / "loop-a", dir / "loop-b");
    std::filesystem::create_symlink(dir / "gone", dir / "dangling");
    struct Case {
        std::string port;
        int code;
        std::string said;
    };
    const Case cases[] = {
        {file, 3, file + ": not a serial device"},
        {dir.string(), 3, dir.string() + ": a directory, not a serial device"},
        {"/dev/null", 3, "/dev/null: not a serial device"},
        {(dir / "loop-a").string(), 3, (dir / "loop-a").string() + ": link loop"},
        {(dir / "dangling").string(), 3,
         (dir / "dangling").string() + ": dangling link: " + (dir / "gone").string() + " is gone"},
        {"COM64", 2, "port must be COM1 to COM63, 1 to 63, a device path or rfc2217://HOST:PORT, not 'COM64'"},
        {"ttyUSB0", 2, "not 'ttyUSB0'"},
        {(dir / "a\nb").string(), 3, (dir / "a\\nb").string() + ": no such file"},
    };
    for (const Case& c : cases) {
        CliResult r = RunCli({"--port", c.port, "read", "id"});
        EXPECT_EQ(r.code, c.code) << c.port;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.code == 2 ? 2 : 1) << r.err;
    }
    // A bad value is a bad command line, whatever the port: it is found before any port is looked at.
    const std::vector<std::string> badValues[] = {
        {"--port", "/dev/null", "--baud", "7", "read", "id"},
        {"--port", (dir / "loop-a").string(), "write", "channel", "99"},
        {"--port", "/nonexistent/tty", "--timeout", "0", "info"},
        {"--port", "/dev/null", "--port", "COM64", "apply", "-"},
    };
    for (const auto& args : badValues) {
        CliResult r = RunCli(args);
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_EQ(r.err.find(args[1]), std::string::npos) << r.err;  // the port's path was not looked at
    }
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    EXPECT_EQ(module->AnswersSent(), 1u);
}

TEST_F(Commands, PortFailuresExitThreeNamingDeviceAndReason)
{
    auto module = Start(Configured());
    {
        struct Holder : CXSerial {
            void OnReceiveByte(std::uint8_t) override { }
            ~Holder() override { Close(); }
        } holder;
        ASSERT_EQ(holder.Open(kPort, 9600, 0), 1);
        CliResult r = RunCli(At("19200", {"read", "id"}));
        EXPECT_EQ(r.code, 3);
        EXPECT_NE(r.err.find("cannot open COM3 (" + module->DevicePath() + "): in use"), std::string::npos) << r.err;
    }

    std::filesystem::create_symlink("/nonexistent/ttyX", platform::PortLinkPath(9));
    CliResult gone = RunCli({"--port", "9", "info"});
    EXPECT_EQ(gone.code, 3);
    EXPECT_NE(gone.err.find("cannot open COM9 (/nonexistent/ttyX): no such device"), std::string::npos) << gone.err;

    // A loop through other links names the link the user made, in the message and the listing.
    const std::string loop = platform::PortLinkPath(6);
    std::filesystem::create_symlink(loop + "-a", loop);
    std::filesystem::create_symlink(loop + "-b", loop + "-a");
    std::filesystem::create_symlink(loop + "-a", loop + "-b");
    CliResult looped = RunCli({"--port", "6", "info"});
    EXPECT_EQ(looped.code, 3);
    EXPECT_EQ(looped.err, "orvane-cli: cannot open COM6 (" + loop + "): link loop\n");
    EXPECT_NE(RunCli({"ports"}).out.find("COM6\t" + loop + "\tstale link (link loop)\t"), std::string::npos);

    // Permission denied: as root, run the program as "nobody", who may not open the pty.
    clitest::RunOptions options;
    if (::geteuid() == 0) {
        options.runAsUid = 65534;
    } else {
        ::chmod(module->DevicePath().c_str(), 0);
    }
    CliResult denied = RunCli(At("19200", {"read", "id"}), options);
    EXPECT_EQ(denied.code, 3) << denied.err;
    EXPECT_NE(denied.err.find("cannot open COM3 (" + module->DevicePath() + "): permission denied"), std::string::npos)
        << denied.err;
    EXPECT_NE(denied.err.find("dialout"), std::string::npos) << denied.err;
    EXPECT_EQ(module->AnswersSent(), 0u);
}

TEST_F(Commands, OutputThatCannotBeWrittenExitsOne)
{
    auto module = Start(Configured());
    using Output = clitest::RunOptions::Output;
    const std::string full = "cannot write to standard output: No space left on device";
    const std::string closed = "cannot write to standard output: Bad file descriptor";
    const struct {
        std::vector<std::string> args;
        Output output;
        std::string err;
    } cases[] = {
        {{"--help"}, Output::kFull, "orvane-cli: " + full + "\n"},
        {{"--help"}, Output::kClosed, "orvane-cli: " + closed + "\n"},
        {{"--version"}, Output::kFull, "orvane-cli: " + full + "\n"},
        {{"ports"}, Output::kFull, "orvane-cli: " + full + "\n"},
        {{"ports", "--json"}, Output::kClosed, "{\"error\":\"" + closed + "\",\"exit\":1}\n"},
        {At("19200", {"read", "id"}), Output::kClosed, "orvane-cli: " + closed + "\n"},
        {At("19200", {"--json", "info"}), Output::kFull, "{\"error\":\"" + full + "\",\"exit\":1}\n"},
        // A graver failure keeps its code.
        {At("19200", {"write", "id", "70000"}), Output::kFull, ""},
    };
    for (const auto& c : cases) {
        clitest::RunOptions options;
        options.output = c.output;
        CliResult r = RunCli(c.args, options);
        if (c.err.empty()) {
            EXPECT_EQ(r.code, 2) << r.err;
            continue;
        }
        EXPECT_EQ(r.code, 1) << ::testing::PrintToString(c.args);
        EXPECT_EQ(r.err, c.err);
    }
    // The module answered the two that reached it: the port was no place for the output.
    EXPECT_TRUE(testcommon::WaitWithoutEvents([&] { return module->AnswersSent() >= 6; }));
    EXPECT_EQ(module->RequestsIgnored(), 0u);
}

TEST_F(Commands, TraceLogsEveryFrameWithTimeAndDirection)
{
    auto module = Start(Configured());
    CliResult r = RunCli(At("19200", {"--trace", "read", "air"}));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "air 4800\n");
    const std::string time = "[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3} ";
    EXPECT_TRUE(std::regex_search(r.err, std::regex(time + "TX AF AF 00 00 AF 80 04 02 00 00 93 0D 0A\n"))) << r.err;
    EXPECT_TRUE(std::regex_search(r.err, std::regex(time + "RX AF AF 00 00 AF 80 04 02 03 00 [0-9A-F]{2} 0D 0A\n")))
        << r.err;
    CliResult quiet = RunCli(At("19200", {"read", "air"}));
    EXPECT_EQ(quiet.err, "");
}

}  // namespace
