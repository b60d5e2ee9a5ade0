#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include "protocol/ModuleFrame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct RequestCase {
    const char* name;
    protocol::Request request;
    const char* expected;
};

const std::vector<RequestCase>& RequestCases()
{
    static const std::vector<RequestCase> cases = {
        {"search", protocol::SearchRequest(), "AF AF 00 00 AF 80 00 02 00 00 8F 0D 0A"},
        {"read com", protocol::ReadRequest(protocol::kReadComParams), "AF AF 00 00 AF 80 02 02 00 00 91 0D 0A"},
        {"read air", protocol::ReadRequest(protocol::kReadAirBaud), "AF AF 00 00 AF 80 04 02 00 00 93 0D 0A"},
        {"read channel", protocol::ReadRequest(protocol::kReadChannel), "AF AF 00 00 AF 80 06 02 00 00 95 0D 0A"},
        {"read id", protocol::ReadRequest(protocol::kReadGuestId), "AF AF 00 00 AF 80 0D 02 00 00 9C 0D 0A"},
        {"write channel 5", protocol::WriteChannelRequest(5), "AF AF 00 00 AF 80 05 02 05 00 99 0D 0A"},
        {"write com 9600 no", protocol::WriteComParamsRequest(4, 0), "AF AF 00 00 AF 80 01 02 04 00 94 0D 0A"},
        {"write air 9600", protocol::WriteAirBaudRequest(4), "AF AF 00 00 AF 80 03 02 04 00 96 0D 0A"},
        // The byte sum ends in FF: sent as 00.
        {"write id 100", protocol::WriteGuestIdRequest(100), "AF AF 00 00 AF 80 0C 02 00 64 00 0D 0A"},
        {"write id 1234", protocol::WriteGuestIdRequest(1234), "AF AF 00 00 AF 80 0C 02 04 D2 71 0D 0A"},
        // Only the low 16 bits travel.
        {"write id 65536", protocol::WriteGuestIdRequest(65536), "AF AF 00 00 AF 80 0C 02 00 00 9B 0D 0A"},
        {"write id 99999", protocol::WriteGuestIdRequest(99999), "AF AF 00 00 AF 80 0C 02 86 9F C0 0D 0A"},
        {"write power 7", protocol::WritePowerRequest(7), "AF AF 00 00 AF 80 13 02 07 00 A9 0D 0A"},
    };
    return cases;
}

TEST(BuildFrame, EveryRequestOfTheCommandSet)
{
    for (const auto& c : RequestCases()) {
        const Bytes frame = protocol::BuildFrame(c.request);
        EXPECT_EQ(protocol::HexBytes(frame), c.expected) << c.name;
        EXPECT_EQ(frame.size(), protocol::kRequestLength) << c.name;
        // The frame reads back as the request it was built from.
        const auto parsed = protocol::ParseRequest(frame);
        ASSERT_TRUE(parsed.has_value()) << c.name;
        EXPECT_EQ(parsed->code, c.request.code) << c.name;
        EXPECT_EQ(parsed->payload, c.request.payload) << c.name;
    }
}

TEST(ParseRequest, OnlyWellBuiltRequests)
{
    const Bytes good = protocol::BuildFrame(protocol::WriteChannelRequest(5));
    auto changed = [&good](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    const std::vector<std::pair<const char*, Bytes>> bad = {
        {"checksum", changed(10, 0x98)},
        {"header byte 1", changed(1, 0x00)},
        {"length byte", changed(7, 0x03)},
        {"no LF", changed(12, 0x0D)},
        {"one byte short", Bytes(good.begin(), good.end() - 1)},
        {"payload of three", protocol::BuildFrame(5, std::vector<std::uint8_t>{5, 0, 0})},
        {"empty", {}},
    };
    for (const auto& [name, bytes] : bad)
        EXPECT_FALSE(protocol::ParseRequest(bytes).has_value()) << name;
}

// A port that records what the senders hand it.
class RecordingPort : public protocol::FramePort {
public:
    bool PortOpen() const override { return open; }
    protocol::Result<> WriteFrame(std::span<const std::uint8_t> frame) override
    {
        writes.emplace_back(frame.begin(), frame.end());
        if (writeFails) return protocol::SerialError{5, "/dev/ttyUSB0", "device hung up"};
        return {};
    }
    bool open = true;
    bool writeFails = false;
    std::vector<Bytes> writes;
};

TEST(Senders, EachWritesItsRequestWholeInOneWrite)
{
    struct Case {
        const char* name;
        bool (*send)(protocol::FramePort&);
        protocol::Request request;
    };
    const Case cases[] = {
        {"search", [](protocol::FramePort& p) { return SendSearch(p); }, protocol::SearchRequest()},
        {"read", [](protocol::FramePort& p) { return SendRead(p, protocol::kReadGuestId); },
         protocol::ReadRequest(protocol::kReadGuestId)},
        {"read channel", [](protocol::FramePort& p) { return SendReadChannel(p); },
         protocol::ReadRequest(protocol::kReadChannel)},
        {"write channel", [](protocol::FramePort& p) { return SendWriteChannel(p, 32); },
         protocol::WriteChannelRequest(32)},
        {"write com", [](protocol::FramePort& p) { return SendWriteComParams(p, 8, 2); },
         protocol::WriteComParamsRequest(8, 2)},
        {"write id", [](protocol::FramePort& p) { return SendWriteGuestId(p, 1234); },
         protocol::WriteGuestIdRequest(1234)},
        {"write power", [](protocol::FramePort& p) { return SendWritePower(p, 7); }, protocol::WritePowerRequest(7)},
    };
    for (const Case& c : cases) {
        RecordingPort port;
        EXPECT_TRUE(c.send(port)) << c.name;
        ASSERT_EQ(port.writes.size(), 1u) << c.name;
        EXPECT_EQ(port.writes[0], protocol::BuildFrame(c.request)) << c.name;

        port.writeFails = true;
        EXPECT_FALSE(c.send(port)) << c.name << ": a failed write is a failed send";
        port.open = false;
        port.writes.clear();
        EXPECT_FALSE(c.send(port)) << c.name;
        EXPECT_TRUE(port.writes.empty()) << c.name << ": nothing goes to a closed port";
    }
}

TEST(BuildFrame, PayloadLengthsAndChecksumReduction)
{
    EXPECT_EQ(protocol::HexBytes(protocol::BuildFrame(7, {})), "AF AF 00 00 AF 80 07 00 94 0D 0A");
    const std::vector<std::uint8_t> big(255, 0x01);
    const Bytes frame = protocol::BuildFrame(1, big);
    ASSERT_EQ(frame.size(), 266u);
    EXPECT_EQ(frame[7], 0xFF);
    EXPECT_EQ(frame[263], protocol::FrameChecksum(std::span(frame).first(263)));
    // A length the length byte cannot say is refused instead of wrapping.
    EXPECT_TRUE(protocol::BuildFrame(1, std::vector<std::uint8_t>(256, 0)).empty());

    EXPECT_EQ(protocol::FrameChecksum(std::array<std::uint8_t, 1>{0xFF}), 0x00);
    EXPECT_EQ(protocol::FrameChecksum(std::array<std::uint8_t, 1>{0xFE}), 0xFE);
    EXPECT_EQ(protocol::FrameChecksum(std::array<std::uint8_t, 2>{0x80, 0x80}), 0x00);
}

TEST(BaudTable, IndexOfRate)
{
    EXPECT_EQ(protocol::BaudIndexOfRate(1200), 0);
    EXPECT_EQ(protocol::BaudIndexOfRate(9600), 3);
    EXPECT_EQ(protocol::BaudIndexOfRate(115200), 7);
    EXPECT_EQ(protocol::BaudIndexOfRate(14400), std::nullopt);
}

}  // namespace
