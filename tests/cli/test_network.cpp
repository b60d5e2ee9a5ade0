// orvane-cli with modules on other machines: every command through a real serial port server
// (ser2net) and through the simulator's own, a server that goes away while a request waits, and
// servers that misbehave.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "common/HostileLine.h"
#include "common/ModuleStarter.h"
#include "common/NetworkServers.h"
#include "common/Wait.h"
#include "model/NetworkServer.h"
#include "platform/PortNamespace.h"
#include "protocol/ModuleFrame.h"
#include "support/CliTestKit.h"

using clitest::CliResult;
using clitest::RunCli;
using testcommon::HostileServer;

namespace {

constexpr int kModulePort = 5;
constexpr int kEntryPort = 9;

enum class ServerKind { kSer2net, kSimulator };

// The module on its pty behind one kind of server; the requests it has seen are counted.
struct ServedModule {
    std::unique_ptr<modsim::PtyModule> module;
    std::unique_ptr<testcommon::Ser2net> ser2net;
    std::unique_ptr<modsim::NetworkServer> simulator;
    std::shared_ptr<std::atomic<int>> requests = std::make_shared<std::atomic<int>>(0);
    std::string url;

    ServedModule(ServerKind kind, modsim::PtyModuleOptions options)
    {
        options.port = kModulePort;
        options.log = [count = requests](const std::string& line) {
            if (line.starts_with("<- ")) ++*count;
        };
        module = testcommon::StartModule(options);
        if (kind == ServerKind::kSer2net) {
            ser2net = std::make_unique<testcommon::Ser2net>(module->DevicePath());
            if (ser2net->Ok()) url = ser2net->Url();
        } else {
            simulator = std::make_unique<modsim::NetworkServer>(module->DevicePath(), nullptr);
            std::string error;
            if (simulator->Start(0, &error)) url = "rfc2217://127.0.0.1:" + std::to_string(simulator->Port());
        }
    }
    // The server goes away: its connections close under the client.
    void StopServer()
    {
        if (ser2net) ser2net->Kill();
        if (simulator) simulator->Stop();
    }
};

class CliOverNetwork : public ::testing::TestWithParam<ServerKind> {
protected:
    void SetUp() override
    {
        if (GetParam() == ServerKind::kSer2net && testcommon::Ser2netProgram().empty())
            GTEST_SKIP() << "ser2net is not installed (Debian package ser2net)";
    }
    clitest::TempConfigHome home;
};

TEST_P(CliOverNetwork, EveryCommandReachesTheModule)
{
    modsim::PtyModuleOptions options;
    options.settings.baudIndex = 5;  // 38400
    options.settings.parity = 1;
    ServedModule served(GetParam(), options);
    ASSERT_FALSE(served.url.empty());
    // A ports-directory entry that holds the URL, with a comment.
    std::ofstream(platform::PortLinkPath(kEntryPort)) << "# the module on the gateway\n" << served.url << "\n";
    const std::string profile = home.Path() / "profile.json";
    std::ofstream(profile) << R"({"format":1,"channel":12,"air":4800,"id":4660})";
    const std::vector<std::string> line = {"-b", "38400", "-p", "odd"};
    const struct {
        std::vector<std::string> args;
        bool lineGiven;
        const char* output;
    } cases[] = {
        // Found at 38400 odd: the line settings travel to the module's line.
        {{"search", "--interval", "400"},
         false,
         "found $PORT 38400 ODD 433MHz\n  use: --port $PORT --baud 38400 --parity odd\n"},
        {{"info"}, true, "module 433MHz\nchannel 1 433.0782MHz\nair 9600\nserial 38400 ODD\nid 0\n"},
        {{"write", "channel", "32"}, true, "channel 32\n"},
        {{"read", "channel"}, true, "channel 32 "},
        {{"write", "air", "2400"}, true, "air 2400\n"},
        {{"read", "air"}, true, "air 2400\n"},
        {{"write", "id", "65535"}, true, "id 65535\n"},
        {{"read", "id"}, true, "id 65535\n"},
        {{"write", "power", "3"}, true, "power 3\n"},
        {{"apply", profile}, true, "channel 12 "},
        {{"write", "serial", "19200", "even"}, true, "serial 19200 Even\n"},
        {{"-b", "19200", "-p", "even", "read", "serial"}, false, "serial 19200 Even\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--port", served.url};
        if (c.lineGiven) args.insert(args.end(), line.begin(), line.end());
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliResult r = RunCli(args);
        std::string expected = c.output;
        for (std::size_t at; (at = expected.find("$PORT")) != std::string::npos;)
            expected.replace(at, 5, served.url);
        EXPECT_EQ(r.code, 0) << c.args[0] << ": " << r.err;
        EXPECT_NE(r.out.find(expected), std::string::npos) << c.args[0] << ": " << r.out;
    }
    // The entry names the same module.
    const CliResult entry = RunCli({"--port", "COM9", "-b", "19200", "-p", "even", "info"});
    EXPECT_EQ(entry.code, 0) << entry.err;
    EXPECT_NE(entry.out.find("channel 12 "), std::string::npos) << entry.out;
    const CliResult ports = RunCli({"ports"});
    EXPECT_NE(ports.out.find("COM9\t" + served.url + "\tready\tport on another machine (RFC 2217)"), std::string::npos)
        << ports.out;
    const modsim::ModuleSettings s = served.module->Settings();
    EXPECT_EQ(s.channel, 12);
    EXPECT_EQ(s.guestId, 4660);
    EXPECT_EQ(s.power, 3);
}

TEST_P(CliOverNetwork, AServerThatGoesAwayWhileARequestWaitsIsAHangUp)
{
    modsim::PtyModuleOptions options;
    options.delayMs = 600000;  // the answer never comes in time
    ServedModule served(GetParam(), options);
    ASSERT_FALSE(served.url.empty());
    std::thread kill([&] {
        testcommon::WaitWithoutEvents([&] { return served.requests->load() > 0; });
        served.StopServer();
    });
    // The longest timeout there is, well beyond the minute the run is given before it is killed:
    // only the hang-up can end it with the program's own exit status.
    const CliResult r = RunCli({"--port", served.url, "--timeout", "600000", "read", "channel"});
    kill.join();
    EXPECT_EQ(r.code, 3) << r.err;
    EXPECT_NE(r.err.find(served.url), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("went away"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Servers, CliOverNetwork, ::testing::Values(ServerKind::kSer2net, ServerKind::kSimulator),
                         [](const auto& info) { return info.param == ServerKind::kSer2net ? "ser2net" : "simulator"; });

// A network that drops every packet while a request waits: the loopback link goes down in a network
// namespace of the test's own. No data and no keep-alive answer within seconds is a hang-up, long
// before the answer's timeout.
TEST(CliOverDroppedNetwork, ANetworkThatFallsSilentIsAHangUp)
{
    if (clitest::RunProgram("/usr/bin/unshare", {"-rn", "/bin/true"}).code != 0)
        GTEST_SKIP() << "no private network namespace here (unshare -rn fails)";
    clitest::TempConfigHome home;
    const std::string script = R"(
PATH="$PATH:/usr/sbin:/sbin"
ip link set lo up || exit 90
"$1" --serve rfc2217:3333 --delay-ms 60000 --verbose > "$3/modsim.out" 2>&1 &
sim=$!
waitfor() { n=0; until grep -q "$1" "$2"; do n=$((n+1)); [ $n -lt 1200 ] || exit 91; sleep 0.05; done; }
waitfor serving "$3/modsim.out"
"$2" --port rfc2217://127.0.0.1:3333 --timeout 50000 read channel 2> "$3/cli.err" &
cli=$!
waitfor "<- AF AF" "$3/modsim.out"
ip link set lo down
wait $cli
code=$?
kill $sim
wait $sim
cat "$3/cli.err" >&2
exit $code
)";
    const std::string bin = std::getenv("ORVANE_BIN_DIR");
    const CliResult r = clitest::RunProgram(
        "/usr/bin/unshare",
        {"-rn", "/bin/sh", "-c", script, "sh", bin + "/orvane-modsim", bin + "/orvane-cli", home.Path().string()});
    EXPECT_EQ(r.code, 3) << r.err;
    EXPECT_NE(r.err.find("went away"), std::string::npos) << r.err;
}

TEST(CliOverHostileNetwork, EndsWithTheRightCodeAndSendsNothingItShouldNot)
{
    clitest::TempConfigHome home;
    using B = HostileServer::Behaviour;
    const CliResult quiet = RunCli({"--version"});
    const struct {
        const char* name;
        std::optional<B> behaviour;  // none: nothing listens
        std::string url;             // when nothing listens
        int code;
        const char* message;
        bool requestSent;
    } cases[] = {
        {"not Telnet", B::kGarbage, "", 3, "not a Telnet server", false},
        {"never acknowledges", B::kNeverAcknowledges, "", 3, "the server did not acknowledge the line settings", false},
        {"0xFF not doubled", B::kUnescapedIac, "", 3, "went away", true},
        {"floods", B::kFlood, "", 1, "no answer", true},
        {"accepts and never answers", B::kSilent, "", 3, "no Telnet answer from the server", false},
        // The connection closes, or is reset for the bytes the server left unread.
        {"closes after the first byte", B::kClosesAfterFirstByte, "", 3, "connection", false},
        {"refused", std::nullopt, "rfc2217://127.0.0.1:" + std::to_string(testcommon::FreeTcpPort()), 3,
         "connection refused", false},
        {"host unknown", std::nullopt, "rfc2217://no-such-host.invalid:3333", 3, "cannot resolve", false},
        {"no port in the URL", std::nullopt, "rfc2217://127.0.0.1", 2, "rfc2217://HOST:PORT", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<HostileServer> server;
        if (c.behaviour) server.emplace(*c.behaviour);
        const std::string url = server ? server->Url() : c.url;
        const CliResult r = RunCli({"--port", url, "--timeout", "300", "read", "channel"});
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        if (c.code == 3) {
            EXPECT_NE(r.err.find(url), std::string::npos) << r.err;
        }
        if (testcommon::kMemoryIsMeasurable) {
            EXPECT_LT(r.peakResidentKb - quiet.peakResidentKb, 20 * 1024);
        }
        if (!server) continue;
        // Module bytes go only over a link that is ready, and then one request alone.
        const std::vector<std::uint8_t> data = server->DataReceived();
        if (c.requestSent) {
            EXPECT_EQ(data.size(), protocol::kRequestLength);
            EXPECT_EQ(data.front(), protocol::kStartByte);
        } else {
            EXPECT_TRUE(data.empty()) << protocol::HexBytes(data);
        }
    }
}

}  // namespace
