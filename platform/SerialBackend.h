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
    virtual bool Configure(int baudRate, int parity, SerialError* error) = 0;
    virtual void Purge(SerialDevice::PurgeWhat what) = 0;
    virtual SerialDevice::IoResult WriteSome(const std::uint8_t* data, std::size_t count, int timeoutMs,
                                             std::size_t* written, SerialError* error)
        = 0;
    virtual SerialDevice::IoResult WaitRead(std::uint8_t* buffer, std::size_t capacity, const StopSignal& stop,
                                            std::size_t* got)
        = 0;
    virtual int Fd() const = 0;
};

// A tty (SerialDevicePosix.cpp), opened exclusively; null with *error filled on failure.
std::unique_ptr<SerialBackend> OpenTty(const std::string& path, SerialError* error);

}  // namespace platform
