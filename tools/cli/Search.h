#pragma once
// orvane-cli's search: every baud rate and parity tried on one port or on several at once, each
// port's result told as soon as it is known.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <vector>

#include "CliError.h"
#include "CommandLine.h"
#include "ModuleLink.h"

namespace cli {

inline constexpr Request kSearchRequest{protocol::SearchRequest(), "search"};

// One port's search: its link, the pairs still to try, and how it ended.
struct PortSearch {
    int port = 0;
    std::unique_ptr<ModuleLink> link;
    std::size_t next = 0;  // the pair being tried
    bool searching = true;
    bool told = false;                       // handed to the caller's `ended`
    std::optional<std::uint8_t> moduleType;  // found: the band the answer told
    std::optional<CliError> failure;
};

// Searches every port at once, in rounds of one baud/parity pair each, so that several ports take
// as long as the slowest one alone; `ended` is called for each port as soon as it is found or has
// failed, with the progress line cleared. Returns every port's search, links still open.
std::vector<PortSearch> SearchPorts(const std::vector<int>& ports, const Invocation& inv,
                                    const std::function<void(const PortSearch&)>& ended = {});

// The ports a command covers: those named, every ready port (--all), or the default one.
std::vector<int> CoveredPorts(const Invocation& inv, std::ostream& err);

int Search(const Invocation& inv, std::ostream& out, std::ostream& err);

}  // namespace cli
