#pragma once
// The value checks shared by orvane-cli, orvane-modsim and the profile: each turns a text into the
// value a frame carries, or throws BadValue naming `what` (the option as written, the environment
// variable or the profile key), the text and what is allowed.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cmdline {

// A value or a command line that cannot be used; the programs exit with code 2 and send nothing.
class BadValue : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A decimal integer without sign, blanks or other characters; leading zeros allowed.
std::optional<long long> ParseDecimal(std::string_view text);

int ParseInRange(std::string_view text, std::string_view what, long long low, long long high);
int ParseChannel(std::string_view text, std::string_view what);   // 1..32
int ParseBaudCode(std::string_view text, std::string_view what);  // a rate of the baud table -> code 1..8
int ParseBaudRate(std::string_view text, std::string_view what);  // a rate of the baud table
// none|no|n, odd|o, even|e, case ignored -> parity index 0..2.
int ParseParity(std::string_view text, std::string_view what);
int ParseGuestId(std::string_view text, std::string_view what);       // 0..65535
int ParsePower(std::string_view text, std::string_view what);         // 1..7
int ParseMilliseconds(std::string_view text, std::string_view what);  // 1..600000
// A port the user names: COMn, comn or n, 1..63. Every program takes ports through this one call.
int ParsePort(std::string_view text, std::string_view what);

// Text the user gave, made safe for a message: control characters written as \n, \t, \r or \x01 (and
// the C1 controls as \u0085), so that one message stays one line and sends the terminal nothing; text
// longer than 64 characters is cut and ends in "...". Quote it in the message: 'text'.
std::string Printable(std::string_view text);
// The same escapes without the cut: for text from devices (USB strings, device paths) in plain output.
std::string Escaped(std::string_view text);

// The parity word the command line takes and the JSON prints: "none", "odd", "even".
const char* ParityWord(int parity);

}  // namespace cmdline
