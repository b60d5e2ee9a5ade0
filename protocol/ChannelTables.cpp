#include "protocol/ChannelTables.h"

#include <cctype>

namespace protocol {

std::optional<std::string_view> ChannelFrequency(std::uint8_t moduleType, int channelItem)
{
    if (channelItem < 0) return std::nullopt;
    const auto item = static_cast<std::size_t>(channelItem);
    if (moduleType == kModuleType433 && item < k433MHzChannels.size()) return k433MHzChannels[item];
    if (moduleType == kModuleType490 && item < k490MHzChannels.size()) return k490MHzChannels[item];
    return std::nullopt;
}

std::optional<int> ModuleBandMhz(std::uint8_t moduleType)
{
    if (moduleType == kModuleType433) return 433;
    if (moduleType == kModuleType490) return 490;
    return std::nullopt;
}

std::optional<std::string_view> ModuleBandName(std::uint8_t moduleType)
{
    if (moduleType == kModuleType433) return "433MHz";
    if (moduleType == kModuleType490) return "490MHz";
    return std::nullopt;
}

std::optional<std::uint8_t> ModuleTypeOfBand(std::string_view name)
{
    auto same = [name](std::string_view band) {
        if (name.size() != band.size()) return false;
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(name[i])) != std::tolower(static_cast<unsigned char>(band[i])))
                return false;
        }
        return true;
    };
    for (std::uint8_t type : {kModuleType433, kModuleType490}) {
        if (same(*ModuleBandName(type))) return type;
    }
    return std::nullopt;
}

}  // namespace protocol
