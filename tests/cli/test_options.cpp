// orvane-cli's command-line habits: the spellings of options and values, environment defaults, help
// at every level and the version; the search's progress line on a terminal, several ports searched
// at once, and info with and without --search.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "OrvaneVersion.h"
#include "common/ModuleStarter.h"
#include "model/PtyModule.h"
#include "platform/PortNamespace.h"
#include "support/CliTestKit.h"

using clitest::CliResult;
using clitest::RunCli;

namespace {

using Env = std::vector<std::pair<std::string, std::string>>;

class Options : public ::testing::Test {
protected:
    std::unique_ptr<modsim::PtyModule> Start(int port, int baudIndex, int parity)
    {
        modsim::PtyModuleOptions options;
        options.port = port;
        options.settings.baudIndex = baudIndex;
        options.settings.parity = parity;
        options.settings.guestId = 1234;
        return testcommon::StartModule(options);
    }

    static CliResult Run(const std::vector<std::string>& args, Env env = {}, bool terminal = false)
    {
        clitest::RunOptions options;
        options.env = std::move(env);
        options.stderrOnTerminal = terminal;
        return RunCli(args, options);
    }

    static std::size_t Count(const std::string& text, const std::string& part)
    {
        std::size_t n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    }

    clitest::TempConfigHome home;
};

TEST_F(Options, EverySpellingOfPortBaudAndParityAndTheEnvironmentReachTheModule)
{
    auto module = Start(3, 4, 1);  // 19200 ODD
    const struct {
        std::vector<std::string> args;
        Env env = {};
    } reach[] = {
        {{"--port", "COM3", "--baud", "19200", "--parity", "odd"}},
        {{"--port=com3", "--baud=19200", "--parity=ODD"}},
        {{"--port", "3", "-b", "19200", "-p", "o"}},
        {{"-pO", "--port=3", "-b19200"}},
        {{"-p", "Odd", "--port", "3", "--baud", "9600", "--baud", "19200"}},  // the last one wins
        {{}, {{"ORVANE_PORT", "COM3"}, {"ORVANE_BAUD", "19200"}, {"ORVANE_PARITY", "o"}}},
        {{"-p", "odd"}, {{"ORVANE_PORT", "3"}, {"ORVANE_BAUD", "19200"}, {"ORVANE_PARITY", "even"}}},
        {{"--port", "3", "-b", "19200"}, {{"ORVANE_PORT", "7"}, {"ORVANE_BAUD", "1200"}, {"ORVANE_PARITY", "O"}}},
        {{"--port", "3", "-b", "19200", "-p", "odd"}, {{"ORVANE_BAUD", ""}, {"ORVANE_PARITY", "mark"}}},
        {{"-d", "3", "-b19200", "-podd"}},
        {{"--device=COM3", "-b", "19200", "-p", "odd"}, {{"ORVANE_PORT", "7"}}},
        // A device path where the command would stand; ORVANE_PORT gives way to it.
        {{platform::PortLinkPath(3), "-b", "19200", "-p", "odd"}, {{"ORVANE_PORT", "7"}}},
        {{"-b", "19200", platform::PortLinkPath(3), "-p", "odd"}},
    };
    for (const auto& c : reach) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"read", "id"});
        CliResult r = Run(args, c.env);
        EXPECT_EQ(r.code, 0) << ::testing::PrintToString(c.args) << r.err;
        EXPECT_EQ(r.out, "id 1234\n");
    }
    // n and e are parity none and even: the module at odd parity does not hear them.
    for (const char* word : {"n", "NO", "None", "e", "EVEN"}) {
        CliResult r = Run({"--port", "3", "-b", "19200", "-p", word, "--timeout", "200", "read", "id"});
        EXPECT_EQ(r.code, 1) << word;
        const bool none = word[0] == 'n' || word[0] == 'N';
        EXPECT_NE(r.err.find(none ? "at 19200 No within" : "at 19200 Even within"), std::string::npos) << r.err;
    }
}

TEST_F(Options, AnEnvironmentDefaultIsCheckedOnlyByTheCommandsThatUseIt)
{
    auto module = Start(3, 3, 0);  // 9600 No
    const struct {
        std::vector<std::string> args;
        Env env;
        int code;
        std::string said;  // the start of standard error
    } cases[] = {
        // ports uses none of them: the completion of --port lists the ports whatever they say.
        {{"ports"}, {{"ORVANE_PARITY", "mark"}}, 0, ""},
        {{"ports", "--json"}, {{"ORVANE_BAUD", "7"}, {"ORVANE_PORT", "COM99"}}, 0, ""},
        {{"ports"}, {{"ORVANE_PORT", "/nonexistent/tty"}}, 0, ""},
        {{"--list"}, {{"ORVANE_PARITY", "mark"}}, 0, ""},
        {{"-l", "info"}, {}, 2, "orvane-cli: -l lists the ports; it takes no command, not 'info'\n"},
        {{"--parity", "mark", "ports"}, {}, 2, "orvane-cli: --parity must be none, odd or even, not 'mark'\n"},
        {{"read", "id"}, {{"ORVANE_PORT", "3"}, {"ORVANE_BAUD", "7"}}, 2, "orvane-cli: ORVANE_BAUD must be one of"},
        {{"read", "id"}, {{"ORVANE_PORT", "COM99"}}, 2, "orvane-cli: ORVANE_PORT must be COM1 to COM63"},
        {{"read", "id"}, {{"ORVANE_PORT", "3"}, {"ORVANE_PARITY", "mark"}}, 2, "orvane-cli: ORVANE_PARITY must be"},
        {{"--port", "3", "read", "id"}, {{"ORVANE_PORT", "COM99"}}, 0, ""},
    };
    for (const auto& c : cases) {
        CliResult r = Run(c.args, c.env);
        EXPECT_EQ(r.code, c.code) << ::testing::PrintToString(c.args) << r.err;
        EXPECT_TRUE(r.err.starts_with(c.said)) << r.err;
        if (c.code == 0 && (c.args.front() == "ports" || c.args.front() == "--list")) {
            EXPECT_NE(r.out.find("COM3"), std::string::npos) << r.out;
        }
    }

    // The completion of --port, which runs `ports`, lists the simulator's port.
    const char* completion = "/usr/share/bash-completion/bash_completion";
    if (::access(completion, R_OK) == 0) {
        const std::string script = std::string("source ") + completion + "; source '" + std::getenv("ORVANE_SOURCE_DIR")
            + "/data/completion/orvane-cli'; COMP_LINE=\"$0 --port \"; COMP_POINT=${#COMP_LINE};"
              " COMP_WORDS=(\"$0\" --port ''); COMP_CWORD=2; _orvane_cli; printf '%s\\n' \"${COMPREPLY[@]}\"";
        clitest::RunOptions options;
        options.env = {{"ORVANE_PARITY", "mark"}, {"ORVANE_BAUD", "7"}};
        const CliResult completed = clitest::RunProgram(
            "/bin/bash", {"-c", script, std::string(std::getenv("ORVANE_BIN_DIR")) + "/orvane-cli"}, options);
        EXPECT_NE(completed.out.find("COM3\n"), std::string::npos) << completed.out << completed.err;
    }

    // Without a home there is no ports directory: the built-in table alone names the ports.
    clitest::RunOptions homeless;
    homeless.unset = {"HOME", "XDG_CONFIG_HOME"};
    CliResult r = RunCli({"--port", "60", "read", "id"}, homeless);
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.starts_with("orvane-cli: cannot open COM60 (/dev/ttyACM11): ")) << r.err;
}

TEST_F(Options, TheWindowTakesNoPort)
{
    const std::string gui = std::string(std::getenv("ORVANE_BIN_DIR")) + "/orvane";
    if (::access(gui.c_str(), X_OK) != 0) GTEST_SKIP() << "built without the window";
    const struct {
        std::vector<std::string> args;
        std::string said;
    } cases[] = {
        {{"/dev/ttyUSB0"}, "orvane: takes no port or file, not '/dev/ttyUSB0'; pick the port in \"Com Setting\"\n"},
        {{"-platform", "offscreen", "COM3"}, "orvane: takes no port or file, not 'COM3'"},
        {{"--port=COM3"}, "orvane: unknown option '--port=COM3'\n"},
    };
    for (const auto& c : cases) {
        clitest::RunOptions options;
        options.env = {{"QT_QPA_PLATFORM", "offscreen"}};
        CliResult r = clitest::RunProgram(gui, c.args, options);
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("usage: orvane [--help] [--version] [Qt options]\n"), std::string::npos) << r.err;
    }
}

TEST_F(Options, HelpAtEveryLevelAndTheVersion)
{
    const struct {
        std::vector<std::string> args;
        const char* begins;
    } cases[] = {
        {{"--help"}, "usage: orvane-cli [OPTIONS] [DEVICE] COMMAND [ARGS]\n"},
        {{"-h"}, "usage: orvane-cli [OPTIONS] [DEVICE] COMMAND [ARGS]\n"},
        {{"help"}, "usage: orvane-cli [OPTIONS] [DEVICE] COMMAND [ARGS]\n"},
        {{"info", "-h"}, "usage: orvane-cli [OPTIONS] info [--search [--interval MS]]\nSends a search request"},
        {{"help", "write"}, "usage: orvane-cli [OPTIONS] write channel N"},
        {{"write", "channel", "99", "--help"}, "usage: orvane-cli [OPTIONS] write channel N"},
        {{"--port", "3", "search", "--help"}, "usage: orvane-cli [OPTIONS] search [--port PORT]... [--all]"},
        {{"apply", "--help"}, "usage: orvane-cli [OPTIONS] apply [--only LIST | --skip LIST] FILE|-"},
        {{"ports", "-h"}, "usage: orvane-cli [--json] ports [--all | --watch]\n"},
        {{"-l", "-h"}, "usage: orvane-cli [--json] ports [--all | --watch]\n"},
        {{"read", "--help"}, "usage: orvane-cli [OPTIONS] read channel|air|serial|id\n"},
        {{"--version"}, "orvane-cli "},
        {{"info", "-V"}, "orvane-cli "},
    };
    for (const auto& c : cases) {
        CliResult r = Run(c.args);
        EXPECT_EQ(r.code, 0) << c.begins;
        EXPECT_TRUE(r.out.starts_with(c.begins)) << r.out;
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(Run({"-V"}).out, "orvane-cli " ORVANE_VERSION "\n");

    // The environment's defaults, and which are set now.
    CliResult help = Run({"--help"}, {{"ORVANE_BAUD", "38400"}});
    EXPECT_NE(help.out.find("ORVANE_BAUD             default for --baud (now '38400')"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("ORVANE_PORT             default for --port (not set)"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("-p, --parity PARITY"), std::string::npos) << help.out;
}

TEST_F(Options, SearchShowsOneUpdatingProgressLineOnATerminalOnly)
{
    auto module = Start(3, 5, 1);  // 38400 ODD: the eighth pair from 9600 No
    const std::string found = "found COM3 38400 ODD 433MHz\n  use: --port COM3 --baud 38400 --parity odd\n";
    // A generous interval: a loaded machine must not make the module miss its pair.
    CliResult r = Run({"--port", "3", "search", "--interval", "700"}, {}, true);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, found);
    EXPECT_TRUE(r.err.starts_with("\rsearching COM3: 9600 No (1/27)\x1b[K\rsearching COM3: 9600 ODD (2/27)\x1b[K"))
        << r.err;
    EXPECT_NE(r.err.find("\rsearching COM3: 38400 ODD (8/27)\x1b[K\r\x1b[K"), std::string::npos) << r.err;
    EXPECT_TRUE(r.err.ends_with("\r\x1b[K")) << r.err;
    EXPECT_EQ(Count(r.err, "searching"), 8u) << r.err;

    for (const char* quiet : {"--quiet", "-q", "--json"}) {
        CliResult silent = Run({"--port", "3", "-b", "38400", "-p", "o", quiet, "search"}, {}, true);
        EXPECT_EQ(silent.code, 0) << silent.err;
        EXPECT_EQ(silent.err, "") << quiet;
    }
}

TEST_F(Options, SeveralPortsAreSearchedAtOnce)
{
    auto a = Start(1, 3, 1);  // 9600 ODD: pair 2
    auto b = Start(2, 4, 0);  // 19200 No: pair 4
    auto c = Start(3, 5, 1);  // 38400 ODD: pair 8
    std::filesystem::create_symlink("/nonexistent/ttyX", platform::PortLinkPath(4));
    CliResult r
        = Run({"search", "--port", "1", "--port", "COM2", "--port=3", "--port", "4", "--interval", "700"}, {}, true);
    // One round per pair tries every port still searching: eight rounds, as long as COM3 alone.
    EXPECT_EQ(Count(r.err, "searching"), 8u) << r.err;
    // COM4 is told first: it fails before the first round.
    EXPECT_TRUE(r.err.starts_with("orvane-cli: cannot open COM4 (/nonexistent/ttyX)")) << r.err;
    EXPECT_NE(r.err.find("\rsearching COM1: 9600 No (1/27), COM2: 9600 No (1/27), COM3: 9600 No (1/27)\x1b[K"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("\rsearching COM2: 19200 No (4/27), COM3: 19200 No (4/27)\x1b[K"), std::string::npos) << r.err;
    EXPECT_TRUE(r.err.ends_with("\r\x1b[K3 done, 0 no answer, 1 could not open (COM4)\n")) << r.err;
    EXPECT_EQ(r.out,
              "found COM1 9600 ODD 433MHz\n  use: --port COM1 --baud 9600 --parity odd\n"
              "found COM2 19200 No 433MHz\n  use: --port COM2 --baud 19200 --parity none\n"
              "found COM3 38400 ODD 433MHz\n  use: --port COM3 --baud 38400 --parity odd\n");
    EXPECT_EQ(r.code, 3);  // a port that cannot be opened; one not found would give 1

    std::filesystem::remove(platform::PortLinkPath(4));
    CliResult all = Run({"--json", "search", "--all", "--interval", "700"});
    for (const char* line : {"{\"port\":\"COM1\",\"baud\":9600,\"parity\":\"odd\"",
                             "{\"port\":\"COM2\",\"baud\":19200,\"parity\":\"none\"",
                             "{\"port\":\"COM3\",\"baud\":38400,\"parity\":\"odd\""}) {
        EXPECT_NE(all.out.find(line), std::string::npos) << all.out;
    }
}

TEST_F(Options, InfoSaysWhenNothingAnswersAndSearchesFirstWhenAsked)
{
    auto module = Start(5, 5, 1);  // 38400 ODD
    CliResult plain = Run({"--port", "5", "--timeout", "300", "info"});
    EXPECT_EQ(plain.code, 1);
    EXPECT_EQ(plain.err, "orvane-cli: no module answered on COM5 at 9600 No; run 'orvane-cli --port COM5 search'\n");

    CliResult searched = Run({"--port", "5", "info", "--search", "--interval", "700"});
    EXPECT_EQ(searched.code, 0) << searched.err;
    EXPECT_EQ(searched.out, "module 433MHz\nchannel 1 433.0782MHz\nair 9600\nserial 38400 ODD\nid 1234\n");
}

}  // namespace
