#pragma once
// Telnet with the COM-PORT-OPTION, as a serial port server speaks it over TCP. Pure: bytes in, bytes
// and events out; the socket and the timers are around it.
//
// Data bytes travel with 0xFF (IAC) doubled. IAC WILL/WONT/DO/DONT <option> negotiates an option;
// IAC SB <option> ... IAC SE carries a subnegotiation, again with 0xFF doubled inside. The client's
// COM-PORT-OPTION commands are IAC SB 44 <code> <value> IAC SE; the server acknowledges each with
// code + 100 and the value it applied.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace protocol::telnet {

inline constexpr std::uint8_t kSe = 240;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kIac = 255;

inline constexpr std::uint8_t kOptionBinary = 0;
inline constexpr std::uint8_t kOptionSuppressGoAhead = 3;
inline constexpr std::uint8_t kOptionComPort = 44;

// The client's COM-PORT-OPTION codes; the server answers with the same code plus kServerCode.
inline constexpr std::uint8_t kSignature = 0;
inline constexpr std::uint8_t kSetBaudRate = 1;
inline constexpr std::uint8_t kSetDataSize = 2;
inline constexpr std::uint8_t kSetParity = 3;
inline constexpr std::uint8_t kSetStopSize = 4;
inline constexpr std::uint8_t kSetControl = 5;
inline constexpr std::uint8_t kNotifyLineState = 6;
inline constexpr std::uint8_t kNotifyModemState = 7;
inline constexpr std::uint8_t kPurgeData = 12;
inline constexpr std::uint8_t kServerCode = 100;

enum class Parity : std::uint8_t { None = 1, Odd = 2, Even = 3 };
enum class StopBits : std::uint8_t { One = 1, Two = 2 };
enum class Purge : std::uint8_t { Receive = 1, Transmit = 2, Both = 3 };

// Appends the data bytes with every 0xFF doubled.
void AppendData(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> data);

constexpr std::array<std::uint8_t, 3> OptionCommand(std::uint8_t verb, std::uint8_t option)
{
    return {kIac, verb, option};
}

// IAC SB 44 <code> <value> IAC SE, 0xFF in the value doubled.
std::vector<std::uint8_t> ComPortCommand(std::uint8_t code, std::span<const std::uint8_t> value);
// A rate of 0 asks the server for its current rate instead of setting one.
std::vector<std::uint8_t> SetBaudRate(std::uint32_t bitsPerSecond);
std::vector<std::uint8_t> SetDataSize(std::uint8_t bits);
std::vector<std::uint8_t> SetParity(Parity parity);
std::vector<std::uint8_t> SetStopSize(StopBits stopBits);
std::vector<std::uint8_t> PurgeData(Purge what);

enum class DecodeError : std::uint8_t {
    UnknownCommand,           // IAC followed by a byte that is no Telnet command, or SE outside a subnegotiation
    MalformedSubnegotiation,  // empty, interrupted by another command, or a COM-PORT-OPTION code or length
                              // the server never sends
    OverlongSubnegotiation,   // longer than Decoder::kMaxSubnegotiation; the rest up to IAC SE is skipped
};

struct Event {
    enum class Kind : std::uint8_t { Option, ComPort, Error };
    Kind kind = Kind::Error;
    std::uint8_t verb = 0;    // Option: kWill, kWont, kDo or kDont
    std::uint8_t option = 0;  // Option: the option it names
    std::uint8_t code = 0;    // ComPort: the code as sent (a server's answer is kServerCode + the client's code)
    std::uint32_t value = 0;  // ComPort: the rate for a baud-rate code, else the one value byte (0 if none)
    DecodeError error = DecodeError::UnknownCommand;  // Error
    std::size_t at = 0;  // where in the data output the event fell: the data size when it was decoded

    bool operator==(const Event&) const = default;
};

// Splits the peer's stream into data and events. Chunks may be cut anywhere, also inside IAC IAC
// or a subnegotiation. A subnegotiation is held in a fixed buffer, so memory stays bounded whatever
// the peer sends. Subnegotiations of other options than COM-PORT-OPTION are dropped.
class Decoder {
public:
    static constexpr std::size_t kMaxSubnegotiation = 64;  // option byte, code and value

    // Whose stream is decoded: the server's (COM-PORT-OPTION codes are answers, kServerCode and up)
    // or the client's (its commands, below kServerCode; ComPort events then carry the client's code).
    enum class From : std::uint8_t { Server, Client };
    explicit Decoder(From from = From::Server)
        : m_from(from)
    { }

    // Appends the chunk's data bytes, unescaped, to `data` and its events to `events`.
    void Feed(std::span<const std::uint8_t> chunk, std::vector<std::uint8_t>& data, std::vector<Event>& events);

    // True once a well-formed option command or subnegotiation has arrived: a peer that sends data but
    // none of these is not speaking Telnet.
    bool SeenNegotiation() const { return m_seenNegotiation; }

private:
    enum class State : std::uint8_t { Data, Iac, Verb, Sub, SubIac, Skip, SkipIac };

    void Step(std::uint8_t b, std::vector<std::uint8_t>& data, std::vector<Event>& events);
    void OnCommand(std::uint8_t b, std::size_t at, std::vector<Event>& events);
    void OnSubnegotiationByte(std::uint8_t b, std::size_t at, std::vector<Event>& events);
    void OnSubnegotiationEnd(std::size_t at, std::vector<Event>& events);

    From m_from;
    State m_state = State::Data;
    std::uint8_t m_verb = 0;
    std::array<std::uint8_t, kMaxSubnegotiation> m_sub{};
    std::size_t m_subLength = 0;
    bool m_seenNegotiation = false;
};

}  // namespace protocol::telnet
