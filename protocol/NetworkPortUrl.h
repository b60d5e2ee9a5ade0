#pragma once
// The address of a serial port served over the network: rfc2217://HOST:PORT, where HOST is a host
// name, an IPv4 address or an IPv6 address in brackets ([::1]), and PORT the TCP port, 1 to 65535.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace protocol {

struct NetworkPortUrl {
    std::string host;  // without the brackets of an IPv6 address
    std::uint16_t port = 0;
    bool operator==(const NetworkPortUrl&) const = default;
};

// True for text that starts with the scheme (any case): it is meant as a network port, well formed or not.
bool LooksLikeNetworkPortUrl(std::string_view text);
// The host and port of a well-formed URL; nothing for anything else (no port, port 0 or above 65535,
// an empty host, spaces or control characters, a path after the port other than a lone "/").
std::optional<NetworkPortUrl> ParseNetworkPortUrl(std::string_view text);

}  // namespace protocol
