#include "protocol/ModuleFrame.h"

#include <array>

#include "serial/CXSerial.h"

namespace protocol {

int BaudIndexOfRate(int baudRate) {
  for (std::size_t i = 0; i < kBaudRates.size(); ++i) {
    if (kBaudRates[i] == baudRate) return static_cast<int>(i);
  }
  return -1;
}

std::uint8_t FrameChecksum(std::span<const std::uint8_t> bytes) {
  std::uint8_t sum = 0;
  for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
  return static_cast<std::uint8_t>(sum % 255);
}

std::vector<std::uint8_t> BuildFrame(std::uint8_t command, std::span<const std::uint8_t> payload) {
  if (payload.size() > kMaxPayload) return {};
  std::vector<std::uint8_t> frame;
  frame.reserve(payload.size() + kFrameOverhead);
  frame.insert(frame.end(), kFrameHeader.begin(), kFrameHeader.end());
  frame.push_back(command);
  frame.push_back(static_cast<std::uint8_t>(payload.size()));
  frame.insert(frame.end(), payload.begin(), payload.end());
  frame.push_back(FrameChecksum(frame));
  frame.push_back(0x0D);
  frame.push_back(0x0A);
  return frame;
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
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

bool SendCommand(CXSerial& serial, std::uint8_t command, std::span<const std::uint8_t> payload) {
  if (!serial.IsOpen()) return false;
  const std::vector<std::uint8_t> frame = protocol::BuildFrame(command, payload);
  if (frame.empty()) return false;
  return serial.Write(frame.data(), static_cast<unsigned>(frame.size())) != 0;
}

namespace {
bool SendTwo(CXSerial& serial, std::uint8_t command, std::uint8_t b0, std::uint8_t b1) {
  const std::array<std::uint8_t, 2> payload{b0, b1};
  return SendCommand(serial, command, payload);
}
}  // namespace

bool SendSearch(CXSerial& serial) { return SendTwo(serial, protocol::kSearch, 0, 0); }

bool SendRead(CXSerial& serial, std::uint8_t command) { return SendTwo(serial, command, 0, 0); }

bool SendReadChannel(CXSerial& serial) { return SendRead(serial, protocol::kReadChannel); }

bool SendWriteChannel(CXSerial& serial, std::uint8_t channel) {
  return SendTwo(serial, protocol::kWriteChannel, channel, 0);
}

bool SendWriteComParams(CXSerial& serial, std::uint8_t baudCode, std::uint8_t parityIndex) {
  return SendTwo(serial, protocol::kWriteComParams, baudCode, parityIndex);
}

bool SendWriteGuestId(CXSerial& serial, std::int32_t id) {
  return SendTwo(serial, protocol::kWriteGuestId, static_cast<std::uint8_t>((id >> 8) & 0xFF),
                 static_cast<std::uint8_t>(id & 0xFF));
}

bool SendWritePower(CXSerial& serial, std::uint8_t level) {
  return SendTwo(serial, protocol::kWritePower, level, 0);
}
