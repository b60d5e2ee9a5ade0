#include "protocol/NetworkPortUrl.h"

#include <algorithm>
#include <cctype>

namespace protocol {

namespace {

constexpr std::string_view kScheme = "rfc2217://";

bool HostNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == '_';
}

// Hex digits, colons, dots (an embedded IPv4 address) and a zone after '%'.
bool Ipv6Char(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '.'; }

}  // namespace

bool LooksLikeNetworkPortUrl(std::string_view text)
{
    return text.size() >= kScheme.size()
        && std::equal(kScheme.begin(), kScheme.end(), text.begin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

std::optional<NetworkPortUrl> ParseNetworkPortUrl(std::string_view text)
{
    if (!LooksLikeNetworkPortUrl(text)) return std::nullopt;
    text.remove_prefix(kScheme.size());
    if (text.ends_with('/')) text.remove_suffix(1);
    NetworkPortUrl url;
    std::string_view rest;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        const std::string_view address = text.substr(1, close - 1);
        const std::string_view zone = address.substr(std::min(address.find('%'), address.size()));
        const std::string_view bare = address.substr(0, address.size() - zone.size());
        if (bare.find(':') == std::string_view::npos || !std::all_of(bare.begin(), bare.end(), Ipv6Char)
            || zone.size() == 1 || !std::all_of(zone.begin() + (zone.empty() ? 0 : 1), zone.end(), HostNameChar))
            return std::nullopt;
        url.host = std::string(address);
        rest = text.substr(close + 1);
    } else {
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        const std::string_view host = text.substr(0, colon);
        if (host.empty() || !std::all_of(host.begin(), host.end(), HostNameChar)) return std::nullopt;
        url.host = std::string(host);
        rest = text.substr(colon);
    }
    if (rest.size() < 2 || rest.size() > 6 || rest[0] != ':') return std::nullopt;
    unsigned port = 0;
    for (char c : rest.substr(1)) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + static_cast<unsigned>(c - '0');
    }
    if (port == 0 || port > 65535) return std::nullopt;
    url.port = static_cast<std::uint16_t>(port);
    return url;
}

}  // namespace protocol
