#pragma once
// The values the module's frames carry and the names they go by: one definition each, for the
// windows, the command-line tool and the simulator alike.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace protocol {

// Baud index 0..7 and the rates they stand for; frames carry the baud code (index + 1).
inline constexpr std::array<int, 8> kBaudRates{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
inline constexpr int kLowestBaudCode = 1;
inline constexpr int kHighestBaudCode = static_cast<int>(kBaudRates.size());

// Parity index 0..2 (none, odd, even) and the names the windows show for it.
inline constexpr std::array<const char*, 3> kParityNames{"No", "ODD", "Even"};
inline constexpr int kHighestParity = static_cast<int>(kParityNames.size()) - 1;

inline constexpr int kLowestChannel = 1;
inline constexpr int kHighestChannel = 32;

// A request carries 16 bits of the factory ID.
inline constexpr int kLowestGuestId = 0;
inline constexpr int kHighestGuestId = 65535;

inline constexpr int kLowestPower = 1;
inline constexpr int kHighestPower = 7;

// Data byte 2 of the answer to a search: the module's band.
inline constexpr std::uint8_t kModuleType433 = 2;
inline constexpr std::uint8_t kModuleType490 = 3;

// The registered name of the notice posted for every complete answer frame.
inline constexpr const char* kNoticeName = "ZebSerial_MSG_RECV_1";

constexpr bool IsBaudCode(int code) { return code >= kLowestBaudCode && code <= kHighestBaudCode; }
constexpr bool IsParity(int parity) { return parity >= 0 && parity <= kHighestParity; }
constexpr bool IsChannel(int channel) { return channel >= kLowestChannel && channel <= kHighestChannel; }
constexpr bool IsGuestId(int id) { return id >= kLowestGuestId && id <= kHighestGuestId; }
constexpr bool IsPower(int level) { return level >= kLowestPower && level <= kHighestPower; }
constexpr bool IsModuleType(int type) { return type == kModuleType433 || type == kModuleType490; }

// The baud rate of a baud code (1..8) in bit/s; none for any other code.
constexpr std::optional<int> BaudRateOfCode(int code)
{
    if (!IsBaudCode(code)) return std::nullopt;
    return kBaudRates[static_cast<std::size_t>(code - 1)];
}

}  // namespace protocol
