#include "protocol/TelnetServer.h"

#include <array>

namespace protocol::telnet {

std::vector<std::uint8_t> ServerAnswer(std::uint8_t clientCode, std::uint32_t value)
{
    const auto code = static_cast<std::uint8_t>(clientCode + kServerCode);
    if (clientCode == kSetBaudRate) {
        const std::array<std::uint8_t, 4> bytes
            = {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
               static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
        return ComPortCommand(code, bytes);
    }
    // Flow control suspend and resume carry nothing.
    if (clientCode == 8 || clientCode == 9) return ComPortCommand(code, {});
    const std::array<std::uint8_t, 1> byte = {static_cast<std::uint8_t>(value)};
    return ComPortCommand(code, byte);
}

ServerStep ServeComPort(const Event& command, ServerLine& line, bool (*supported)(std::uint32_t baudRate))
{
    ServerStep step;
    if (command.kind != Event::Kind::ComPort) return step;
    const ServerLine before = line;
    switch (command.code) {
    case kSetBaudRate:
        if (command.value != 0 && supported(command.value)) line.baudRate = command.value;
        step.answer = ServerAnswer(kSetBaudRate, line.baudRate);
        break;
    case kSetDataSize: step.answer = ServerAnswer(kSetDataSize, 8); break;
    case kSetParity:
        if (command.value >= 1 && command.value <= 3) line.parity = static_cast<Parity>(command.value);
        step.answer = ServerAnswer(kSetParity, static_cast<std::uint32_t>(line.parity));
        break;
    case kSetStopSize: step.answer = ServerAnswer(kSetStopSize, 1); break;
    case kPurgeData:
        if (command.value >= 1 && command.value <= 3) step.purge = static_cast<Purge>(command.value);
        step.answer = ServerAnswer(kPurgeData, command.value);
        break;
    case kSignature: break;
    default:
        if (command.code <= kPurgeData) step.answer = ServerAnswer(command.code, command.value);
        break;
    }
    step.lineChanged = line != before;
    return step;
}

}  // namespace protocol::telnet
