// The real orvane-cli and the port probe on mock machines: built-in UARTs with and without a chip,
// USB adapters, a CDC-ACM device, the kernel console, and a module answering on a mock adapter.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <thread>

#include "common/OpenWatch.h"
#include "common/Wait.h"
#include "model/ModuleModel.h"
#include "platform/PortNamespace.h"
#include "platform/PortResolver.h"
#include "platform/SerialDevice.h"
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

// A real ttyS0, UART-less ttyS1 to ttyS3 and a CP210x adapter.
class PcWithAdapter : public ::testing::Test {
protected:
    PcWithAdapter()
    {
        ports.AddUart(0, 4);
        for (int i = 1; i <= 3; ++i)
            ports.AddUart(i, 0);
        ports.AddCp210x(0);
    }
    clitest::TempConfigHome home;
    hwtest::MockPorts ports;
};

TEST_F(PcWithAdapter, PortsListsTheUartAndTheAdapterButNoUartLessNode)
{
    CliResult r = RunCli({"ports"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(LineOf(r.out, "COM1"), "COM1\t/dev/ttyS0\tready\tbuilt-in serial port (16550A)\t-");
    EXPECT_EQ(LineOf(r.out, "COM33"),
              "COM33\t/dev/ttyUSB0\tready\tSilicon Labs CP2102 USB to UART Bridge Controller, serial 0001 [10c4:ea60]\t"
                  + ports.ByIdName());
    for (const char* hidden : {"COM2", "COM3", "COM4"})
        EXPECT_EQ(LineOf(r.out, hidden), "") << hidden;
    EXPECT_FALSE(Has(r.out, "ttyS1"));

    CliResult all = RunCli({"ports", "--all"});
    EXPECT_EQ(LineOf(all.out, "COM2"), "COM2\t/dev/ttyS1\tno UART\tbuilt-in serial port, no UART behind it\t-");

    CliResult json = RunCli({"--json", "ports"});
    EXPECT_TRUE(Has(json.out,
                    "{\"port\":\"COM33\",\"device\":\"/dev/ttyUSB0\",\"by_id\":\"" + ports.ByIdName()
                        + "\",\"link\":null,\"kind\":\"usb-serial\""))
        << json.out;
    EXPECT_TRUE(Has(json.out,
                    "\"vendor_id\":\"10c4\",\"product_id\":\"ea60\",\"manufacturer\":\"Silicon Labs\","
                    "\"product\":\"CP2102 USB to UART Bridge Controller\",\"serial\":\"0001\"}"))
        << json.out;
    EXPECT_FALSE(Has(json.out, "ttyS1"));
}

TEST_F(PcWithAdapter, ProbeKeepsOnlyTheRealPorts) { EXPECT_EQ(Probed(), (std::vector<int>{1, 33})); }

TEST_F(PcWithAdapter, AHeldPortIsInUseWithItsHolder)
{
    platform::SerialDevice holder;
    const platform::Result<> opened = holder.Open("/dev/ttyUSB0");
    ASSERT_TRUE(opened) << opened.Error().Describe();
    CliResult r = RunCli({"ports"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(Has(LineOf(r.out, "COM33"), "\tin use (PID " + std::to_string(::getpid()) + ")\t")) << r.out;
}

TEST_F(PcWithAdapter, PermissionDeniedGivesTheHintOnceAndExitsZero)
{
    if (::getuid() != 0) GTEST_SKIP() << "needs root to run the program as another user";
    ports.AddCp210x(1);
    ports.OpenToEveryone();
    clitest::RunOptions nobody;
    nobody.runAsUid = 65534;
    CliResult r = RunCli({"ports"}, nobody);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(LineOf(r.out, "COM33"), "\tpermission denied\t")) << r.out;
    EXPECT_TRUE(Has(LineOf(r.out, "COM34"), "\tpermission denied\t")) << r.out;
    const auto hint = r.err.find("hint: serial devices belong to the group 'dialout'");
    ASSERT_NE(hint, std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("hint:", hint + 1), std::string::npos) << r.err;
}

TEST(UsbDevices, EachKindAndItsComNumber)
{
    clitest::TempConfigHome home;
    hwtest::MockPorts ports;
    ports.AddCh340(1);
    ports.AddAcm(0);
    std::vector<platform::SerialPortInfo> found = platform::DiscoverPorts();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].port, 34);
    EXPECT_EQ(found[0].kind, platform::PortKind::kUsbSerial);
    EXPECT_EQ(platform::Description(found[0]), "USB Serial");
    EXPECT_EQ(found[1].port, 49);
    EXPECT_EQ(found[1].kind, platform::PortKind::kUsbAcm);
    EXPECT_EQ(platform::Description(found[1]), "Raspberry Pi Pico, serial E660583883");
    // A link in the ports directory gives the adapter its COM number instead of the table.
    std::filesystem::create_symlink("/dev/ttyUSB1", platform::PortLinkPath(5));
    found = platform::DiscoverPorts();
    EXPECT_EQ(found[0].port, 5);
    EXPECT_EQ(found[0].device, "/dev/ttyUSB1");
    EXPECT_EQ(platform::ResolvePortArgument("/dev/ttyUSB1")->port, 5);
    EXPECT_EQ(platform::DefaultPort(found)->port, 5);
}

TEST(Console, IsUsedByTheSystemAndNeverOpened)
{
    clitest::TempConfigHome home;
    hwtest::MockPorts ports;
    ports.AddUart(0, 4);
    ports.AddCp210x(0);
    ports.SetConsole("tty0 ttyS0");
    OpenWatch watch(ports.BackingPty("/dev/ttyS0"));

    CliResult r = RunCli({"ports"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(LineOf(r.out, "COM1"),
              "COM1\t/dev/ttyS0\tused by the system (kernel console)\tbuilt-in serial port (16550A)\t-");
    EXPECT_EQ(Probed(), (std::vector<int>{33}));
    CliResult named = RunCli({"--port", "COM1", "read", "id"});
    EXPECT_EQ(named.code, 3);
    EXPECT_TRUE(Has(named.err, "cannot open COM1 (/dev/ttyS0): used by the system (kernel console)")) << named.err;
    // With no port named, the adapter is taken (and nothing answers there).
    CliResult chosen = RunCli({"--timeout", "100", "read", "id"});
    EXPECT_TRUE(Has(chosen.err, "using COM33 (/dev/ttyUSB0,")) << chosen.err;
    EXPECT_FALSE(watch.Opened());
}

// The module model answering on the test's end of a mock adapter's pty.
class ModuleOnAdapter {
public:
    explicit ModuleOnAdapter(int master)
        : master(master)
        , server([this] { Serve(); })
    { }
    ~ModuleOnAdapter()
    {
        stop = true;
        server.join();
    }

private:
    void Serve()
    {
        std::array<std::uint8_t, 256> buffer{};
        while (!stop) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0 || (p.revents & POLLIN) == 0) continue;
            const ssize_t n = ::read(master, buffer.data(), buffer.size());
            if (n <= 0) continue;
            for (const auto& answer :
                 model.Feed(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n)))) {
                [[maybe_unused]] const ssize_t w = ::write(master, answer.data(), answer.size());
            }
        }
    }

    int master;
    modsim::ModuleModel model{modsim::ModuleSettings{}};
    std::atomic<bool> stop{false};
    std::thread server;
};

TEST_F(PcWithAdapter, InfoWithNoPortFindsTheAdapterAndReadsTheModule)
{
    ModuleOnAdapter module(ports.Master("/dev/ttyUSB0"));
    CliResult r = RunCli({"info"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "channel ")) << r.out;
    EXPECT_EQ(r.err, "orvane-cli: using COM33 (/dev/ttyUSB0, CP2102 USB to UART Bridge Controller)\n");
    EXPECT_EQ(RunCli({"--quiet", "read", "id"}).err, "");

    for (const std::string& named : {std::string("/dev/ttyUSB0"), ports.ByIdName(), std::string("COM33")}) {
        CliResult read = RunCli({"--port", named, "read", "id"});
        EXPECT_EQ(read.code, 0) << named << ": " << read.err;
        EXPECT_EQ(read.err, "") << named;
    }
}

// orvane-cli running while the test changes the machine, its output (standard output and error)
// read as it comes.
class RunningCli {
public:
    explicit RunningCli(std::vector<std::string> args)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        const std::string program = std::string(std::getenv("ORVANE_BIN_DIR")) + "/orvane-cli";
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(out[1], STDERR_FILENO);
            for (const char* name : {"ORVANE_PORT", "ORVANE_BAUD", "ORVANE_PARITY"})
                ::unsetenv(name);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        reader = out[0];
    }
    ~RunningCli()
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        if (reader >= 0) ::close(reader);
    }

    // Reads until the output holds `part`; false when it has not come within the bound.
    bool WaitFor(const std::string& part)
    {
        return testcommon::WaitWithoutEvents([&] {
            pollfd p{reader, POLLIN, 0};
            std::array<char, 4096> buffer{};
            while (::poll(&p, 1, 0) > 0) {
                const ssize_t n = ::read(reader, buffer.data(), buffer.size());
                if (n <= 0) break;
                text.append(buffer.data(), static_cast<std::size_t>(n));
            }
            return Has(text, part);
        });
    }
    // The exit code once it has ended by itself; -1 otherwise.
    int Wait()
    {
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& Text() const { return text; }

private:
    pid_t pid = -1;
    int reader = -1;
    std::string text;
};

// One watcher at a time: the testbed's device events reach one listening program. (Nor does it
// take bursts: it gives up when ten of its events wait unread.)
TEST_F(PcWithAdapter, WatchPrintsTheListThenEachAdapterThatComesAndGoes)
{
    struct Case {
        std::vector<std::string> args;
        std::string listed, added, removed;
    };
    const Case cases[] = {
        {{"ports", "--watch"},
         "COM33\t/dev/ttyUSB0\tready\t",
         "\n+ COM34\t/dev/ttyUSB1\tready\t",
         "\n- COM34\t/dev/ttyUSB1\t"},
        {{"--json", "ports", "--watch"},
         "{\"event\":\"present\",\"port\":\"COM33\",\"device\":\"/dev/ttyUSB0\"",
         "{\"event\":\"added\",\"port\":\"COM35\",\"device\":\"/dev/ttyUSB2\"",
         "{\"event\":\"removed\",\"port\":\"COM35\",\"device\":\"/dev/ttyUSB2\""},
    };
    int index = 1;
    for (const Case& c : cases) {
        RunningCli watch(c.args);
        ASSERT_TRUE(watch.WaitFor(c.listed)) << watch.Text();
        EXPECT_FALSE(Has(watch.Text(), "ttyS1"));
        ports.AddCp210x(index);
        EXPECT_TRUE(watch.WaitFor(c.added)) << watch.Text();
        ports.UnplugUsb(index++);
        EXPECT_TRUE(watch.WaitFor(c.removed)) << watch.Text();
    }
}

TEST(WaitFor, WaitsUntilAnAdapterIsPluggedInThenTalksToTheModule)
{
    clitest::TempConfigHome home;
    hwtest::MockPorts ports;
    RunningCli read({"--wait-for", "60", "read", "id"});
    ASSERT_TRUE(read.WaitFor("orvane-cli: no serial port can be opened yet; waiting up to 60 s for one\n"))
        << read.Text();
    ports.AddCp210x(0);
    ModuleOnAdapter module(ports.Master("/dev/ttyUSB0"));
    EXPECT_TRUE(read.WaitFor("id ")) << read.Text();
    EXPECT_EQ(read.Wait(), 0);
}

}  // namespace
