#pragma once
// Module frame codec and the command set of the radio module.
//
// A frame: AF AF 00 00 AF 80, command code, payload length n, n payload bytes, checksum, 0D 0A
// (protocol/FrameLayout.h). The checksum is the 8-bit sum of every byte before it, reduced modulo
// 255 (a sum byte of 0xFF goes out as 0x00).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/FrameLayout.h"
#include "protocol/FramePort.h"
#include "protocol/ModuleValues.h"

namespace protocol {

// Command codes. No other code is ever sent.
enum Command : std::uint8_t {
    kSearch = 0x00,
    kWriteComParams = 0x01,
    kReadComParams = 0x02,
    kWriteAirBaud = 0x03,
    kReadAirBaud = 0x04,
    kWriteChannel = 0x05,
    kReadChannel = 0x06,
    kWriteGuestId = 0x0C,
    kReadGuestId = 0x0D,
    kWritePower = 0x13,
};

// A request of the command set: its code and its two payload bytes. The functions below are the one
// place that says what each request carries.
struct Request {
    std::uint8_t code = 0;
    std::array<std::uint8_t, kRequestPayload> payload{};
};

constexpr Request SearchRequest() { return {kSearch, {0x00, 0x00}}; }
constexpr Request ReadRequest(std::uint8_t code) { return {code, {0x00, 0x00}}; }
constexpr Request WriteComParamsRequest(std::uint8_t baudCode, std::uint8_t parity)
{
    return {kWriteComParams, {baudCode, parity}};
}
constexpr Request WriteAirBaudRequest(std::uint8_t baudCode) { return {kWriteAirBaud, {baudCode, 0x00}}; }
constexpr Request WriteChannelRequest(std::uint8_t channel) { return {kWriteChannel, {channel, 0x00}}; }
// The low 16 bits of the ID, high byte first.
constexpr Request WriteGuestIdRequest(std::int32_t id)
{
    return {kWriteGuestId, {static_cast<std::uint8_t>((id >> 8) & 0xFF), static_cast<std::uint8_t>(id & 0xFF)}};
}
constexpr Request WritePowerRequest(std::uint8_t level) { return {kWritePower, {level, 0x00}}; }

// What an answer's data say: a search answer names the module type in its data byte 2; an ID
// answer gives the ID high byte first.
inline constexpr std::size_t kModuleTypeByte = 2;
constexpr int GuestIdOf(std::uint8_t high, std::uint8_t low) { return high * 256 + low; }

// Baud index of a rate in bit/s; nothing when the rate is not one of kBaudRates.
std::optional<int> BaudIndexOfRate(int baudRate);

// The checksum byte of the bytes given (everything before the checksum).
std::uint8_t FrameChecksum(std::span<const std::uint8_t> bytes);

// The frame for a command code and payload; payload.size() + 11 bytes.
// A payload longer than 255 bytes cannot be described by the length byte: the result is empty.
std::vector<std::uint8_t> BuildFrame(std::uint8_t command, std::span<const std::uint8_t> payload);
// The 13 bytes of a request.
std::vector<std::uint8_t> BuildFrame(const Request& request);

// The request a frame is: exactly 13 bytes, built as BuildFrame builds that code and payload
// (header, length 2, checksum and CR LF all right); nothing for any other bytes.
std::optional<Request> ParseRequest(std::span<const std::uint8_t> frame);

// Hex dump "AF AF 00 ..." for logs and messages.
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace protocol

// Builds the frame and writes it whole with one Write. False, with nothing sent, when the
// port is not open; false when Write fails.
bool SendCommand(protocol::FramePort& port, std::uint8_t command, std::span<const std::uint8_t> payload);
bool SendCommand(protocol::FramePort& port, const protocol::Request& request);

bool SendSearch(protocol::FramePort& port);                              // code 0, 00 00
bool SendRead(protocol::FramePort& port, std::uint8_t command);          // code given, 00 00
bool SendReadChannel(protocol::FramePort& port);                         // code 6, 00 00
bool SendWriteChannel(protocol::FramePort& port, std::uint8_t channel);  // code 5, channel 00
bool SendWriteComParams(protocol::FramePort& port, std::uint8_t baudCode, std::uint8_t parityIndex);  // code 1
bool SendWriteGuestId(protocol::FramePort& port, std::int32_t id);   // code 12, id high, id low
bool SendWritePower(protocol::FramePort& port, std::uint8_t level);  // code 19, level 00
