// The channel tables and the order of a module search, shared by the window and orvane-cli.

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "protocol/ChannelTables.h"
#include "protocol/SearchOrder.h"

namespace {

using protocol::SearchPair;

TEST(ChannelTables, FrequencyByTypeAndItem)
{
    const struct {
        std::uint8_t type;
        int item;
        const char* text;  // null: no entry
    } cases[] = {
        {2, 0, "433.0782MHz"},  {2, 4, "433.0682MHz"}, {2, 15, "429.5072MHz"}, {2, 20, "428.5088MHz"},
        {2, 31, "424.0528MHz"}, {2, 32, nullptr},      {2, -1, nullptr},       {3, 0, "487.5072MHz"},
        {3, 7, "492.4388MHz"},  {3, 8, nullptr},       {0, 0, nullptr},        {4, 0, nullptr},
    };
    for (const auto& c : cases) {
        const auto got = protocol::ChannelFrequency(c.type, c.item);
        if (c.text == nullptr) {
            EXPECT_FALSE(got) << int(c.type) << "/" << c.item;
        } else {
            ASSERT_TRUE(got) << int(c.type) << "/" << c.item;
            EXPECT_EQ(*got, c.text);
        }
    }
}

TEST(ChannelTables, BandNames)
{
    EXPECT_EQ(protocol::ModuleBandName(2), "433MHz");
    EXPECT_EQ(protocol::ModuleBandName(3), "490MHz");
    EXPECT_FALSE(protocol::ModuleBandName(1));
    EXPECT_EQ(protocol::ModuleTypeOfBand("490mhz"), std::optional<std::uint8_t>(3));
    EXPECT_EQ(protocol::ModuleTypeOfBand("433MHz"), std::optional<std::uint8_t>(2));
    EXPECT_EQ(protocol::ModuleTypeOfBand("433"), std::nullopt);
}

TEST(SearchOrder, FreshSearchesTryEveryPairAndTheStartRowTwice)
{
    const struct {
        int baud;
        int parity;
        std::size_t count;
    } cases[] = {{3, 0, 27}, {3, 2, 25}, {0, 0, 27}, {7, 2, 25}, {7, 0, 27}};
    for (const auto& c : cases) {
        const auto pairs = protocol::SearchPairs(c.baud, c.parity, 8, 3);
        ASSERT_EQ(pairs.size(), c.count) << c.baud << "/" << c.parity;
        EXPECT_EQ(pairs.front(), (SearchPair{c.baud, c.parity}));
        EXPECT_EQ(pairs.back(), (SearchPair{c.baud, 2}));
        std::set<std::pair<int, int>> distinct;
        for (const auto& p : pairs)
            distinct.insert({p.baudItem, p.parityItem});
        EXPECT_EQ(distinct.size(), 24u);
    }
    // From 9600/No: 9600/No, 9600/ODD, 9600/Even, 19200/No ... 115200/Even, then 1200/No.
    const auto pairs = protocol::SearchPairs(3, 0, 8, 3);
    EXPECT_EQ(pairs[1], (SearchPair{3, 1}));
    EXPECT_EQ(pairs[3], (SearchPair{4, 0}));
    EXPECT_EQ(pairs[14], (SearchPair{7, 2}));
    EXPECT_EQ(pairs[15], (SearchPair{0, 0}));
    EXPECT_TRUE(protocol::SearchPairs(8, 0, 8, 3).empty());
}

TEST(SearchOrder, ARestartAfterExhaustionKeepsTheOldEndOfTheSecondPass)
{
    // Exhausted from baud 2: wrapped stays true, the cursor rests at baud 0.
    std::uint8_t baud = 2, parity = 2;
    bool wrapped = true;
    EXPECT_FALSE(protocol::AdvanceSearchCursor(baud, parity, wrapped, 2, 8, 3));
    EXPECT_EQ(baud, 0);
    EXPECT_EQ(parity, 0);
    EXPECT_TRUE(wrapped);

    // A new first pass from baud 6 with the selected baud still 2 ends after (2, 2).
    baud = 6;
    parity = 0;
    wrapped = false;
    int tries = 1;
    while (protocol::AdvanceSearchCursor(baud, parity, wrapped, 2, 8, 3))
        ++tries;
    EXPECT_EQ(tries, 6 + 9);
}

}  // namespace
