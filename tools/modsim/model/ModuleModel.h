#pragma once
// A model of the radio module: request bytes in, answer frames out, with its stored settings.
// No thread, device or clock inside; the pty transport (PtyModule) puts it on a line.
//
// It answers every well-formed request (checksum, length 2, a known code, values in range) with an
// answer of the same code: search four data bytes (byte 2 the module type), power one, others two.
// Malformed requests, unknown codes and out-of-range values get no answer.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "protocol/FrameAssembler.h"
#include "protocol/ModuleValues.h"

namespace modsim {

struct ModuleSettings {
    std::uint8_t moduleType = protocol::kModuleType433;
    int baudIndex = 3;                    // module's own serial baud rate, index into protocol::kBaudRates (9600)
    int parity = 0;                       // 0 none, 1 odd, 2 even
    int airBaudIndex = 3;                 // air data rate (9600)
    int channel = 1;                      // 1..32
    int guestId = 0;                      // 0..65535
    int power = protocol::kHighestPower;  // 1..7

    bool operator==(const ModuleSettings&) const = default;
};

// Checks every field's range; the text names the first bad field, empty when all are good.
std::string ValidateSettings(const ModuleSettings& s);

class ModuleModel {
public:
    explicit ModuleModel(ModuleSettings settings = {});

    // Feeds received bytes; returns the answer frames they complete, in order. A write of the serial
    // settings changes LineBaudRate()/LineParity() after its answer is produced.
    std::vector<std::vector<std::uint8_t>> Feed(std::span<const std::uint8_t> bytes);
    // Answers one complete request frame; empty when it gets no answer.
    std::vector<std::uint8_t> Answer(std::span<const std::uint8_t> request);
    // Forgets a partly received request (line noise at the wrong settings).
    void ResetReceiver();

    const ModuleSettings& Settings() const { return m_settings; }
    void SetSettings(const ModuleSettings& s) { m_settings = s; }

    // The module's own serial line: baud rate in bit/s and parity index.
    int LineBaudRate() const;
    int LineParity() const { return m_settings.parity; }
    // True when a PC line at baudRate/parity reaches the module. With evenSameAsNone (a pseudo-terminal
    // cannot carry "even" apart from "none"), parity 0 and 2 count as equal.
    bool LineMatches(int baudRate, int parity, bool evenSameAsNone) const;

    std::uint64_t RequestsAnswered() const { return m_answered; }
    std::uint64_t RequestsIgnored() const { return m_ignored; }

private:
    ModuleSettings m_settings;
    protocol::FrameAssembler m_rx;
    std::uint64_t m_answered = 0;
    std::uint64_t m_ignored = 0;
};

}  // namespace modsim
