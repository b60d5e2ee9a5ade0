#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "protocol/ModuleFrame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame2(std::uint8_t code, std::uint8_t a, std::uint8_t b) {
  const std::array<std::uint8_t, 2> payload{a, b};
  return protocol::BuildFrame(code, payload);
}

struct RequestCase {
  const char* name;
  Bytes frame;
  const char* expected;
};

TEST(BuildFrame, EveryRequestOfTheCommandSet) {
  const std::vector<RequestCase> cases = {
      {"search", Frame2(0, 0, 0), "AF AF 00 00 AF 80 00 02 00 00 8F 0D 0A"},
      {"read com", Frame2(2, 0, 0), "AF AF 00 00 AF 80 02 02 00 00 91 0D 0A"},
      {"read air", Frame2(4, 0, 0), "AF AF 00 00 AF 80 04 02 00 00 93 0D 0A"},
      {"read channel", Frame2(6, 0, 0), "AF AF 00 00 AF 80 06 02 00 00 95 0D 0A"},
      {"read id", Frame2(13, 0, 0), "AF AF 00 00 AF 80 0D 02 00 00 9C 0D 0A"},
      {"write channel 5", Frame2(5, 5, 0), "AF AF 00 00 AF 80 05 02 05 00 99 0D 0A"},
      {"write com 9600 no", Frame2(1, 4, 0), "AF AF 00 00 AF 80 01 02 04 00 94 0D 0A"},
      // The byte sum ends in FF: sent as 00.
      {"write id 100", Frame2(12, 0x00, 0x64), "AF AF 00 00 AF 80 0C 02 00 64 00 0D 0A"},
      {"write id 1234", Frame2(12, 0x04, 0xD2), "AF AF 00 00 AF 80 0C 02 04 D2 71 0D 0A"},
      {"write power 7", Frame2(19, 7, 0), "AF AF 00 00 AF 80 13 02 07 00 A9 0D 0A"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(protocol::HexBytes(c.frame), c.expected) << c.name;
    EXPECT_EQ(c.frame.size(), protocol::kRequestLength) << c.name;
  }
}

TEST(BuildFrame, PayloadLengthsAndChecksumReduction) {
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

TEST(BaudTable, IndexOfRate) {
  EXPECT_EQ(protocol::BaudIndexOfRate(1200), 0);
  EXPECT_EQ(protocol::BaudIndexOfRate(9600), 3);
  EXPECT_EQ(protocol::BaudIndexOfRate(115200), 7);
  EXPECT_EQ(protocol::BaudIndexOfRate(14400), -1);
}

}  // namespace
