// orvane-cli on a line that misbehaves at full speed: it keeps to its --timeout with its memory
// flat and says in its trace what it dropped; a device that goes away ends it at once with exit 3.

#include <gtest/gtest.h>

#include <thread>

#include "common/Floods.h"
#include "common/HostileLine.h"
#include "platform/PortNamespace.h"
#include "support/CliTestKit.h"

using clitest::CliResult;
using clitest::RunCli;
using testcommon::HostileLine;

namespace {

constexpr int kPort = 5;

class CliOnHostileLine : public ::testing::Test {
protected:
    clitest::TempConfigHome home;
};

TEST_F(CliOnHostileLine, KeepsToItsTimeoutWithItsMemoryFlat)
{
    HostileLine line(platform::PortLinkPath(kPort));
    ASSERT_TRUE(line.Ok());
    const CliResult quiet = RunCli({"--port", std::to_string(kPort), "--timeout", "200", "read", "id"});
    ASSERT_EQ(quiet.code, 1) << quiet.err;
    for (const auto& flood : testcommon::FloodCases()) {
        SCOPED_TRACE(flood.name);
        // The flood goes on until the program has ended: it ends by its own timeout or answer, on a
        // line that never falls quiet (a flooded event loop used to keep it running until killed).
        line.Flood(flood.block);
        const CliResult r = RunCli({"--port", std::to_string(kPort), "--trace", "--timeout", "2000", "read", "id"});
        line.Quiet();
        // Among answers of every code is the one to "read id".
        const bool answered = std::string(flood.name) == "answers of every code";
        EXPECT_EQ(r.code, answered ? 0 : 1) << r.err.substr(r.err.size() > 500 ? r.err.size() - 500 : 0);
        if (!answered) {
            EXPECT_TRUE(
                r.err.ends_with("orvane-cli: no answer to read ID (code 13) on COM5 at 9600 No within 2000 ms\n"))
                << r.err.substr(r.err.size() > 500 ? r.err.size() - 500 : 0);
        }
        if (testcommon::kMemoryIsMeasurable) {
            EXPECT_LT(r.peakResidentKb - quiet.peakResidentKb, 20 * 1024);
        }
        // Frames pile up only while the program waits out its timeout; one that gets its answer early
        // may end before its notice queue is full.
        if (flood.framesArrive && !answered) {
            EXPECT_NE(r.err.find(" frames: the window could not keep up\n"), std::string::npos);
        }
    }
}

TEST_F(CliOnHostileLine, ADeviceThatGoesAwayEndsItAtOnce)
{
    HostileLine line(platform::PortLinkPath(kPort));
    ASSERT_TRUE(line.Ok());
    // The device goes away as soon as the request has arrived.
    std::thread unplug([&] {
        testcommon::WaitWithoutEvents([&] { return line.BytesReceived() >= protocol::kRequestLength; }, 30000);
        line.HangUp();
    });
    const CliResult r = RunCli({"--port", std::to_string(kPort), "--timeout", "50000", "read", "channel"});
    unplug.join();
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, "orvane-cli: COM5 (" + line.SlavePath() + ") went away (unplugged?)\n");
}

}  // namespace
