#pragma once
// Reading what `orvane-cli ports` printed and what the window's probe found, for the mock-hardware tests.

#include <string>
#include <vector>

#include "serial/ZebSerial.h"

namespace hwtest {

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The line of `ports` output that starts with the COM name.
inline std::string LineOf(const std::string& out, const std::string& com)
{
    const auto at = out.find(com + "\t");
    if (at == std::string::npos) return {};
    return out.substr(at, out.find('\n', at) - at);
}

// The port numbers the window's start-up probe keeps.
inline std::vector<int> Probed()
{
    ZebSerial serial;
    serial.ProbePorts();
    return std::vector<int>(serial.ports.begin(), serial.ports.begin() + serial.portCount);
}

}  // namespace hwtest
