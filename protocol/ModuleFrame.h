#pragma once
// Module frame codec and the command set of the radio module.
//
// A frame: AF AF 00 00 AF 80, command code, payload length n, n payload bytes,
// checksum, 0D 0A. The checksum is the 8-bit sum of every byte before it,
// reduced modulo 255 (a sum byte of 0xFF goes out as 0x00).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CXSerial;

namespace protocol {

inline constexpr std::array<std::uint8_t, 6> kFrameHeader{0xAF, 0xAF, 0x00, 0x00, 0xAF, 0x80};
inline constexpr std::size_t kFrameOverhead = 11;      // header, code, length, checksum, CR LF
inline constexpr std::size_t kMaxPayload = 255;
inline constexpr std::size_t kRequestLength = 13;      // every request carries two payload bytes

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

// Baud index 0..7 and the rates they stand for; frames carry the baud code (index + 1).
inline constexpr std::array<int, 8> kBaudRates{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
// Parity index 0..2 and the names the windows show for it.
inline constexpr std::array<const char*, 3> kParityNames{"No", "ODD", "Even"};

// Baud index of a rate in bit/s, -1 when the rate is not one of kBaudRates.
int BaudIndexOfRate(int baudRate);

// The checksum byte of the bytes given (everything before the checksum).
std::uint8_t FrameChecksum(std::span<const std::uint8_t> bytes);

// The frame for a command code and payload; payload.size() + 11 bytes.
// A payload longer than 255 bytes cannot be described by the length byte: the result is empty.
std::vector<std::uint8_t> BuildFrame(std::uint8_t command, std::span<const std::uint8_t> payload);

// Hex dump "AF AF 00 ..." for logs and messages.
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace protocol

// Builds the frame and writes it whole with one Write. False, with nothing sent, when the
// port is not open; false when Write fails.
bool SendCommand(CXSerial& serial, std::uint8_t command, std::span<const std::uint8_t> payload);

bool SendSearch(CXSerial& serial);                                   // code 0, 00 00
bool SendRead(CXSerial& serial, std::uint8_t command);                // code given, 00 00
bool SendReadChannel(CXSerial& serial);                               // code 6, 00 00
bool SendWriteChannel(CXSerial& serial, std::uint8_t channel);        // code 5, channel 00
bool SendWriteComParams(CXSerial& serial, std::uint8_t baudCode, std::uint8_t parityIndex);  // code 1
bool SendWriteGuestId(CXSerial& serial, std::int32_t id);             // code 12, id high, id low
bool SendWritePower(CXSerial& serial, std::uint8_t level);            // code 19, level 00
