// The module simulator's pty transport with the real serial object: line settings, links, faults.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "common/ModuleStarter.h"
#include "model/PtyModule.h"
#include "platform/PortNamespace.h"
#include "protocol/ModuleFrame.h"
#include "serial/support/SerialTestKit.h"

namespace {

class SimulatedModule : public ::testing::Test {
protected:
    void SetUp() override { testkit::EnsureApp(); }

    testkit::TempConfigHome home;
};

TEST_F(SimulatedModule, LinksItsPortAndRemovesTheLinkWhenStopped)
{
    std::filesystem::remove_all(home.Path() / "orvane");
    modsim::PtyModuleOptions options;
    options.port = 3;
    auto module = testcommon::StartModule(options);
    const std::string link = platform::PortLinkPath(3);
    EXPECT_EQ(module->LinkPath(), link);
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), module->DevicePath());
    module->Stop();
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    module->Stop();
}

TEST_F(SimulatedModule, ReplacesOnlyALinkToAPtyThatIsGone)
{
    const std::string link = platform::PortLinkPath(4);
    modsim::PtyModuleOptions options;
    options.port = 4;
    // A live device, and an unplugged adapter's link, are the user's.
    for (const char* target : {"/dev/null", "/dev/ttyUSB15"}) {
        std::filesystem::create_symlink(target, link);
        modsim::PtyModule refused(options);
        std::string error;
        EXPECT_FALSE(refused.Start(&error)) << target;
        EXPECT_NE(error.find("already names a device"), std::string::npos) << error;
        EXPECT_EQ(std::filesystem::read_symlink(link).string(), target);
        std::filesystem::remove(link);
    }

    std::filesystem::create_symlink("/dev/pts/999999", link);
    auto module = testcommon::StartModule(options);
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), module->DevicePath());
    std::string error;

    modsim::PtyModuleOptions bad;
    bad.port = 64;
    EXPECT_FALSE(modsim::PtyModule(bad).Start(&error));
    bad.port = 5;
    bad.settings.power = 9;
    EXPECT_FALSE(modsim::PtyModule(bad).Start(&error));
    EXPECT_EQ(error, "power must be 1 to 7");
}

TEST_F(SimulatedModule, AnswersOnlyAtItsOwnLineSettings)
{
    modsim::PtyModuleOptions options;
    options.port = 5;
    options.settings.baudIndex = 5;  // 38400
    options.settings.parity = 1;
    auto module = testcommon::StartModule(options);
    testkit::NoticeCollector target;
    ZebSerial serial;
    target.Watch(serial);

    ASSERT_EQ(serial.Open(5, 9600, 1), 1);
    ASSERT_TRUE(SendSearch(serial));
    ASSERT_TRUE(testkit::WaitUntil([&] { return module->RequestsIgnored() >= 1; }));
    ASSERT_EQ(serial.OpenOrReconfigure(5, 38400, 0), 1);
    ASSERT_TRUE(SendSearch(serial));
    ASSERT_TRUE(testkit::WaitUntil([&] { return module->RequestsIgnored() >= 2; }));
    EXPECT_TRUE(target.notices.empty());

    ASSERT_EQ(serial.OpenOrReconfigure(5, 38400, 1), 1);
    int baud = 0;
    int parity = 0;
    ASSERT_TRUE(module->PeerLine(&baud, &parity));
    EXPECT_EQ(baud, 38400);
    EXPECT_EQ(parity, 1);
    ASSERT_TRUE(SendSearch(serial));
    ASSERT_TRUE(target.WaitFor(1));
    EXPECT_EQ(target.notices[0].command, 0);
    EXPECT_EQ(target.notices[0].data[2], 2);
}

TEST_F(SimulatedModule, AFrameCutOffByTheLastDeviceDoesNotSwallowTheNextAnswer)
{
    modsim::PtyModuleOptions options;
    options.port = 5;
    auto module = testcommon::StartModule(options);
    testkit::NoticeCollector target;
    ZebSerial serial;
    target.Watch(serial);
    // What the last device sent before it went away: the start of a frame, and no end.
    for (std::uint8_t b : {0xAF, 0xAF, 0x00, 0x00, 0xAF, 0x80, 0x06, 0x02, 0x05})
        serial.OnReceiveByte(b);

    ASSERT_EQ(serial.Open(5, 9600, 0), 1);
    ASSERT_TRUE(SendReadChannel(serial));
    ASSERT_TRUE(target.WaitFor(1));
    EXPECT_EQ(target.notices[0].command, 6);
    EXPECT_EQ(serial.FramesReceived(), 1u);
}

TEST_F(SimulatedModule, NewSerialSettingsTakeEffectAfterTheAnswer)
{
    modsim::PtyModuleOptions options;
    options.port = 6;
    auto module = testcommon::StartModule(options);
    testkit::NoticeCollector target;
    ZebSerial serial;
    target.Watch(serial);
    ASSERT_EQ(serial.Open(6, 9600, 0), 1);
    ASSERT_TRUE(SendWriteComParams(serial, 8, 1));  // 115200, odd
    ASSERT_TRUE(target.WaitFor(1));
    EXPECT_EQ(target.notices[0].command, 1);
    EXPECT_EQ(module->Settings().baudIndex, 7);
    ASSERT_TRUE(SendReadChannel(serial));
    ASSERT_TRUE(testkit::WaitUntil([&] { return module->RequestsIgnored() >= 1; }));
    ASSERT_EQ(serial.SetLineState(115200, 1), 1);
    ASSERT_TRUE(SendReadChannel(serial));
    ASSERT_TRUE(target.WaitFor(2));
    EXPECT_EQ(target.notices.size(), 2u);
    EXPECT_EQ(target.notices[1].command, 6);
}

TEST_F(SimulatedModule, NoiseSplitAndDelayStillGiveWholeFrames)
{
    modsim::PtyModuleOptions options;
    options.port = 7;
    options.noise = true;
    options.split = true;
    options.delayMs = 2;
    options.settings.guestId = 54321;
    auto module = testcommon::StartModule(options);
    testkit::NoticeCollector target;
    ZebSerial serial;
    target.Watch(serial);
    ASSERT_EQ(serial.Open(7, 9600, 0), 1);
    for (std::size_t i = 0; i < 20; ++i) {
        ASSERT_TRUE(SendRead(serial, protocol::kReadGuestId));
        ASSERT_TRUE(target.WaitFor(i + 1)) << i;
        EXPECT_EQ(target.notices[i].command, 13);
        EXPECT_EQ(target.notices[i].data[0] * 256 + target.notices[i].data[1], 54321);
    }
}

TEST_F(SimulatedModule, DroppedAnswersNeverArrive)
{
    modsim::PtyModuleOptions options;
    options.port = 8;
    options.dropProbability = 1.0;
    std::atomic<int> dropped{0};
    options.log = [&](const std::string& line) {
        if (line.starts_with("-> (dropped)")) ++dropped;
    };
    auto module = testcommon::StartModule(options);
    testkit::NoticeCollector target;
    ZebSerial serial;
    target.Watch(serial);
    ASSERT_EQ(serial.Open(8, 9600, 0), 1);
    ASSERT_TRUE(SendSearch(serial));
    ASSERT_TRUE(testkit::WaitUntil([&] { return dropped.load() == 1; }));
    // The module wrote nothing (it logs a drop instead of writing): what the port posted is delivered now.
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(target.notices.empty());
    EXPECT_EQ(module->AnswersSent(), 0u);
}

TEST_F(SimulatedModule, PortClosedAndReopenedStillAnswered)
{
    modsim::PtyModuleOptions options;
    options.port = 9;
    auto module = testcommon::StartModule(options);
    testkit::NoticeCollector target;
    ZebSerial serial;
    target.Watch(serial);
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(serial.Open(9, 9600, 0), 1);
        ASSERT_TRUE(SendReadChannel(serial));
        ASSERT_TRUE(target.WaitFor(i + 1));
        serial.Close();
    }
}

}  // namespace
