// Fuzzes the Telnet decoder: the same result however the stream is cut into reads, escaped data
// coming back unchanged, negotiation answers that never invite an endless exchange, and the
// server's answers to a client's commands.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "protocol/TelnetCodec.h"
#include "protocol/TelnetNegotiation.h"
#include "protocol/TelnetServer.h"

namespace {

using namespace protocol::telnet;

void Check(bool condition)
{
    if (!condition) std::abort();
}

struct Decoded {
    std::vector<std::uint8_t> data;
    std::vector<Event> events;
    bool seen = false;
};

// Reads of 1 to 16 bytes, their lengths drawn from a generator seeded by the input.
Decoded DecodeInChunks(std::span<const std::uint8_t> input, std::uint32_t seed)
{
    Decoder decoder;
    Decoded out;
    std::size_t at = 0;
    while (at < input.size()) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t n = std::min<std::size_t>(input.size() - at, 1 + (seed >> 16) % 16);
        decoder.Feed(input.subspan(at, n), out.data, out.events);
        at += n;
    }
    out.seen = decoder.SeenNegotiation();
    return out;
}

void CheckNegotiation(const std::vector<Event>& events)
{
    Negotiation negotiation;
    negotiation.Start();
    for (const Event& e : events) {
        if (e.kind != Event::Kind::Option) continue;
        const auto answer = negotiation.Receive(e.verb, e.option);
        const auto again = negotiation.Receive(e.verb, e.option);
        if (answer) Check((*answer)[0] == kIac && (*answer)[2] == e.option);
        // Only the refusal of an option we never use is repeated; nothing else is answered twice.
        const bool refusal
            = answer && ((e.verb == kDo && (*answer)[1] == kWont) || (e.verb == kWill && (*answer)[1] == kDont));
        Check(!again || (refusal && again == answer));
        if (negotiation.Status() == Negotiation::State::Ready)
            Check(negotiation.LocalEnabled(kOptionBinary) && negotiation.RemoteEnabled(kOptionBinary)
                  && negotiation.LocalEnabled(kOptionComPort));
    }
}

// The server's side: the input as a client's stream; every command answered gets an answer the
// client decodes as exactly that one, and the line never takes a rate the device refused.
void CheckServer(std::span<const std::uint8_t> input)
{
    Decoder fromClient(Decoder::From::Client);
    std::vector<std::uint8_t> data;
    std::vector<Event> events;
    fromClient.Feed(input, data, events);
    ServerLine line;
    for (const Event& e : events) {
        const ServerStep step = ServeComPort(e, line, [](std::uint32_t rate) { return rate <= 115200; });
        Check(line.baudRate <= 115200);
        if (step.answer.empty()) continue;
        Decoder client;
        std::vector<std::uint8_t> answerData;
        std::vector<Event> answers;
        client.Feed(step.answer, answerData, answers);
        Check(answerData.empty() && answers.size() == 1 && answers[0].kind == Event::Kind::ComPort
              && answers[0].code == e.code + kServerCode);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::span<const std::uint8_t> input(bytes, size);
    Decoded whole;
    Decoder decoder;
    decoder.Feed(input, whole.data, whole.events);
    whole.seen = decoder.SeenNegotiation();
    Check(whole.data.size() <= size && whole.events.size() <= size);

    const Decoded split = DecodeInChunks(input, static_cast<std::uint32_t>(size));
    Check(split.data == whole.data && split.events == whole.events && split.seen == whole.seen);

    // Escaped data decodes to itself with no event.
    std::vector<std::uint8_t> escaped;
    AppendData(escaped, input);
    const Decoded plain = DecodeInChunks(escaped, static_cast<std::uint32_t>(size) + 1);
    Check(plain.data.size() == size && std::equal(plain.data.begin(), plain.data.end(), input.begin()));
    Check(plain.events.empty() && !plain.seen);

    // A baud-rate answer of the input's first four bytes, escaped, decodes to their value.
    if (size >= 4) {
        const auto answer = ComPortCommand(kServerCode + kSetBaudRate, input.first(4));
        const Decoded reply = DecodeInChunks(answer, static_cast<std::uint32_t>(size) + 2);
        const std::uint32_t rate = (std::uint32_t{input[0]} << 24) | (input[1] << 16) | (input[2] << 8) | input[3];
        Check(reply.events.size() == 1 && reply.events[0].kind == Event::Kind::ComPort && reply.events[0].value == rate
              && reply.data.empty());
    }

    CheckNegotiation(whole.events);
    CheckServer(input);
    return 0;
}
