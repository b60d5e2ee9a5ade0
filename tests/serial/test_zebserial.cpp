// The frame assembler of ZebSerial fed byte by byte, without a device: reply slots and notices.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Hex.h"
#include "protocol/ModuleFrame.h"
#include "serial/support/SerialTestKit.h"

namespace {

using testcommon::Hex;

void Feed(ZebSerial& s, const std::string& hex)
{
    for (std::uint8_t b : Hex(hex))
        s.OnReceiveByte(b);
}

template <typename Slot> std::vector<int> Values(const Slot& slot)
{
    std::vector<int> v;
    for (const auto& b : slot)
        v.push_back(b.load());
    return v;
}

TEST(ZebSerialAssembler, AnswersFillTheirSlots)
{
    struct Case {
        const char* input;
        int command;
        const char* slot;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        {"11 22 AF AF 00 00 AF 80 06 02 05 00 9A 0D 0A", 6, "channel", {5, 0}},
        {"AF AF 00 00 AF 80 05 02 09 00 9D 0D 0A", 5, "channel", {9, 0}},
        {"AF AF 00 00 AF 80 00 04 01 02 03 04 99 0D 0A", 0, "search", {1, 2, 3, 4}},
        {"AF 0D 0A", 0, "search", {0, 0, 0, 0}},
        {"AF AF 00 00 AF 80 02 02 04 02 00 0D 0A", 2, "com", {4, 2}},
        {"AF AF 00 00 AF 80 01 02 05 01 00 0D 0A", 1, "com", {5, 1}},
        {"AF AF 00 00 AF 80 04 02 03 00 00 0D 0A", 4, "air", {3, 0}},
        {"AF AF 00 00 AF 80 03 02 08 00 00 0D 0A", 3, "air", {8, 0}},
        {"AF AF 00 00 AF 80 0D 02 04 D2 00 0D 0A", 13, "id", {4, 0xD2}},
        {"AF AF 00 00 AF 80 0C 02 00 64 00 0D 0A", 12, "id", {0, 0x64}},
        {"AF AF 00 00 AF 80 13 01 07 00 0D 0A", 19, "power", {7}},
    };
    for (const auto& c : cases) {
        ZebSerial s;
        Feed(s, c.input);
        EXPECT_EQ(s.lastCommand.load(), c.command) << c.input;
        const std::string slot = c.slot;
        std::vector<int> got;
        if (slot == "channel") got = Values(s.channelReply);
        if (slot == "search") got = Values(s.searchReply);
        if (slot == "com") got = Values(s.comReply);
        if (slot == "air") got = Values(s.airReply);
        if (slot == "id") got = Values(s.guestIdReply);
        if (slot == "power") got = {s.powerReply.load()};
        EXPECT_EQ(got, c.expected) << c.input;
        EXPECT_EQ(s.FramesReceived(), 1u) << c.input;
    }
}

TEST(ZebSerialAssembler, UnknownCodeChangesNoSlotButIsAnnounced)
{
    testkit::NoticeCollector target;
    ZebSerial s;
    target.Watch(s);
    Feed(s, "AF AF 00 00 AF 80 06 02 05 00 9A 0D 0A");
    Feed(s, "AF AF 00 00 AF 80 07 02 11 22 00 0D 0A");
    EXPECT_EQ(s.lastCommand.load(), 7);
    EXPECT_EQ(Values(s.channelReply), (std::vector<int>{5, 0}));
    EXPECT_EQ(Values(s.searchReply), (std::vector<int>{0, 0, 0, 0}));
    ASSERT_TRUE(target.WaitFor(2));
    EXPECT_EQ(target.notices[1].command, 7);
}

TEST(ZebSerialAssembler, EachNoticeCarriesItsOwnFrame)
{
    testkit::NoticeCollector target;
    ZebSerial s;
    target.Watch(s);
    // Two answers of the same code before the handler runs: each notice keeps its own data.
    Feed(s, "AF AF 00 00 AF 80 06 02 05 00 9A 0D 0A AF AF 00 00 AF 80 06 02 1F 00 B4 0D 0A");
    ASSERT_TRUE(target.WaitFor(2));
    ASSERT_EQ(target.notices.size(), 2u);
    EXPECT_EQ(target.notices[0].data[0], 5);
    EXPECT_EQ(target.notices[1].data[0], 0x1F);
    EXPECT_EQ(protocol::HexBytes(target.notices[0].frame), "AF AF 00 00 AF 80 06 02 05 00 9A 0D 0A");
    EXPECT_EQ(s.channelReply[0].load(), 0x1F);
}

TEST(ZebSerialAssembler, NoTargetNoNoticeButSlotsStillSet)
{
    testkit::NoticeCollector target;
    ZebSerial s;
    target.Watch(s);
    s.SetNotifyTarget(nullptr, testkit::NoticeMessage());
    Feed(s, "AF AF 00 00 AF 80 00 04 01 02 03 04 99 0D 0A");
    EXPECT_EQ(s.searchReply[2].load(), 3);
    // Feeding posts any notice at once: delivering what is posted is every chance a stray one has.
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(target.notices.empty());
}

TEST(ZebSerialAssembler, DroppedFramesAreNotAnnounced)
{
    testkit::NoticeCollector target;
    ZebSerial s;
    target.Watch(s);
    Feed(s, "AF 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19 0D 0A");
    Feed(s, "AF 0D 0A");
    ASSERT_TRUE(target.WaitFor(1));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(target.notices.size(), 1u);
    EXPECT_EQ(s.FramesReceived(), 1u);
}

TEST(ZebSerialClosed, NothingIsSentOnAClosedPort)
{
    ZebSerial s;
    EXPECT_EQ(s.IsOpen(), 0);
    EXPECT_FALSE(SendSearch(s));
    EXPECT_FALSE(SendWritePower(s, 7));
    const std::uint8_t byte = 0;
    EXPECT_EQ(s.Write(&byte, 1), 0);
    EXPECT_EQ(s.Close(), 1);
    EXPECT_EQ(s.SetLineState(9600, 0), 0);
    EXPECT_EQ(s.Port(), 1);
    EXPECT_EQ(s.BaudRate(), 9600);
    EXPECT_EQ(s.Parity(), 0);
}

}  // namespace
