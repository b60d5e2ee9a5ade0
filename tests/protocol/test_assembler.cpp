#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Hex.h"
#include "protocol/FrameAssembler.h"
#include "protocol/ModuleFrame.h"

namespace {

using testcommon::Hex;

// Feeds the bytes; returns every completed frame in hex, dropping each once handled.
std::vector<std::string> Assemble(protocol::FrameAssembler& rx, const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::string> frames;
    for (std::uint8_t b : bytes) {
        if (!rx.Push(b)) continue;
        frames.push_back(protocol::HexBytes(rx.Frame()));
        rx.Reset();
    }
    return frames;
}

struct Case {
    const char* name;
    const char* input;
    std::vector<std::string> frames;
    int leftOver;  // bytes held afterwards
};

TEST(FrameAssembler, StateMachine)
{
    const std::vector<Case> cases = {
        {"noise before the start byte",
         "11 22 AF AF 00 00 AF 80 06 02 05 00 9A 0D 0A",
         {"AF AF 00 00 AF 80 06 02 05 00 9A 0D 0A"},
         0},
        {"shortest frame", "AF 0D 0A", {"AF 0D 0A"}, 0},
        {"CR LF inside the data ends the frame; a following AF starts a new one",
         "AF AF 00 00 AF 80 06 02 0D 0A 11 AF 33",
         {"AF AF 00 00 AF 80 06 02 0D 0A"},
         2},
        {"21 bytes ending in CR LF",
         "AF 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 0D 0A",
         {"AF 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 0D 0A"},
         0},
        {"21st byte not completing CR LF drops all",
         "AF 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19 0D 0A",
         {},
         0},
        {"21st byte is AF: dropped with the rest",
         "AF 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19 AF 0D 0A",
         {},
         0},
        {"two frames back to back", "AF 06 0D 0A AF 05 0D 0A", {"AF 06 0D 0A", "AF 05 0D 0A"}, 0},
        {"LF without CR does not end", "AF 0A 0D 0D 0A", {"AF 0A 0D 0D 0A"}, 0},
        {"bad checksum and header accepted",
         "AF 00 00 00 00 00 06 09 07 00 FF 0D 0A",
         {"AF 00 00 00 00 00 06 09 07 00 FF 0D 0A"},
         0},
        {"partial frame held", "AF AF 00 00", {}, 4},
    };
    for (const auto& c : cases) {
        protocol::FrameAssembler rx;
        EXPECT_EQ(Assemble(rx, Hex(c.input)), c.frames) << c.name;
        EXPECT_EQ(rx.Count(), c.leftOver) << c.name;
    }
}

TEST(FrameAssembler, ShortFrameReadsZeroBeyondItsEndAfterLongerOnes)
{
    protocol::FrameAssembler rx;
    // A long dropped run, then a long frame, then a short one: nothing of the earlier bytes shows through.
    Assemble(rx, Hex("AF 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 11 22 33 44 55"));
    ASSERT_EQ(Assemble(rx, Hex("AF AF 00 00 AF 80 00 04 01 02 03 04 99 0D 0A")).size(), 1u);
    ASSERT_TRUE(rx.Push(0xAF) == false && rx.Push(0x0D) == false && rx.Push(0x0A));
    EXPECT_EQ(rx.Count(), 3);
    for (std::size_t i = 3; i < 32; ++i)
        EXPECT_EQ(rx.At(i), 0) << i;
    EXPECT_EQ(rx.At(5000), 0);
}

TEST(FrameAssembler, FrameSplitAcrossPushesOfEveryPrefix)
{
    const auto frame = Hex("AF AF 00 00 AF 80 06 02 05 00 9A 0D 0A");
    for (std::size_t cut = 0; cut <= frame.size(); ++cut) {
        protocol::FrameAssembler rx;
        std::vector<std::uint8_t> first(frame.begin(), frame.begin() + static_cast<long>(cut));
        std::vector<std::uint8_t> second(frame.begin() + static_cast<long>(cut), frame.end());
        auto a = Assemble(rx, first);
        auto b = Assemble(rx, second);
        a.insert(a.end(), b.begin(), b.end());
        ASSERT_EQ(a.size(), 1u) << cut;
    }
}

TEST(FrameAssembler, UnhandledFrameMakesRoomForTheNext)
{
    protocol::FrameAssembler rx;
    ASSERT_EQ(Assemble(rx, Hex("AF 06 0D")).size(), 0u);
    ASSERT_TRUE(rx.Push(0x0A));
    // No Reset by the caller: the next byte starts afresh.
    EXPECT_FALSE(rx.Push(0xAF));
    EXPECT_EQ(rx.Count(), 1);
    EXPECT_EQ(rx.At(1), 0);
}

}  // namespace
