#pragma once
// Where things sit in a module frame, for requests and answers alike:
// AF AF 00 00 AF 80, command code, payload length n, n payload bytes, checksum, 0D 0A.
// A receiver relies only on the start byte, the code at 6, the data from 8 and the CR LF end.

#include <array>
#include <cstddef>
#include <cstdint>

namespace protocol {

inline constexpr std::array<std::uint8_t, 6> kFrameHeader{0xAF, 0xAF, 0x00, 0x00, 0xAF, 0x80};
inline constexpr std::uint8_t kStartByte = 0xAF;  // header byte 0: a receiver starts a frame here
inline constexpr std::size_t kCodeOffset = 6;
inline constexpr std::size_t kLengthOffset = 7;
inline constexpr std::size_t kDataOffset = 8;
inline constexpr std::uint8_t kCR = 0x0D;  // a frame ends with CR LF
inline constexpr std::uint8_t kLF = 0x0A;

inline constexpr std::size_t kFrameOverhead = 11;  // header, code, length, checksum, CR LF
inline constexpr std::size_t kMaxPayload = 255;
inline constexpr std::size_t kRequestPayload = 2;  // every request carries two payload bytes
inline constexpr std::size_t kRequestLength = kRequestPayload + kFrameOverhead;
// The most data an answer brings (a search answer's four bytes); a receiver keeps this many.
inline constexpr std::size_t kAnswerData = 4;
using AnswerData = std::array<std::uint8_t, kAnswerData>;

}  // namespace protocol
