// Port discovery figures on this machine: listing every serial device with its COM number (the
// system's device records and the 63 COM numbers' links), and the window's first look at them (the
// live port list read once, each port opened for a moment).
// Prints "name value unit" lines; each figure is the median of several runs.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/PortDiscovery.h"
#include "platform/PortModel.h"

namespace {

template <typename F> double MedianMilliseconds(F run)
{
    std::vector<double> ms;
    for (int i = 0; i < 21; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main()
{
    std::size_t found = 0;
    const double discovery = MedianMilliseconds([&] { found = platform::DiscoverPorts().size(); });
    std::printf("port_discovery_ms %.2f ms\n", discovery);
    std::printf("port_discovery_devices %zu devices\n", found);
    std::printf("port_probe_ms %.2f ms\n", MedianMilliseconds([] { platform::PortModel model; }));
    return 0;
}
