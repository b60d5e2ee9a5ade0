#pragma once
// Ports on other machines in the COM namespace. A ports-directory entry "comN" may be a small text
// file instead of a link: its first line that is neither empty nor a '#' comment is the port's URL,
// rfc2217://HOST:PORT. A URL named on the command line gets a COM number for the process: the one of
// an entry that holds the same URL, else the lowest number that names nothing.

#include <optional>
#include <string>

namespace platform {

// The URL the entry file holds; nothing for a link, a missing entry, a file over 4 KiB or one whose
// first line is no well-formed URL.
std::optional<std::string> ReadNetworkPortEntry(const std::string& entryPath);
// The URL port n names, from its entry file or the command line; nothing for a local port.
std::optional<std::string> NetworkPortUrlOf(int port);
// The URL named on the command line that port n was given for (it is shown as that URL); nothing
// otherwise.
std::optional<std::string> CommandLineNetworkPort(int port);
// The COM number for a URL named on the command line (see above); 0 when every number is taken.
int NumberNetworkPort(const std::string& url);

}  // namespace platform
