#include "model/ModuleModel.h"

#include <algorithm>

#include "protocol/ModuleFrame.h"

namespace modsim {

namespace {
// What the module puts into the search answer's bytes 0, 1 and 3: a firmware version, read by no one.
constexpr std::uint8_t kFirmwareMajor = 0x01;
constexpr std::uint8_t kFirmwareMinor = 0x05;
}  // namespace

std::string ValidateSettings(const ModuleSettings& s)
{
    if (!protocol::IsModuleType(s.moduleType)) return "module type must be 2 (433 MHz) or 3 (490 MHz)";
    if (!protocol::IsBaudCode(s.baudIndex + 1)) return "serial baud rate is not one of 1200..115200";
    if (!protocol::IsParity(s.parity)) return "parity must be no, odd or even";
    if (!protocol::IsBaudCode(s.airBaudIndex + 1)) return "air baud rate is not one of 1200..115200";
    if (!protocol::IsChannel(s.channel)) return "channel must be 1 to 32";
    if (!protocol::IsGuestId(s.guestId)) return "ID must be 0 to 65535";
    if (!protocol::IsPower(s.power)) return "power must be 1 to 7";
    return {};
}

ModuleModel::ModuleModel(ModuleSettings s)
    : m_settings(s)
{ }

std::vector<std::vector<std::uint8_t>> ModuleModel::Feed(std::span<const std::uint8_t> bytes)
{
    std::vector<std::vector<std::uint8_t>> answers;
    for (std::uint8_t b : bytes) {
        if (!m_rx.Push(b)) continue;
        std::vector<std::uint8_t> answer = Answer(m_rx.Frame());
        m_rx.Reset();
        if (!answer.empty()) answers.push_back(std::move(answer));
    }
    return answers;
}

void ModuleModel::ResetReceiver() { m_rx.Reset(); }

std::vector<std::uint8_t> ModuleModel::Answer(std::span<const std::uint8_t> request)
{
    const std::optional<protocol::Request> asked = protocol::ParseRequest(request);
    if (!asked) {
        ++m_ignored;
        return {};
    }
    const std::uint8_t code = asked->code;
    const std::uint8_t p0 = asked->payload[0];
    const std::uint8_t p1 = asked->payload[1];
    auto answer = [&](std::initializer_list<std::uint8_t> data) {
        ++m_answered;
        return protocol::BuildFrame(code, std::vector<std::uint8_t>(data));
    };
    switch (code) {
    case protocol::kSearch: return answer({kFirmwareMajor, kFirmwareMinor, m_settings.moduleType, 0x00});
    case protocol::kWriteComParams:
        if (!protocol::IsBaudCode(p0) || !protocol::IsParity(p1)) break;
        m_settings.baudIndex = p0 - 1;
        m_settings.parity = p1;
        return answer({p0, p1});
    case protocol::kReadComParams:
        return answer(
            {static_cast<std::uint8_t>(m_settings.baudIndex + 1), static_cast<std::uint8_t>(m_settings.parity)});
    case protocol::kWriteAirBaud:
        if (!protocol::IsBaudCode(p0)) break;
        m_settings.airBaudIndex = p0 - 1;
        return answer({p0, 0x00});
    case protocol::kReadAirBaud: return answer({static_cast<std::uint8_t>(m_settings.airBaudIndex + 1), 0x00});
    case protocol::kWriteChannel:
        if (!protocol::IsChannel(p0)) break;
        m_settings.channel = p0;
        return answer({p0, 0x00});
    case protocol::kReadChannel: return answer({static_cast<std::uint8_t>(m_settings.channel), 0x00});
    case protocol::kWriteGuestId: m_settings.guestId = protocol::GuestIdOf(p0, p1); return answer({p0, p1});
    case protocol::kReadGuestId:
        return answer(
            {static_cast<std::uint8_t>(m_settings.guestId >> 8), static_cast<std::uint8_t>(m_settings.guestId & 0xFF)});
    case protocol::kWritePower:
        if (!protocol::IsPower(p0)) break;
        m_settings.power = p0;
        return answer({p0});
    default: break;
    }
    ++m_ignored;
    return {};
}

int ModuleModel::LineBaudRate() const { return *protocol::BaudRateOfCode(m_settings.baudIndex + 1); }

bool ModuleModel::LineMatches(int baudRate, int parity, bool evenSameAsNone) const
{
    if (baudRate != LineBaudRate()) return false;
    if (parity == m_settings.parity) return true;
    auto noneOrEven = [](int p) { return p == 0 || p == 2; };
    return evenSameAsNone && noneOrEven(parity) && noneOrEven(m_settings.parity);
}

}  // namespace modsim
