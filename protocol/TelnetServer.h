#pragma once
// The server's side of COM-PORT-OPTION: what a client's command changes on the serial line, and the
// answer the server sends for it. Pure, like the rest of the codec; the socket and the device are
// around it.

#include <cstdint>
#include <optional>
#include <vector>

#include "protocol/TelnetCodec.h"

namespace protocol::telnet {

// The line a server holds for its client: 8 data bits and 1 stop bit always.
struct ServerLine {
    std::uint32_t baudRate = 9600;
    Parity parity = Parity::None;
    bool operator==(const ServerLine&) const = default;
};

struct ServerStep {
    std::vector<std::uint8_t> answer;  // IAC SB 44 <code + 100> <value applied> IAC SE; empty when none is due
    bool lineChanged = false;          // the line must be set up anew
    std::optional<Purge> purge;        // what to flush
};

// Applies one client command (a ComPort event decoded From::Client) to the line. A rate of 0 or a
// parity of 0 asks for the value held; a rate the device cannot take (supported says so), mark or
// space parity, and other data or stop sizes change nothing, and the answer tells the value held.
// Commands for modem lines and flow control are answered with the value asked for and change nothing;
// the signature and unknown codes are not answered.
ServerStep ServeComPort(const Event& command, ServerLine& line, bool (*supported)(std::uint32_t baudRate));

// The server's answer to a client's code: IAC SB 44 <code + 100> <value> IAC SE, the value four bytes
// long for a baud rate and one byte otherwise, 0xFF doubled.
std::vector<std::uint8_t> ServerAnswer(std::uint8_t clientCode, std::uint32_t value);

}  // namespace protocol::telnet
