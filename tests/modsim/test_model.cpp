#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "model/ModuleModel.h"
#include "protocol/ModuleFrame.h"

namespace {

using modsim::ModuleModel;
using modsim::ModuleSettings;

std::vector<std::uint8_t> Request(std::uint8_t code, std::uint8_t a = 0, std::uint8_t b = 0)
{
    return protocol::BuildFrame(code, std::array<std::uint8_t, 2>{a, b});
}

std::string AnswerHex(ModuleModel& m, const std::vector<std::uint8_t>& bytes)
{
    std::string out;
    for (const auto& a : m.Feed(bytes))
        out += (out.empty() ? "" : " | ") + protocol::HexBytes(a);
    return out;
}

TEST(ModuleModel, AnswersEveryRequestOfTheSet)
{
    ModuleSettings s;
    s.moduleType = 3;
    s.baudIndex = 4;
    s.parity = 1;
    s.airBaudIndex = 2;
    s.channel = 12;
    s.guestId = 1234;
    ModuleModel m(s);
    struct Case {
        std::vector<std::uint8_t> request;
        const char* data;
    };
    const std::vector<Case> cases = {
        {Request(0), "01 05 03 00"}, {Request(2), "05 01"},  {Request(4), "03 00"},
        {Request(6), "0C 00"},       {Request(13), "04 D2"}, {Request(19, 5), "05"},
    };
    for (const auto& c : cases) {
        const auto answers = m.Feed(c.request);
        ASSERT_EQ(answers.size(), 1u) << protocol::HexBytes(c.request);
        const auto& a = answers[0];
        EXPECT_EQ(a[6], c.request[6]);
        EXPECT_EQ(protocol::HexBytes(std::span(a).subspan(8, a[7])), c.data);
        EXPECT_EQ(a[8 + a[7]], protocol::FrameChecksum(std::span(a).first(8 + a[7])));
    }
}

TEST(ModuleModel, WritesChangeTheSettings)
{
    ModuleModel m;
    EXPECT_EQ(AnswerHex(m, Request(5, 31)), "AF AF 00 00 AF 80 05 02 1F 00 B3 0D 0A");
    EXPECT_FALSE(m.Feed(Request(3, 8)).empty());
    EXPECT_FALSE(m.Feed(Request(12, 0xFF, 0xFE)).empty());
    EXPECT_FALSE(m.Feed(Request(19, 2)).empty());
    EXPECT_EQ(m.Settings().channel, 31);
    EXPECT_EQ(m.Settings().airBaudIndex, 7);
    EXPECT_EQ(m.Settings().guestId, 65534);
    EXPECT_EQ(m.Settings().power, 2);
    // Serial settings: the answer is made first; the line changes after it.
    EXPECT_EQ(m.LineBaudRate(), 9600);
    const auto answers = m.Feed(Request(1, 8, 2));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(m.LineBaudRate(), 115200);
    EXPECT_EQ(m.LineParity(), 2);
}

TEST(ModuleModel, MalformedOrOutOfRangeRequestsGetNoAnswer)
{
    ModuleModel m;
    auto badChecksum = Request(6);
    badChecksum[10] ^= 1;
    auto badHeader = Request(6);
    badHeader[3] = 1;
    badHeader[10] = protocol::FrameChecksum(std::span(badHeader).first(10));
    const std::vector<std::vector<std::uint8_t>> ignored = {
        badChecksum,    badHeader,        Request(7),       Request(5, 0),
        Request(5, 33), Request(1, 0, 0), Request(1, 9, 0), Request(1, 4, 3),
        Request(3, 9),  Request(19, 0),   Request(19, 8),   protocol::BuildFrame(6, std::array<std::uint8_t, 1>{0}),
    };
    for (const auto& r : ignored)
        EXPECT_TRUE(m.Feed(r).empty()) << protocol::HexBytes(r);
    EXPECT_EQ(m.Settings(), ModuleSettings{});
    EXPECT_EQ(m.RequestsIgnored(), ignored.size());
    EXPECT_EQ(m.RequestsAnswered(), 0u);
}

TEST(ModuleModel, NoiseSplitsAndBackToBackRequests)
{
    ModuleModel m;
    auto bytes = Request(6);
    bytes.insert(bytes.begin(), {0x00, 0x55, 0x0D, 0x0A});
    const auto second = Request(0);
    bytes.insert(bytes.end(), second.begin(), second.end());
    std::size_t total = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 5) {
        total += m.Feed(std::span(bytes).subspan(i, std::min<std::size_t>(5, bytes.size() - i))).size();
    }
    EXPECT_EQ(total, 2u);
    // A partial request forgotten at the wrong line settings does not spoil the next one.
    m.Feed(std::span(bytes).first(8));
    m.ResetReceiver();
    EXPECT_EQ(m.Feed(Request(6)).size(), 1u);
}

TEST(ModuleModel, LineMatching)
{
    ModuleSettings s;
    s.parity = 2;
    ModuleModel m(s);
    EXPECT_TRUE(m.LineMatches(9600, 2, false));
    EXPECT_FALSE(m.LineMatches(9600, 0, false));
    EXPECT_TRUE(m.LineMatches(9600, 0, true));
    EXPECT_FALSE(m.LineMatches(9600, 1, true));
    EXPECT_FALSE(m.LineMatches(19200, 2, true));
}

TEST(ModuleModel, SettingsValidation)
{
    EXPECT_EQ(modsim::ValidateSettings({}), "");
    ModuleSettings s;
    s.channel = 33;
    EXPECT_EQ(modsim::ValidateSettings(s), "channel must be 1 to 32");
    s = {};
    s.moduleType = 4;
    EXPECT_NE(modsim::ValidateSettings(s), "");
    s = {};
    s.guestId = 65536;
    EXPECT_NE(modsim::ValidateSettings(s), "");
}

}  // namespace
