#include "protocol/ModuleFrame.h"

#include <algorithm>

namespace protocol {

std::optional<int> BaudIndexOfRate(int baudRate)
{
    for (std::size_t i = 0; i < kBaudRates.size(); ++i) {
        if (kBaudRates[i] == baudRate) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::uint8_t FrameChecksum(std::span<const std::uint8_t> bytes)
{
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes)
        sum = static_cast<std::uint8_t>(sum + b);
    return static_cast<std::uint8_t>(sum % 255);
}

std::vector<std::uint8_t> BuildFrame(std::uint8_t command, std::span<const std::uint8_t> payload)
{
    if (payload.size() > kMaxPayload) return {};
    std::vector<std::uint8_t> frame;
    frame.reserve(payload.size() + kFrameOverhead);
    frame.insert(frame.end(), kFrameHeader.begin(), kFrameHeader.end());
    frame.push_back(command);
    frame.push_back(static_cast<std::uint8_t>(payload.size()));
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(FrameChecksum(frame));
    frame.push_back(kCR);
    frame.push_back(kLF);
    return frame;
}

std::vector<std::uint8_t> BuildFrame(const Request& request) { return BuildFrame(request.code, request.payload); }

std::optional<Request> ParseRequest(std::span<const std::uint8_t> frame)
{
    if (frame.size() != kRequestLength) return std::nullopt;
    Request request;
    request.code = frame[kCodeOffset];
    std::copy_n(frame.begin() + kDataOffset, request.payload.size(), request.payload.begin());
    if (!std::ranges::equal(BuildFrame(request), frame)) return std::nullopt;
    return request;
}

std::string HexBytes(std::span<const std::uint8_t> bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        if (!out.empty()) out.push_back(' ');
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0F]);
    }
    return out;
}

}  // namespace protocol

bool SendCommand(protocol::FramePort& port, std::uint8_t command, std::span<const std::uint8_t> payload)
{
    if (!port.PortOpen()) return false;
    const std::vector<std::uint8_t> frame = protocol::BuildFrame(command, payload);
    if (frame.empty()) return false;
    return port.WriteFrame(frame).Ok();
}

bool SendCommand(protocol::FramePort& port, const protocol::Request& request)
{
    return SendCommand(port, request.code, request.payload);
}

bool SendSearch(protocol::FramePort& port) { return SendCommand(port, protocol::SearchRequest()); }

bool SendRead(protocol::FramePort& port, std::uint8_t command)
{
    return SendCommand(port, protocol::ReadRequest(command));
}

bool SendReadChannel(protocol::FramePort& port) { return SendRead(port, protocol::kReadChannel); }

bool SendWriteChannel(protocol::FramePort& port, std::uint8_t channel)
{
    return SendCommand(port, protocol::WriteChannelRequest(channel));
}

bool SendWriteComParams(protocol::FramePort& port, std::uint8_t baudCode, std::uint8_t parityIndex)
{
    return SendCommand(port, protocol::WriteComParamsRequest(baudCode, parityIndex));
}

bool SendWriteGuestId(protocol::FramePort& port, std::int32_t id)
{
    return SendCommand(port, protocol::WriteGuestIdRequest(id));
}

bool SendWritePower(protocol::FramePort& port, std::uint8_t level)
{
    return SendCommand(port, protocol::WritePowerRequest(level));
}
