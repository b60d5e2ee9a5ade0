#pragma once
// What a hostile line sends. Header only: only the tests that link the protocol include it.

#include <cstdint>
#include <random>
#include <vector>

#include "protocol/ModuleFrame.h"

namespace testcommon {

struct FloodCase {
    const char* name;
    std::vector<std::uint8_t> block;  // sent over and over
    bool framesArrive;                // whether the assembler finds frames in it
};

inline std::vector<std::uint8_t> Repeated(const std::vector<std::uint8_t>& unit, std::size_t atLeast = 4096)
{
    std::vector<std::uint8_t> out;
    while (out.size() < atLeast)
        out.insert(out.end(), unit.begin(), unit.end());
    return out;
}

inline std::vector<std::uint8_t> Answer(std::uint8_t code, std::vector<std::uint8_t> data)
{
    return protocol::BuildFrame(code, data);
}

inline std::vector<std::uint8_t> SearchAnswers() { return Repeated(Answer(protocol::kSearch, {1, 2, 2, 4})); }

inline std::vector<std::uint8_t> MinimalFrames() { return Repeated({0xAF, 0x0D, 0x0A}); }

inline std::vector<FloodCase> FloodCases()
{
    std::vector<std::uint8_t> everyCode;
    for (std::uint8_t code : {0, 1, 2, 3, 4, 5, 6, 12, 13, 19, 7, 255}) {
        const auto frame = code == protocol::kSearch ? Answer(code, {0, 0, 2, 0}) : Answer(code, {code, 1});
        everyCode.insert(everyCode.end(), frame.begin(), frame.end());
    }
    std::mt19937 random(10);
    std::vector<std::uint8_t> noise(64 * 1024);
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(random());
    // A channel answer whose data hold CR LF: it ends early, its tail is noise.
    const auto lineEnds = Answer(protocol::kReadChannel, {0x0D, 0x0A});
    return {
        {"minimal frames", MinimalFrames(), true},        {"answers of every code", Repeated(everyCode), true},
        {"search answers", SearchAnswers(), true},        {"random bytes", noise, false},
        {"endless start bytes", Repeated({0xAF}), false}, {"CR LF inside data", Repeated(lineEnds), true},
    };
}

}  // namespace testcommon
