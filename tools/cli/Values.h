#pragma once
// The checks shared by the command line and the profile: each turns a text into the value a
// frame carries, or throws CliError(kExitBadUsage) saying what is allowed.

#include <optional>
#include <string_view>

namespace cli {

// A decimal integer without sign, blanks or other characters; leading zeros allowed.
std::optional<long long> ParseDecimal(std::string_view text);

int ParseChannel(std::string_view text);                      // 1..32
int ParseBaudCode(std::string_view text, std::string_view what);  // a rate of the baud table -> code 1..8
int ParseParity(std::string_view text);                       // no|odd|even, case ignored -> 0..2
int ParseGuestId(std::string_view text);                      // 0..65535
int ParsePower(std::string_view text);                        // 1..7
int ParseMilliseconds(std::string_view text, std::string_view what);  // 1..600000

}  // namespace cli
