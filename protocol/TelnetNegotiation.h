#pragma once
// One side of the option negotiation between a serial port client and server: BINARY both ways and
// COM-PORT-OPTION on the client's side are needed before the link carries the module's bytes;
// SUPPRESS-GO-AHEAD is accepted both ways because servers ask for it; every other option is refused.
//
// Each option side is on or off, with a flag for a request of ours still unanswered. A command that
// answers our request, or asks for the state the side is already in, gets no answer, so two peers
// can never keep answering each other.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "protocol/TelnetCodec.h"

namespace protocol::telnet {

class Negotiation {
public:
    enum class State : std::uint8_t { Negotiating, Ready, Refused };
    enum class Role : std::uint8_t { Client, Server };

    explicit Negotiation(Role role = Role::Client);

    // Our opening requests (WILL and DO BINARY, WILL and DO SUPPRESS-GO-AHEAD, and the client's WILL
    // or the server's DO COM-PORT-OPTION), sent once on connecting; the peer's answers to them are
    // then not answered again.
    std::vector<std::uint8_t> Start();

    // The answer to one option command of the peer, if any is due.
    std::optional<std::array<std::uint8_t, 3>> Receive(std::uint8_t verb, std::uint8_t option);

    // Ready once every needed option is on; Refused for good once the peer has refused or turned
    // off one of them (RefusedOption() says which).
    State Status() const;
    std::optional<std::uint8_t> RefusedOption() const { return m_refused; }

    // Whether we send the option (our WILL accepted) and whether the peer does (its WILL accepted).
    bool LocalEnabled(std::uint8_t option) const;
    bool RemoteEnabled(std::uint8_t option) const;

private:
    struct Side {
        bool enabled = false;
        bool pending = false;  // we asked to turn it on and await the answer
    };
    struct Option {
        std::uint8_t code;
        bool localAllowed;   // we may send it
        bool remoteAllowed;  // the peer may send it
        bool needed;
        Side local;
        Side remote;
    };

    Option* Find(std::uint8_t option);
    const Option* Find(std::uint8_t option) const;
    std::optional<std::uint8_t> Change(Option& option, Side& side, bool on, std::uint8_t yes, std::uint8_t no);

    std::array<Option, 3> m_options;
    std::optional<std::uint8_t> m_refused;
};

}  // namespace protocol::telnet
