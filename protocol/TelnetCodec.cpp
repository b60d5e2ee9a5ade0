#include "protocol/TelnetCodec.h"

#include <algorithm>
#include <optional>

namespace protocol::telnet {

namespace {

// How many value bytes each client code, and the server's answer to it, carries; nothing for the
// signature, whose text has any length.
std::optional<std::size_t> ValueLength(std::uint8_t clientCode)
{
    switch (clientCode) {
    case kSignature: return std::nullopt;
    case kSetBaudRate: return 4;
    case 8:  // flow control suspend and resume carry nothing
    case 9: return 0;
    default: return 1;
    }
}

}  // namespace

void AppendData(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> data)
{
    out.reserve(out.size() + data.size());
    for (std::uint8_t b : data) {
        out.push_back(b);
        if (b == kIac) out.push_back(kIac);
    }
}

std::vector<std::uint8_t> ComPortCommand(std::uint8_t code, std::span<const std::uint8_t> value)
{
    std::vector<std::uint8_t> out = {kIac, kSb, kOptionComPort, code};
    AppendData(out, value);
    out.push_back(kIac);
    out.push_back(kSe);
    return out;
}

std::vector<std::uint8_t> SetBaudRate(std::uint32_t bitsPerSecond)
{
    const std::array<std::uint8_t, 4> value
        = {static_cast<std::uint8_t>(bitsPerSecond >> 24), static_cast<std::uint8_t>(bitsPerSecond >> 16),
           static_cast<std::uint8_t>(bitsPerSecond >> 8), static_cast<std::uint8_t>(bitsPerSecond)};
    return ComPortCommand(kSetBaudRate, value);
}

std::vector<std::uint8_t> SetDataSize(std::uint8_t bits)
{
    const std::array<std::uint8_t, 1> value = {bits};
    return ComPortCommand(kSetDataSize, value);
}

std::vector<std::uint8_t> SetParity(Parity parity)
{
    const std::array<std::uint8_t, 1> value = {static_cast<std::uint8_t>(parity)};
    return ComPortCommand(kSetParity, value);
}

std::vector<std::uint8_t> SetStopSize(StopBits stopBits)
{
    const std::array<std::uint8_t, 1> value = {static_cast<std::uint8_t>(stopBits)};
    return ComPortCommand(kSetStopSize, value);
}

std::vector<std::uint8_t> PurgeData(Purge what)
{
    const std::array<std::uint8_t, 1> value = {static_cast<std::uint8_t>(what)};
    return ComPortCommand(kPurgeData, value);
}

void Decoder::Feed(std::span<const std::uint8_t> chunk, std::vector<std::uint8_t>& data, std::vector<Event>& events)
{
    auto it = chunk.begin();
    while (it != chunk.end()) {
        if (m_state == State::Data) {
            // Plain data is copied in runs up to the next IAC.
            const auto iac = std::find(it, chunk.end(), kIac);
            data.insert(data.end(), it, iac);
            it = iac;
            if (it == chunk.end()) break;
        }
        Step(*it++, data, events);
    }
}

void Decoder::Step(std::uint8_t b, std::vector<std::uint8_t>& data, std::vector<Event>& events)
{
    switch (m_state) {
    case State::Data:
        if (b == kIac)
            m_state = State::Iac;
        else
            data.push_back(b);
        break;
    case State::Iac:
        if (b == kIac) {
            data.push_back(b);
            m_state = State::Data;
        } else {
            OnCommand(b, data.size(), events);
        }
        break;
    case State::Verb:
        events.push_back({.kind = Event::Kind::Option, .verb = m_verb, .option = b, .at = data.size()});
        m_seenNegotiation = true;
        m_state = State::Data;
        break;
    case State::Sub:
        if (b == kIac)
            m_state = State::SubIac;
        else
            OnSubnegotiationByte(b, data.size(), events);
        break;
    case State::SubIac:
        if (b == kIac) {
            m_state = State::Sub;
            OnSubnegotiationByte(b, data.size(), events);
        } else if (b == kSe) {
            OnSubnegotiationEnd(data.size(), events);
        } else {
            events.push_back({.error = DecodeError::MalformedSubnegotiation, .at = data.size()});
            m_state = State::Data;
        }
        break;
    case State::Skip: m_state = b == kIac ? State::SkipIac : State::Skip; break;
    case State::SkipIac: m_state = b == kSe ? State::Data : State::Skip; break;
    }
}

void Decoder::OnCommand(std::uint8_t b, std::size_t at, std::vector<Event>& events)
{
    m_state = State::Data;
    switch (b) {
    case kWill:
    case kWont:
    case kDo:
    case kDont:
        m_verb = b;
        m_state = State::Verb;
        break;
    case kSb:
        m_subLength = 0;
        m_state = State::Sub;
        break;
    default:
        // NOP, GA and the other one-byte commands mean nothing on a serial link; SE outside a
        // subnegotiation and bytes below it are no commands at all.
        if (b <= kSe) events.push_back({.error = DecodeError::UnknownCommand, .at = at});
        break;
    }
}

void Decoder::OnSubnegotiationByte(std::uint8_t b, std::size_t at, std::vector<Event>& events)
{
    if (m_subLength == m_sub.size()) {
        events.push_back({.error = DecodeError::OverlongSubnegotiation, .at = at});
        m_state = State::Skip;
        return;
    }
    m_sub[m_subLength++] = b;
}

void Decoder::OnSubnegotiationEnd(std::size_t at, std::vector<Event>& events)
{
    m_state = State::Data;
    if (m_subLength >= 1 && m_sub[0] != kOptionComPort) {
        m_seenNegotiation = true;
        return;
    }
    const std::uint8_t code = m_subLength >= 2 ? m_sub[1] : 0;
    const std::uint8_t first = m_from == From::Server ? kServerCode : 0;
    const bool known = m_subLength >= 2 && code >= first && code <= first + kPurgeData;
    const auto value = std::span<const std::uint8_t>(m_sub).first(m_subLength).subspan(known ? 2 : 0);
    const auto length = known ? ValueLength(static_cast<std::uint8_t>(code - first)) : std::nullopt;
    if (!known || (length && value.size() != *length)) {
        events.push_back({.error = DecodeError::MalformedSubnegotiation, .at = at});
        return;
    }
    std::uint32_t number = 0;
    if (length)
        for (std::uint8_t v : value)
            number = (number << 8) | v;
    events.push_back({.kind = Event::Kind::ComPort, .code = code, .value = number, .at = at});
    m_seenNegotiation = true;
}

}  // namespace protocol::telnet
