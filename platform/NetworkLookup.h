#pragma once
// A host name's addresses, looked up within a time limit: the system's resolver may wait much longer
// for a name server that does not answer, and nobody may be kept waiting that long.

#include <sys/socket.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/SerialError.h"

namespace platform {

class StopSignal;

struct ResolvedAddress {
    int family = AF_UNSPEC;
    sockaddr_storage address{};
    socklen_t length = 0;
};

// The TCP addresses of host (a name, or an IPv4 or IPv6 address) at port, in the resolver's order.
// Fails with EHOSTUNREACH and the resolver's reason, or with ETIMEDOUT when no answer came within
// timeoutMs, or with ECANCELED as soon as interrupt (when given) is set; a lookup that outlasts the
// wait finishes on its own thread and is forgotten.
Result<std::vector<ResolvedAddress>> LookUp(const std::string& host, std::uint16_t port, int timeoutMs,
                                            const StopSignal* interrupt = nullptr);

}  // namespace platform
