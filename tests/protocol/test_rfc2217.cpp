#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/ModuleFrame.h"
#include "protocol/NetworkPortUrl.h"
#include "protocol/TelnetCodec.h"
#include "protocol/TelnetNegotiation.h"
#include "protocol/TelnetServer.h"

namespace {

using namespace protocol::telnet;
using Kind = Event::Kind;

std::vector<std::uint8_t> Hex(const std::string& text)
{
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < text.size(); i += 3)
        out.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    return out;
}

std::string HexOf(std::span<const std::uint8_t> bytes) { return protocol::HexBytes(bytes); }

Event Option(std::uint8_t verb, std::uint8_t option, std::size_t at = 0)
{
    return {.kind = Kind::Option, .verb = verb, .option = option, .at = at};
}
Event Reply(std::uint8_t code, std::uint32_t value, std::size_t at = 0)
{
    return {.kind = Kind::ComPort, .code = code, .value = value, .at = at};
}
Event Error(DecodeError error, std::size_t at = 0) { return {.error = error, .at = at}; }

TEST(TelnetCodec, Encoder)
{
    const std::vector<std::uint8_t> data = {0x41, 0xFF, 0x00, 0xFF, 0xFF};
    std::vector<std::uint8_t> escaped = {0x01};
    AppendData(escaped, data);
    const auto will = OptionCommand(kWill, kOptionComPort);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* expected;
    } cases[] = {
        {"data: 0xFF doubled, appended", escaped, "01 41 FF FF 00 FF FF FF FF"},
        {"option command", {will.begin(), will.end()}, "FF FB 2C"},
        {"baud rate big-endian", SetBaudRate(38400), "FF FA 2C 01 00 00 96 00 FF F0"},
        {"baud rate with 0xFF bytes", SetBaudRate(0x00FFFF01), "FF FA 2C 01 00 FF FF FF FF 01 FF F0"},
        {"data size", SetDataSize(8), "FF FA 2C 02 08 FF F0"},
        {"parity none", SetParity(Parity::None), "FF FA 2C 03 01 FF F0"},
        {"parity odd", SetParity(Parity::Odd), "FF FA 2C 03 02 FF F0"},
        {"parity even", SetParity(Parity::Even), "FF FA 2C 03 03 FF F0"},
        {"stop size", SetStopSize(StopBits::One), "FF FA 2C 04 01 FF F0"},
        {"purge receive", PurgeData(Purge::Receive), "FF FA 2C 0C 01 FF F0"},
        {"purge both", PurgeData(Purge::Both), "FF FA 2C 0C 03 FF F0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexOf(c.bytes), c.expected) << c.name;
}

struct Decoded {
    std::vector<std::uint8_t> data;
    std::vector<Event> events;
    bool seen = false;
};

Decoded Decode(const std::vector<std::vector<std::uint8_t>>& chunks)
{
    Decoder decoder;
    Decoded out;
    for (const auto& chunk : chunks)
        decoder.Feed(chunk, out.data, out.events);
    out.seen = decoder.SeenNegotiation();
    return out;
}

TEST(TelnetCodec, DecoderSplitAnywhere)
{
    std::string overlong = "FF FA 2C 64";
    for (int i = 0; i < 70; ++i)
        overlong += " 41";
    overlong += " FF F0 42";
    const struct {
        const char* name;
        std::string input;
        const char* data;
        std::vector<Event> events;
        bool seen;
    } cases[] = {
        {"escaped 0xFF is data", "41 FF FF 42 FF FF", "41 FF 42 FF", {}, false},
        {"the server's opening",
         "FF FB 03 FF FD 03 FF FB 01 FF FE 01 FF FD 00 FF FB 00 FF FD 2C",
         "",
         {Option(kWill, 3), Option(kDo, 3), Option(kWill, 1), Option(kDont, 1), Option(kDo, 0), Option(kWill, 0),
          Option(kDo, 44)},
         true},
        {"baud rate answer with escaped 0xFF", "FF FA 2C 65 00 00 FF FF FF FF FF F0", "", {Reply(101, 65535)}, true},
        {"answers between data",
         "41 FF FA 2C 66 08 FF F0 FF FA 2C 67 02 FF F0 42 FF FA 2C 68 01 FF F0 FF FA 2C 70 03 FF F0 43",
         "41 42 43",
         {Reply(102, 8, 1), Reply(103, 2, 1), Reply(104, 1, 2), Reply(112, 3, 2)},
         true},
        {"line and modem state, signature text",
         "FF FA 2C 6A 60 FF F0 FF FA 2C 6B 00 FF F0 FF FA 2C 64 73 32 FF F0",
         "",
         {Reply(106, 0x60), Reply(107, 0), Reply(100, 0)},
         true},
        {"other option's subnegotiation and NOP ignored", "FF FA 18 01 FF F0 FF F1 41", "41", {}, true},
        {"unknown command, then data", "41 FF 01 42", "41 42", {Error(DecodeError::UnknownCommand, 1)}, false},
        {"SE outside a subnegotiation", "FF F0 41", "41", {Error(DecodeError::UnknownCommand)}, false},
        {"empty subnegotiation", "FF FA FF F0", "", {Error(DecodeError::MalformedSubnegotiation)}, false},
        {"client code from the server",
         "FF FA 2C 01 00 00 25 80 FF F0",
         "",
         {Error(DecodeError::MalformedSubnegotiation)},
         false},
        {"baud rate answer too short",
         "FF FA 2C 65 25 FF F0",
         "",
         {Error(DecodeError::MalformedSubnegotiation)},
         false},
        {"command inside a subnegotiation",
         "FF FA 2C 66 FF FB 41",
         "41",
         {Error(DecodeError::MalformedSubnegotiation)},
         false},
        {"overlong subnegotiation skipped to its end",
         overlong,
         "42",
         {Error(DecodeError::OverlongSubnegotiation)},
         false},
        {"not Telnet", "48 54 54 50 2F 31 2E 31", "48 54 54 50 2F 31 2E 31", {}, false},
    };
    for (const auto& c : cases) {
        const auto input = Hex(c.input);
        const Decoded whole = Decode({input});
        EXPECT_EQ(HexOf(whole.data), c.data) << c.name;
        EXPECT_EQ(whole.events, c.events) << c.name;
        EXPECT_EQ(whole.seen, c.seen) << c.name;
        // Cut into two reads at every offset, and into single bytes: the same result.
        for (std::size_t cut = 0; cut <= input.size(); ++cut) {
            const Decoded split = Decode({{input.begin(), input.begin() + cut}, {input.begin() + cut, input.end()}});
            EXPECT_EQ(split.data, whole.data) << c.name << " cut at " << cut;
            EXPECT_EQ(split.events, whole.events) << c.name << " cut at " << cut;
        }
        std::vector<std::vector<std::uint8_t>> bytes;
        for (std::uint8_t b : input)
            bytes.push_back({b});
        EXPECT_EQ(Decode(bytes).events, whole.events) << c.name << " byte by byte";
    }
}

// The server's bytes go through the decoder; every option command gets the negotiation's answer.
TEST(TelnetNegotiation, AnswersWithoutLoops)
{
    using State = Negotiation::State;
    const struct Step {
        const char* server;
        const char* answer;
        State state;
    } opening[] = {
        // What the server sends on connecting, with its answer to our WILL SUPPRESS-GO-AHEAD and a modem state.
        {"FF FB 03 FF FD 03 FF FB 01 FF FE 01 FF FD 00 FF FB 00 FF FD 2C FF FD 03 FF FA 2C 6B 00 FF F0", "FF FE 01",
         State::Ready},
        {"FF FD 03 FF FB 00", "", State::Ready},  // repeated requests change nothing
        {"FF FE 03", "FF FC 03", State::Ready},   // SUPPRESS-GO-AHEAD is not needed
        {"FF FD 18 FF FB 18 FF FB 2C", "FF FC 18 FF FE 18 FF FE 2C", State::Ready},
        {"FF FE 18 FF FC 18", "", State::Ready},
        {"FF FC 00", "FF FE 00", State::Refused},
    };
    const struct {
        const char* name;
        bool start;
        std::vector<Step> steps;
        std::optional<std::uint8_t> refused;
    } cases[] = {
        {"server asks first, we answered it with our own requests", true, {std::begin(opening), std::end(opening)}, 0},
        {"server that only answers",
         true,
         {{"FF FD 00 FF FB 00", "", State::Negotiating}, {"FF FD 2C", "", State::Ready}},
         std::nullopt},
        {"server asks, no requests of ours",
         false,
         {{"FF FD 00 FF FB 00", "FF FB 00 FF FD 00", State::Negotiating},
          {"FF FD 2C FF FD 2C", "FF FB 2C", State::Ready}},
         std::nullopt},
        {"COM-PORT-OPTION refused", true, {{"FF FD 00 FF FB 00 FF FE 2C", "", State::Refused}}, 44},
        {"BINARY turned off later",
         true,
         {{"FF FD 00 FF FB 00 FF FD 2C", "", State::Ready}, {"FF FE 00", "FF FC 00", State::Refused}},
         0},
    };
    for (const auto& c : cases) {
        Negotiation negotiation;
        if (c.start) {
            EXPECT_EQ(HexOf(negotiation.Start()), "FF FB 00 FF FD 00 FF FB 03 FF FD 03 FF FB 2C") << c.name;
            EXPECT_TRUE(negotiation.Start().empty()) << c.name;
        }
        Decoder decoder;
        for (const auto& step : c.steps) {
            std::vector<std::uint8_t> data;
            std::vector<Event> events;
            decoder.Feed(Hex(step.server), data, events);
            std::vector<std::uint8_t> answers;
            for (const Event& e : events) {
                if (e.kind != Kind::Option) continue;
                if (const auto answer = negotiation.Receive(e.verb, e.option))
                    answers.insert(answers.end(), answer->begin(), answer->end());
            }
            EXPECT_EQ(HexOf(answers), step.answer) << c.name << ": " << step.server;
            EXPECT_EQ(negotiation.Status(), step.state) << c.name << ": " << step.server;
        }
        EXPECT_EQ(negotiation.RefusedOption(), c.refused) << c.name;
    }
}

// A client's commands as the server decodes them, what they do to the line and what it answers.
TEST(TelnetServer, ServesTheClientsCommands)
{
    const auto rates = [](std::uint32_t rate) { return rate == 9600 || rate == 38400; };
    const struct {
        const char* name;
        std::string client;
        ServerLine line;
        const char* answers;
        bool changed;
    } cases[] = {
        {"rate and parity set, sizes kept",
         "FF FA 2C 01 00 00 96 00 FF F0 FF FA 2C 02 08 FF F0 FF FA 2C 03 02 FF F0 FF FA 2C 04 01 FF F0",
         {38400, Parity::Odd},
         "FF FA 2C 65 00 00 96 00 FF F0 FF FA 2C 66 08 FF F0 FF FA 2C 67 02 FF F0 FF FA 2C 68 01 FF F0",
         true},
        {"queries answer what is held",
         "FF FA 2C 01 00 00 00 00 FF F0 FF FA 2C 03 00 FF F0",
         {},
         "FF FA 2C 65 00 00 25 80 FF F0 FF FA 2C 67 01 FF F0",
         false},
        {"unsupported rate, mark parity and 7 bits refused",
         "FF FA 2C 01 00 00 4B 00 FF F0 FF FA 2C 03 04 FF F0 FF FA 2C 02 07 FF F0",
         {},
         "FF FA 2C 65 00 00 25 80 FF F0 FF FA 2C 67 01 FF F0 FF FA 2C 66 08 FF F0",
         false},
        {"purge, modem lines, flow control, signature",
         "FF FA 2C 0C 03 FF F0 FF FA 2C 05 08 FF F0 FF FA 2C 08 FF F0 FF FA 2C 00 41 FF F0",
         {},
         "FF FA 2C 70 03 FF F0 FF FA 2C 69 08 FF F0 FF FA 2C 6C FF F0",
         false},
        {"a server's answer from the client is malformed", "FF FA 2C 65 00 00 25 80 FF F0", {}, "", false},
    };
    for (const auto& c : cases) {
        Decoder decoder(Decoder::From::Client);
        std::vector<std::uint8_t> data;
        std::vector<Event> events;
        decoder.Feed(Hex(c.client), data, events);
        ServerLine line;
        std::vector<std::uint8_t> answers;
        bool changed = false;
        for (const Event& e : events) {
            const ServerStep step = ServeComPort(e, line, rates);
            answers.insert(answers.end(), step.answer.begin(), step.answer.end());
            changed = changed || step.lineChanged;
        }
        EXPECT_EQ(line, c.line) << c.name;
        EXPECT_EQ(HexOf(answers), c.answers) << c.name;
        EXPECT_EQ(changed, c.changed) << c.name;
    }
    // Client and server negotiations agree with each other, with nothing left to answer.
    Negotiation client;
    Negotiation server(Negotiation::Role::Server);
    std::vector<std::uint8_t> toServer = client.Start();
    std::vector<std::uint8_t> toClient = server.Start();
    EXPECT_EQ(HexOf(toClient), "FF FB 00 FF FD 00 FF FB 03 FF FD 03 FF FD 2C");
    for (int round = 0; round < 4 && (!toServer.empty() || !toClient.empty()); ++round) {
        const auto pass = [](Negotiation& to, const std::vector<std::uint8_t>& bytes) {
            Decoder decoder;
            std::vector<std::uint8_t> data;
            std::vector<Event> events;
            decoder.Feed(bytes, data, events);
            std::vector<std::uint8_t> answers;
            for (const Event& e : events)
                if (const auto answer = to.Receive(e.verb, e.option))
                    answers.insert(answers.end(), answer->begin(), answer->end());
            return answers;
        };
        const auto fromServer = pass(server, toServer);
        toServer = pass(client, toClient);
        toClient = fromServer;
    }
    EXPECT_TRUE(toServer.empty() && toClient.empty());
    EXPECT_EQ(client.Status(), Negotiation::State::Ready);
    EXPECT_EQ(server.Status(), Negotiation::State::Ready);
}

TEST(NetworkPortUrl, Forms)
{
    using protocol::NetworkPortUrl;
    const struct {
        const char* text;
        std::optional<NetworkPortUrl> url;
    } cases[] = {
        {"rfc2217://127.0.0.1:3333", NetworkPortUrl{"127.0.0.1", 3333}},
        {"RFC2217://gateway-7.example:65535/", NetworkPortUrl{"gateway-7.example", 65535}},
        {"rfc2217://[::1]:1", NetworkPortUrl{"::1", 1}},
        {"rfc2217://[fe80::1%eth0]:3333", NetworkPortUrl{"fe80::1%eth0", 3333}},
        {"rfc2217://host", std::nullopt},
        {"rfc2217://host:", std::nullopt},
        {"rfc2217://host:0", std::nullopt},
        {"rfc2217://host:65536", std::nullopt},
        {"rfc2217://:3333", std::nullopt},
        {"rfc2217://::1:3333", std::nullopt},
        {"rfc2217://[::1:3333", std::nullopt},
        {"rfc2217://[gw]:3333", std::nullopt},
        {"rfc2217://h st:3333", std::nullopt},
        {"rfc2217://host:3333/path", std::nullopt},
        {"telnet://host:3333", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(protocol::ParseNetworkPortUrl(c.text), c.url) << c.text;
    EXPECT_TRUE(protocol::LooksLikeNetworkPortUrl("Rfc2217://x"));
    EXPECT_FALSE(protocol::LooksLikeNetworkPortUrl("/dev/ttyUSB0"));
}

}  // namespace
