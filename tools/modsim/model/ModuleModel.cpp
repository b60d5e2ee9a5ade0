#include "model/ModuleModel.h"

#include <algorithm>

#include "protocol/ModuleFrame.h"

namespace modsim {

namespace {
constexpr int kBaudCount = static_cast<int>(protocol::kBaudRates.size());
// What the module puts into the search answer's bytes 0, 1 and 3: a firmware version, read by no one.
constexpr std::uint8_t kFirmwareMajor = 0x01;
constexpr std::uint8_t kFirmwareMinor = 0x05;
}  // namespace

std::string ValidateSettings(const ModuleSettings& s) {
  if (s.moduleType != 2 && s.moduleType != 3) return "module type must be 2 (433 MHz) or 3 (490 MHz)";
  if (s.baudIndex < 0 || s.baudIndex >= kBaudCount) return "serial baud rate is not one of 1200..115200";
  if (s.parity < 0 || s.parity > 2) return "parity must be no, odd or even";
  if (s.airBaudIndex < 0 || s.airBaudIndex >= kBaudCount) return "air baud rate is not one of 1200..115200";
  if (s.channel < 1 || s.channel > 32) return "channel must be 1 to 32";
  if (s.guestId < 0 || s.guestId > 65535) return "ID must be 0 to 65535";
  if (s.power < 1 || s.power > 7) return "power must be 1 to 7";
  return {};
}

ModuleModel::ModuleModel(ModuleSettings s) : settings(s) {}

std::vector<std::vector<std::uint8_t>> ModuleModel::Feed(std::span<const std::uint8_t> bytes) {
  std::vector<std::vector<std::uint8_t>> answers;
  for (std::uint8_t b : bytes) {
    if (!rx.Push(b)) continue;
    std::vector<std::uint8_t> answer = Answer(rx.Frame());
    rx.Reset();
    if (!answer.empty()) answers.push_back(std::move(answer));
  }
  return answers;
}

void ModuleModel::ResetReceiver() { rx.Reset(); }

std::vector<std::uint8_t> ModuleModel::Answer(std::span<const std::uint8_t> request) {
  const bool wellFormed = request.size() == protocol::kRequestLength &&
                          std::equal(protocol::kFrameHeader.begin(), protocol::kFrameHeader.end(), request.begin()) &&
                          request[7] == 2 && request[10] == protocol::FrameChecksum(request.first(10)) &&
                          request[11] == 0x0D && request[12] == 0x0A;
  if (!wellFormed) {
    ++ignored;
    return {};
  }
  const std::uint8_t code = request[6];
  const std::uint8_t p0 = request[8];
  const std::uint8_t p1 = request[9];
  auto answer = [&](std::initializer_list<std::uint8_t> data) {
    ++answered;
    return protocol::BuildFrame(code, std::vector<std::uint8_t>(data));
  };
  auto validBaudCode = [](std::uint8_t c) { return c >= 1 && c <= kBaudCount; };
  switch (code) {
    case protocol::kSearch:
      return answer({kFirmwareMajor, kFirmwareMinor, settings.moduleType, 0x00});
    case protocol::kWriteComParams:
      if (!validBaudCode(p0) || p1 > 2) break;
      settings.baudIndex = p0 - 1;
      settings.parity = p1;
      return answer({p0, p1});
    case protocol::kReadComParams:
      return answer({static_cast<std::uint8_t>(settings.baudIndex + 1), static_cast<std::uint8_t>(settings.parity)});
    case protocol::kWriteAirBaud:
      if (!validBaudCode(p0)) break;
      settings.airBaudIndex = p0 - 1;
      return answer({p0, 0x00});
    case protocol::kReadAirBaud:
      return answer({static_cast<std::uint8_t>(settings.airBaudIndex + 1), 0x00});
    case protocol::kWriteChannel:
      if (p0 < 1 || p0 > 32) break;
      settings.channel = p0;
      return answer({p0, 0x00});
    case protocol::kReadChannel:
      return answer({static_cast<std::uint8_t>(settings.channel), 0x00});
    case protocol::kWriteGuestId:
      settings.guestId = p0 * 256 + p1;
      return answer({p0, p1});
    case protocol::kReadGuestId:
      return answer({static_cast<std::uint8_t>(settings.guestId >> 8), static_cast<std::uint8_t>(settings.guestId & 0xFF)});
    case protocol::kWritePower:
      if (p0 < 1 || p0 > 7) break;
      settings.power = p0;
      return answer({p0});
    default:
      break;
  }
  ++ignored;
  return {};
}

int ModuleModel::LineBaudRate() const { return protocol::kBaudRates[static_cast<std::size_t>(settings.baudIndex)]; }

bool ModuleModel::LineMatches(int baudRate, int parity, bool evenSameAsNone) const {
  if (baudRate != LineBaudRate()) return false;
  if (parity == settings.parity) return true;
  auto noneOrEven = [](int p) { return p == 0 || p == 2; };
  return evenSameAsNone && noneOrEven(parity) && noneOrEven(settings.parity);
}

}  // namespace modsim
