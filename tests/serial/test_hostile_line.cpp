// The serial object on a line that misbehaves at full speed: its pending notices stay bounded and
// its memory flat, a second reader of the device does not deafen it.

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/Floods.h"
#include "common/HostileLine.h"
#include "measure/ResidentMemory.h"
#include "platform/PortNamespace.h"
#include "serial/support/SerialTestKit.h"

namespace {

using testcommon::HostileLine;

// How much of a flood each step of a test sees, and the bound on waiting for it.
constexpr std::uint64_t kFloodBytes = 8'000'000;
constexpr int kFloodWaitMs = 60000;

class HostileLineTest : public ::testing::Test {
protected:
    void SetUp() override { testkit::EnsureApp(); }
    testkit::TempConfigHome home;
};

// Waits until the line has nothing left for the receiver: every notice handled and no new frame
// for a quarter of a second.
bool Settled(const ZebSerial& serial)
{
    std::uint64_t frames = serial.FramesReceived();
    auto changed = std::chrono::steady_clock::now();
    return testkit::WaitUntil(
        [&] {
            const std::uint64_t now = serial.FramesReceived();
            if (now != frames) changed = std::chrono::steady_clock::now();
            frames = now;
            return serial.PendingNotices() == 0
                && std::chrono::steady_clock::now() - changed > std::chrono::milliseconds(250);
        },
        30000);
}

// Sends one channel answer after whatever the line left in the assembler, and waits for its notice.
bool AnswerIsHeard(HostileLine& line, testkit::NoticeCollector& target, std::uint8_t channel)
{
    // A CR LF ends or drops any partial frame the flood left behind.
    std::vector<std::uint8_t> bytes{0x0D, 0x0A};
    const auto answer = testcommon::Answer(protocol::kReadChannel, {channel, 0});
    bytes.insert(bytes.end(), answer.begin(), answer.end());
    line.Send(bytes);
    return testkit::WaitUntil([&] {
        for (const auto& n : target.notices)
            if (n.command == protocol::kReadChannel && n.data[0] == channel) return true;
        return false;
    });
}

TEST_F(HostileLineTest, FloodsKeepNoticesBoundedMemoryFlatAndTheLineHeard)
{
    for (const auto& flood : testcommon::FloodCases()) {
        SCOPED_TRACE(flood.name);
        HostileLine line(platform::PortLinkPath(4));
        ASSERT_TRUE(line.Ok());
        testkit::NoticeCollector target;
        ZebSerial serial;
        target.Watch(serial);
        ASSERT_EQ(serial.Open(4, 115200, 0), 1) << serial.LastError().Describe();
        const double residentBefore = measure::ResidentMegabytes();

        // Nobody handles the notices while the flood goes on: they must not pile up.
        line.Flood(flood.block);
        ASSERT_TRUE(testcommon::WaitWithoutEvents([&] { return line.BytesSent() > kFloodBytes; }, kFloodWaitMs));
        EXPECT_LE(serial.PendingNotices(), ZebSerial::kMaxPendingNotices);
        if (flood.framesArrive) {
            EXPECT_GT(serial.DroppedNotices(), 0u);
        }

        // Then they are handled as fast as they come, with the flood going on.
        int mostPending = 0;
        const std::uint64_t sentBefore = line.BytesSent();
        ASSERT_TRUE(testkit::WaitUntil(
            [&] {
                mostPending = std::max(mostPending, serial.PendingNotices());
                return line.BytesSent() > sentBefore + kFloodBytes;
            },
            kFloodWaitMs));
        EXPECT_LE(mostPending, ZebSerial::kMaxPendingNotices);
        if (testcommon::kMemoryIsMeasurable) {
            EXPECT_LT(measure::ResidentMegabytes() - residentBefore, 20.0);
        }

        line.Quiet();
        EXPECT_EQ(serial.IsOpen(), 1);
        EXPECT_FALSE(serial.HungUp());
        ASSERT_TRUE(Settled(serial));
        EXPECT_TRUE(AnswerIsHeard(line, target, 9));
    }
}

TEST_F(HostileLineTest, ASecondReaderTakingTheBytesDoesNotDeafenTheProgram)
{
    HostileLine line(platform::PortLinkPath(5));
    ASSERT_TRUE(line.Ok());
    testkit::NoticeCollector target;
    testkit::TestSerial serial;
    target.Watch(serial);
    ASSERT_EQ(serial.Open(5, 115200, 0), 1);

    // Another reader of the same open device, reading as fast as it can: the receive thread is
    // often woken for bytes that are gone when it reads.
    const int thief = ::dup(serial.Fd());
    ASSERT_GE(thief, 0);
    std::atomic<bool> stealing{true};
    std::atomic<std::uint64_t> stolen{0};
    std::thread other([&] {
        std::uint8_t buf[64];
        while (stealing) {
            pollfd p{thief, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            const ssize_t n = ::read(thief, buf, sizeof buf);
            if (n > 0) stolen += static_cast<std::uint64_t>(n);
        }
    });
    line.Flood(testcommon::SearchAnswers());
    const bool tookEnough = testkit::WaitUntil([&] { return stolen > 1'000'000; }, 60000);
    stealing = false;
    other.join();
    ::close(thief);
    line.Quiet();
    ASSERT_TRUE(tookEnough);

    EXPECT_EQ(serial.IsOpen(), 1);
    EXPECT_FALSE(serial.HungUp());
    ASSERT_TRUE(Settled(serial));
    for (std::uint8_t channel = 1; channel <= 20; ++channel)
        ASSERT_TRUE(AnswerIsHeard(line, target, channel));
}

}  // namespace
