#pragma once
// Bytes written as the logs write them: two hex digits each, one space between ("AF AF 00 0D 0A").

#include <cstdint>
#include <string>
#include <vector>

namespace testcommon {

inline std::vector<std::uint8_t> Hex(const std::string& text)
{
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < text.size(); i += 3)
        out.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    return out;
}

}  // namespace testcommon
