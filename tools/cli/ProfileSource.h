#pragma once
// Where apply's profile comes from: a file, a pipe, or standard input.

#include <string>

namespace cli {

// "standard input" for "-", else the path made safe for messages.
std::string ProfileSourceName(const std::string& path);

// The profile's text, at most 64 KiB, from the file `path` or from standard input for "-". A FIFO
// is read once a program writes to it: one that has no writer for 5 seconds is refused. A terminal
// or other device named as the file is refused (standard input is "-"). Throws CliError with
// kExitBadUsage saying what happened.
std::string ReadProfileText(const std::string& path);

}  // namespace cli
