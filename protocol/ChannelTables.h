#pragma once
// The module's channel-to-frequency tables and its band names. The window and the command-line
// tool both read them from here.
//
// The module type is data byte 2 of the answer to a search: 2 is a 433 MHz module (32 channels),
// 3 a 490 MHz module (8 channels). Tables are indexed by channel item (channel - 1).

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "protocol/ModuleValues.h"

namespace protocol {

// Not in frequency order: these are the module's own channel assignments.
inline constexpr std::array<const char*, kHighestChannel> k433MHzChannels{
    "433.0782MHz", "433.5785MHz", "433.0688MHz", "433.5672MHz", "433.0682MHz", "433.5674MHz", "433.0761MHz",
    "433.5788MHz", "432.5667MHz", "432.0547MHz", "431.5832MHz", "431.0622MHz", "430.5552MHz", "430.0482MHz",
    "429.5762MHz", "429.5072MHz", "437.0032MHz", "437.5567MHz", "438.0443MHz", "438.5644MHz", "428.5088MHz",
    "428.0542MHz", "427.5087MHz", "427.0572MHz", "439.5943MHz", "439.0698MHz", "440.5134MHz", "440.0657MHz",
    "426.5190MHz", "426.0124MHz", "425.5672MHz", "424.0528MHz"};

inline constexpr std::array<const char*, 8> k490MHzChannels{"487.5072MHz", "488.4289MHz", "489.2329MHz", "489.9260MHz",
                                                            "490.6942MHz", "491.1580MHz", "491.7360MHz", "492.4388MHz"};

// The frequency text of a channel item for a module type; none when the type has no table or the
// table no entry for the item.
std::optional<std::string_view> ChannelFrequency(std::uint8_t moduleType, int channelItem);

// 433 for type 2, 490 for type 3; none for any other type.
std::optional<int> ModuleBandMhz(std::uint8_t moduleType);
// "433MHz" for type 2, "490MHz" for type 3; none for any other type.
std::optional<std::string_view> ModuleBandName(std::uint8_t moduleType);
// The module type a band name stands for ("433MHz", "490MHz"; case ignored).
std::optional<std::uint8_t> ModuleTypeOfBand(std::string_view name);

}  // namespace protocol
