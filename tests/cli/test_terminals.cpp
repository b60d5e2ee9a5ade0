// Ptys as ports: the simulator's own and one with no link, named by path; a session's terminal is
// never touched, by any name; Ctrl-C gives the port back the line settings it had.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/ModuleStarter.h"
#include "common/OpenWatch.h"
#include "common/PtyMaster.h"
#include "common/SessionOnPty.h"
#include "platform/PortNamespace.h"
#include "support/CliTestKit.h"

using clitest::CliResult;
using clitest::RunCli;

using testcommon::OpenWatch;

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The digits at the end of the text's last line: "stopped on COM8\n" -> "8".
std::string LastNumber(const std::string& text)
{
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] < '0' || text[end - 1] > '9'))
        --end;
    std::size_t begin = end;
    while (begin > 0 && text[begin - 1] >= '0' && text[begin - 1] <= '9')
        --begin;
    return text.substr(begin, end - begin);
}

class Terminals : public ::testing::Test {
protected:
    clitest::TempConfigHome home;
};

TEST_F(Terminals, TheSimulatorsPtyIsReadByItsPathWithOrWithoutItsLink)
{
    modsim::PtyModuleOptions options;
    options.port = 4;
    options.settings.guestId = 4321;
    auto module = testcommon::StartModule(options);
    const std::string pty = module->DevicePath();
    for (const bool linked : {true, false}) {
        if (!linked) std::filesystem::remove(module->LinkPath());
        CliResult r = RunCli({"--port", pty, "info"});
        EXPECT_EQ(r.code, 0) << linked << ": " << r.err;
        EXPECT_TRUE(Has(r.out, "\nid 4321\n")) << r.out;
        CliResult word = RunCli({pty, "read", "id"});
        EXPECT_EQ(word.out, "id 4321\n") << linked << ": " << word.err;
    }
}

TEST_F(Terminals, ASessionsTerminalIsNeverOpenedByAnyName)
{
    testcommon::SessionOnPty session("bash");
    ASSERT_GT(session.pid, 0);
    termios before{};
    ASSERT_EQ(::tcgetattr(session.master, &before), 0);
    OpenWatch watch(session.slave);
    const std::string by = "in use by bash (" + std::to_string(session.pid) + ")\n";
    const std::string viaLink = "orvane-cli: cannot open COM7 (" + session.slave + "): " + by;
    const struct {
        std::vector<std::string> args;
        std::string said;        // named by path; empty: COM7 names it only through the link
        std::string saidLinked;  // with a link that gives it COM7
    } cases[] = {
        {{"--port", session.slave, "read", "id"}, "orvane-cli: " + session.slave + ": " + by, viaLink},
        {{session.slave, "info"}, "orvane-cli: " + session.slave + ": " + by, viaLink},
        {{"--port", "COM7", "search"}, "", viaLink},
    };
    for (const bool linked : {false, true}) {
        // A simulator's link left behind, whose pty a terminal window took since.
        if (linked) std::filesystem::create_symlink(session.slave, platform::PortLinkPath(7));
        for (const auto& c : cases) {
            if (!linked && c.said.empty()) continue;
            CliResult r = RunCli(c.args);
            EXPECT_EQ(r.code, 3) << r.err;
            EXPECT_TRUE(r.err.starts_with(linked ? c.saidLinked : c.said)) << r.err;
        }
    }
    EXPECT_TRUE(Has(RunCli({"ports"}).out, "COM7\t" + session.slave + "\tstale link\t"));

    EXPECT_FALSE(watch.Opened());
    termios after{};
    ASSERT_EQ(::tcgetattr(session.master, &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(::cfgetospeed(&after), ::cfgetospeed(&before));

    // A simulator started on the port replaces the stale link.
    modsim::PtyModuleOptions options;
    options.port = 7;
    options.settings.guestId = 77;
    auto module = testcommon::StartModule(options);
    EXPECT_EQ(RunCli({"--port", "COM7", "read", "id"}).out, "id 77\n");
}

TEST_F(Terminals, CtrlCDuringASearchPrintsWhatWasFoundAndGivesThePortItsBaudRateBack)
{
    modsim::PtyModuleOptions options;
    options.port = 3;
    auto module = testcommon::StartModule(options);  // 9600 No: found at the first pair
    std::string pty;
    const int master = testcommon::OpenPtyMaster(&pty);
    ASSERT_GE(master, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(master, &t), 0);
    ::cfsetispeed(&t, B4800);
    ::cfsetospeed(&t, B4800);
    ASSERT_EQ(::tcsetattr(master, TCSANOW, &t), 0);

    clitest::RunOptions run;
    run.stderrOnTerminal = true;
    run.signal = SIGINT;
    run.signalWhen = "(3/27)";
    CliResult r = RunCli({"search", "--port", "3", "--port", pty, "--interval", "300"}, run);
    EXPECT_EQ(r.code, 130) << r.err;
    EXPECT_EQ(r.out, "found COM3 9600 No 433MHz\n  use: --port COM3 --baud 9600 --parity none\n");
    // The progress line stays where it was, ended.
    EXPECT_TRUE(Has(r.err, "\x1b[K\norvane-cli: stopped on COM")) << r.err;

    // One port alone: the same.
    CliResult alone = RunCli({"search", "--port", pty, "--interval", "300"}, run);
    EXPECT_EQ(alone.code, 130) << alone.err;
    EXPECT_TRUE(alone.err.ends_with("\x1b[K\norvane-cli: stopped on COM" + LastNumber(alone.err) + "\n")) << alone.err;

    ASSERT_EQ(::tcgetattr(master, &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B4800));
    ::close(master);
}

}  // namespace
