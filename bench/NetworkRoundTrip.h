// The request/answer round trip to a module on another machine: the simulator's module offered by its
// own serial port server on 127.0.0.1, reached through a ports-directory entry holding the URL.
#pragma once

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "NoticeCounter.h"
#include "model/NetworkServer.h"
#include "model/PtyModule.h"
#include "platform/PortNamespace.h"
#include "protocol/ModuleFrame.h"
#include "serial/WindowMessage.h"
#include "serial/ZebSerial.h"

// The median of n round trips in microseconds; nothing when the port cannot be opened or an answer
// does not come.
inline std::optional<double> NetworkRoundTripP50(int port, int n)
{
    using Clock = std::chrono::steady_clock;
    modsim::PtyModuleOptions options;
    options.port = port;
    modsim::PtyModule module(options);
    std::string error;
    if (!module.Start(&error)) return std::nullopt;
    modsim::NetworkServer server(module.DevicePath(), nullptr);
    if (!server.Start(0, &error)) return std::nullopt;
    // The module's own link gives way to an entry holding the URL.
    const std::string entry = platform::PortLinkPath(port);
    std::filesystem::remove(entry);
    std::ofstream(entry) << "rfc2217://127.0.0.1:" << server.Port() << "\n";
    const unsigned message = platform::RegisterWindowMessage(protocol::kNoticeName);
    NoticeCounter target(message);
    ZebSerial serial;
    serial.SetNotifyTarget(&target, message);
    if (!serial.Open(port, 9600, 0)) return std::nullopt;
    std::vector<double> micros;
    for (int i = 0; i < n; ++i) {
        const long before = target.received;
        const auto start = Clock::now();
        if (!SendReadChannel(serial)) return std::nullopt;
        const auto deadline = start + std::chrono::seconds(5);
        while (target.received == before && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        if (target.received == before) return std::nullopt;
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    serial.Close();
    std::filesystem::remove(entry);
    std::sort(micros.begin(), micros.end());
    return micros[micros.size() / 2];
}
