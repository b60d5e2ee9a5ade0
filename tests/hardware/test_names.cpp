// Serial devices by their names on mock machines: devices the built-in table does not cover get the
// numbering rule's COM numbers; the console is never opened by any name; text from a device is
// shown escaped.

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/OpenWatch.h"
#include "platform/PortDiscovery.h"
#include "platform/PortNamespace.h"
#include "serial/ZebSerial.h"
#include "support/CliTestKit.h"
#include "support/MockPorts.h"
#include "support/PortsOutput.h"

using clitest::CliResult;
using clitest::RunCli;
using hwtest::Has;
using hwtest::LineOf;
using hwtest::Probed;

using testcommon::OpenWatch;

namespace {

// What bash completes after the words, one per line.
std::string Completed(const std::string& words)
{
    // Built by appending: GCC 12 warns falsely on the inlined copies of a chain of string sums.
    std::string script = "source /usr/share/bash-completion/bash_completion; source '";
    script += std::getenv("ORVANE_SOURCE_DIR");
    script += "/data/completion/orvane-cli'; COMP_WORDS=(\"$0\" ";
    script += words;
    script += " ''); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMP_LINE=\"${COMP_WORDS[*]}\"; COMP_POINT=${#COMP_LINE};"
              " _orvane_cli; printf '%s\\n' \"${COMPREPLY[@]}\"";
    return clitest::RunProgram("/bin/bash", {"-c", script, std::string(std::getenv("ORVANE_BIN_DIR")) + "/orvane-cli"})
        .out;
}

TEST(OutsideTheTable, ASocUartAndABluetoothPortGetTheRulesNumbers)
{
    clitest::TempConfigHome home;
    hwtest::MockPorts ports;
    ports.AddSocUart("ttyAMA0");
    ports.AddRfcomm(0);
    // The rule's first choices, both free on this machine.
    const std::string ama = "COM" + std::to_string(platform::RuleFirstChoice("/dev/ttyAMA0"));
    const std::string rfcomm = "COM" + std::to_string(platform::RuleFirstChoice("/dev/rfcomm0"));
    ASSERT_NE(ama, rfcomm);

    for (int run = 0; run < 2; ++run) {
        CliResult r = RunCli({"ports"});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(LineOf(r.out, ama), ama + "\t/dev/ttyAMA0\tready\tbuilt-in serial port\t-") << r.out;
        EXPECT_EQ(LineOf(r.out, rfcomm), rfcomm + "\t/dev/rfcomm0\tready\tserial device\t-") << r.out;
    }
    // Named by path or by the number, nothing answers there: the port opened.
    for (const char* named : {"/dev/ttyAMA0", ama.c_str()}) {
        CliResult r = RunCli({"--port", named, "--timeout", "100", "read", "id"});
        EXPECT_EQ(r.code, 1) << r.err;
        EXPECT_TRUE(Has(r.err, "on " + ama + " at 9600 No within 100 ms")) << r.err;
    }
    // The window's probe takes them too.
    platform::DiscoverPorts();
    const std::vector<int> probed = Probed();
    EXPECT_EQ(probed.size(), 2u);
}

TEST(Console, NeverOpenedThroughDevConsoleOrALink)
{
    clitest::TempConfigHome home;
    hwtest::MockPorts ports;
    ports.AddUart(0, -1);  // no type in sysfs: the console must not be opened even to ask for it
    ports.AddCp210x(0);
    ports.SetConsole("tty0 ttyS0");
    ports.LinkNode("console", "ttyS0");
    std::filesystem::create_symlink("/dev/console", platform::PortLinkPath(5));
    OpenWatch watch(ports.BackingPty("/dev/ttyS0"));

    for (const std::vector<std::string>& args : {std::vector<std::string>{"--port", "/dev/console", "read", "id"},
                                                 {"/dev/console", "info"},
                                                 {"--port", "COM5", "read", "id"},
                                                 {"--port", "COM1", "search"}}) {
        CliResult r = RunCli(args);
        EXPECT_EQ(r.code, 3) << r.err;
        EXPECT_TRUE(Has(r.err, "used by the system (kernel console)\n")) << r.err;
        EXPECT_FALSE(Has(r.err, "ln -s")) << r.err;
    }
    CliResult listed = RunCli({"ports"});
    // The link gives the console its number.
    EXPECT_EQ(LineOf(listed.out, "COM5"),
              "COM5\t/dev/ttyS0\tused by the system (kernel console)\tbuilt-in serial port\t-")
        << listed.out;
    EXPECT_TRUE(Has(RunCli({"--timeout", "100", "read", "id"}).err, "using COM33 (/dev/ttyUSB0,"));
    platform::DiscoverPorts();
    EXPECT_EQ(Probed(), (std::vector<int>{33}));
    if (::access("/usr/share/bash-completion/bash_completion", R_OK) == 0) {
        for (const char* words : {"--port", "-d", "info --device"})
            EXPECT_EQ(Completed(words), "COM33\n/dev/ttyUSB0\n") << words;
    }
    EXPECT_FALSE(watch.Opened());
}

TEST(DeviceText, ControlCharactersInAProductStringComeOutEscaped)
{
    clitest::TempConfigHome home;
    hwtest::MockPorts ports;
    ports.AddCp210x(0, "Evil\x1b]0;owned\x07\x1b[2J");
    const std::string escaped = "Evil\\x1b]0;owned\\x07\\x1b[2J";

    CliResult plain = RunCli({"ports"});
    EXPECT_TRUE(Has(LineOf(plain.out, "COM33"), "\tSilicon Labs " + escaped + ", serial 0001 [10c4:ea60]\t"))
        << plain.out;
    CliResult note = RunCli({"--timeout", "100", "read", "id"});
    EXPECT_TRUE(Has(note.err, "orvane-cli: using COM33 (/dev/ttyUSB0, " + escaped + ")\n")) << note.err;
    CliResult json = RunCli({"--json", "ports"});
    EXPECT_TRUE(Has(json.out, "\"product\":\"Evil\\u001b]0;owned\\u0007\\u001b[2J\"")) << json.out;
    for (const std::string& out : {plain.out, note.err, json.out})
        EXPECT_FALSE(Has(out, "\x1b")) << out;
}

}  // namespace
