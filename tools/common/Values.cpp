#include "Values.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "platform/PortNamespace.h"
#include "protocol/ModuleFrame.h"

namespace cmdline {

namespace {

constexpr long long kHighestMilliseconds = 600000;
constexpr std::size_t kLongestShown = 64;

[[noreturn]] void Refuse(std::string_view what, const std::string& allowed, std::string_view text)
{
    throw BadValue(std::string(what) + " must be " + allowed + ", not '" + Printable(text) + "'");
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

constexpr std::array<const char*, protocol::kParityNames.size()> kParityWords{"none", "odd", "even"};

}  // namespace

std::optional<long long> ParseDecimal(std::string_view text)
{
    if (text.empty() || text.size() > 18) return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.front() == '-') return std::nullopt;
    return value;
}

int ParseInRange(std::string_view text, std::string_view what, long long low, long long high)
{
    const std::optional<long long> v = ParseDecimal(text);
    if (!v || *v < low || *v > high) Refuse(what, std::to_string(low) + " to " + std::to_string(high), text);
    return static_cast<int>(*v);
}

int ParseChannel(std::string_view text, std::string_view what)
{
    return ParseInRange(text, what, protocol::kLowestChannel, protocol::kHighestChannel);
}

int ParseBaudCode(std::string_view text, std::string_view what)
{
    const std::optional<long long> v = ParseDecimal(text);
    const std::optional<int> index
        = v && *v <= protocol::kBaudRates.back() ? protocol::BaudIndexOfRate(static_cast<int>(*v)) : std::nullopt;
    if (!index) {
        std::string rates = "one of";
        for (int rate : protocol::kBaudRates)
            rates += " " + std::to_string(rate);
        Refuse(what, rates, text);
    }
    return *index + 1;
}

int ParseBaudRate(std::string_view text, std::string_view what)
{
    return *protocol::BaudRateOfCode(ParseBaudCode(text, what));
}

int ParseParity(std::string_view text, std::string_view what)
{
    // By parity index.
    static constexpr std::array<std::array<std::string_view, 3>, protocol::kParityNames.size()> kSpellings{
        {{"none", "no", "n"}, {"odd", "o", ""}, {"even", "e", ""}}};
    for (std::size_t i = 0; i < kSpellings.size(); ++i) {
        for (std::string_view spelling : kSpellings[i]) {
            if (!spelling.empty() && SameIgnoringCase(text, spelling)) return static_cast<int>(i);
        }
    }
    Refuse(what, "none, odd or even", text);
}

int ParseGuestId(std::string_view text, std::string_view what)
{
    return ParseInRange(text, what, protocol::kLowestGuestId, protocol::kHighestGuestId);
}

int ParsePower(std::string_view text, std::string_view what)
{
    return ParseInRange(text, what, protocol::kLowestPower, protocol::kHighestPower);
}

int ParseMilliseconds(std::string_view text, std::string_view what)
{
    return ParseInRange(text, what, 1, kHighestMilliseconds);
}

int ParsePort(std::string_view text, std::string_view what)
{
    const std::optional<int> port = platform::ParsePortName(text);
    if (!port || *port < 1) Refuse(what, "COM1 to COM63 (or 1 to 63)", text);
    return *port;
}

std::string Escaped(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        char buf[8];
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0
                   && static_cast<unsigned char>(text[i + 1]) >= 0x80) {
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(text[++i]));
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string Printable(std::string_view text)
{
    if (text.size() <= kLongestShown) return Escaped(text);
    // Cut before a character, not inside one of UTF-8's continuation bytes.
    std::size_t cut = kLongestShown - 3;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return Escaped(text.substr(0, cut)) + "...";
}

const char* ParityWord(int parity)
{
    return protocol::IsParity(parity) ? kParityWords[static_cast<std::size_t>(parity)] : "?";
}

}  // namespace cmdline
