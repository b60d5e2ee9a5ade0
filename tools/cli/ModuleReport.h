#pragma once
// The module's settings as orvane-cli reads, writes and prints them, and the profile that `apply`
// takes: the JSON object that `info --json` prints. Every field is optional: a report holds what was
// read or written, a profile what is to be written.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

struct ModuleReport {
    std::optional<std::uint8_t> moduleType;  // data byte 2 of the search answer
    std::optional<int> channel;              // 1..32 as the module reports it
    std::optional<std::string> frequency;    // the channel table's text
    std::optional<int> airBaudCode;          // baud codes 1..8 (index + 1), as in frames
    std::optional<int> serialBaudCode;
    std::optional<int> serialParity;  // parity index
    std::optional<int> guestId;       // 0..65535
    std::optional<int> power;         // 1..7, written only

    bool Empty() const;
};

// One "key value" line per setting: module, channel (with frequency), air, serial, id, power.
std::string FormatPlain(const ModuleReport& report);
// One JSON object on one line: "format": 1, then the keys in the order of the plain form, each text
// with a unit followed by its number ("band_mhz", "frequency_mhz"), parity as the command line's word.
// `port`, when given, comes first and "exit": 0 last: one port's line of a run over several. Without
// it the object is a profile that apply reads.
std::string FormatJson(const ModuleReport& report, const std::string& port = {});

// "433MHz", "490MHz", or "type N" for a type without a channel table.
std::string ModuleTypeText(std::uint8_t type);
// "9600" for a baud code, "code N" for a code outside 1..8.
std::string BaudCodeText(int code);
// "No", "ODD", "Even", or "parity N" outside 0..2.
std::string ParityText(int parity);
// "none", "odd", "even", or "parity N" outside 0..2.
std::string ParityWordText(int parity);
// A JSON string literal: quotes, backslashes and control characters escaped.
std::string Quoted(const std::string& text);
// Fills frequency from the channel table when the type and channel have an entry.
void AddFrequency(ModuleReport& report);

// The profile in `text` (named `source` in messages). Throws CliError with kExitBadUsage for text
// that is not a JSON object, a key that stands twice, an unknown key or format, a value of the wrong
// kind, not whole or out of range, a frequency or band number that disagrees with its text or the
// channel, or a profile with nothing to write.
ModuleReport ParseProfile(std::string_view text, const std::string& source);

}  // namespace cli
