#include "protocol/TelnetNegotiation.h"

#include <algorithm>
#include <utility>

namespace protocol::telnet {

Negotiation::Negotiation(Role role)
{
    // The client offers COM-PORT-OPTION and the server takes it, never the other way round.
    const bool client = role == Role::Client;
    m_options = {{
        {kOptionBinary, true, true, true, {}, {}},
        {kOptionSuppressGoAhead, true, true, false, {}, {}},
        {kOptionComPort, client, !client, true, {}, {}},
    }};
}

std::vector<std::uint8_t> Negotiation::Start()
{
    std::vector<std::uint8_t> out;
    const auto request = [&out](Side& side, std::uint8_t verb, std::uint8_t option) {
        if (side.enabled || side.pending) return;
        side.pending = true;
        const auto command = OptionCommand(verb, option);
        out.insert(out.end(), command.begin(), command.end());
    };
    for (Option& option : m_options) {
        if (option.localAllowed) request(option.local, kWill, option.code);
        if (option.remoteAllowed) request(option.remote, kDo, option.code);
    }
    return out;
}

std::optional<std::array<std::uint8_t, 3>> Negotiation::Receive(std::uint8_t verb, std::uint8_t option)
{
    if (verb < kWill || verb > kDont) return std::nullopt;
    const bool local = verb == kDo || verb == kDont;
    const bool on = verb == kDo || verb == kWill;
    Option* known = Find(option);
    std::optional<std::uint8_t> answer;
    if (known && known->localAllowed && local)
        answer = Change(*known, known->local, on, kWill, kWont);
    else if (known && known->remoteAllowed && !local)
        answer = Change(*known, known->remote, on, kDo, kDont);
    else if (on)
        answer = local ? kWont : kDont;  // an option we never use is refused; asked to keep it off, we say nothing
    if (!answer) return std::nullopt;
    return OptionCommand(*answer, option);
}

std::optional<std::uint8_t> Negotiation::Change(Option& option, Side& side, bool on, std::uint8_t yes, std::uint8_t no)
{
    const bool wasPending = std::exchange(side.pending, false);
    if (!on && option.needed && (wasPending || side.enabled) && !m_refused) m_refused = option.code;
    if (on == side.enabled) return std::nullopt;
    side.enabled = on;
    // A change we asked for is the server's answer and needs none; one the server asks for is confirmed.
    if (on && wasPending) return std::nullopt;
    return on ? yes : no;
}

Negotiation::State Negotiation::Status() const
{
    if (m_refused) return State::Refused;
    const bool ready = std::all_of(m_options.begin(), m_options.end(), [](const Option& o) {
        return !o.needed || ((!o.localAllowed || o.local.enabled) && (!o.remoteAllowed || o.remote.enabled));
    });
    return ready ? State::Ready : State::Negotiating;
}

bool Negotiation::LocalEnabled(std::uint8_t option) const
{
    const Option* known = Find(option);
    return known && known->local.enabled;
}

bool Negotiation::RemoteEnabled(std::uint8_t option) const
{
    const Option* known = Find(option);
    return known && known->remote.enabled;
}

Negotiation::Option* Negotiation::Find(std::uint8_t option)
{
    return const_cast<Option*>(std::as_const(*this).Find(option));
}

const Negotiation::Option* Negotiation::Find(std::uint8_t option) const
{
    const auto it = std::find_if(m_options.begin(), m_options.end(), [&](const Option& o) { return o.code == option; });
    return it == m_options.end() ? nullptr : &*it;
}

}  // namespace protocol::telnet
