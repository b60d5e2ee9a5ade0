#pragma once
// What one kind of serial device does behind SerialDevice; one file implements each kind. Only the
// platform layer includes this.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/SerialDevice.h"

namespace platform {

class SerialBackend {
public:
    virtual ~SerialBackend() = default;
    virtual Result<> Configure(int baudRate, int parity, const StopSignal* interrupt) = 0;
    virtual void Purge(SerialDevice::PurgeWhat what) = 0;
    virtual Result<std::size_t> WriteSome(std::span<const std::uint8_t> chunk, int timeoutMs) = 0;
    virtual Result<std::size_t> WaitRead(std::span<std::uint8_t> buffer, const StopSignal& stop) = 0;
    virtual int Fd() const = 0;
};

// A tty (SerialDevicePosix.cpp), opened exclusively.
Result<std::unique_ptr<SerialBackend>> OpenTty(const std::string& path);
// A serial port server's port at rfc2217://HOST:PORT (SerialDeviceRfc2217.cpp): connected, with
// Telnet negotiated, within a few seconds, or ECANCELED as soon as interrupt is set.
Result<std::unique_ptr<SerialBackend>> OpenNetworkPort(const std::string& url, const StopSignal* interrupt);

}  // namespace platform
