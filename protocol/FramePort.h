#pragma once
// What sending a frame needs of a serial port: whether it is open, and one write of the whole frame.
// The serial object provides it; the protocol knows nothing else of the port.

#include <cstdint>
#include <span>

#include "protocol/Result.h"

namespace protocol {

class FramePort {
public:
    virtual bool PortOpen() const = 0;
    // Writes every byte of the frame, or says why it could not.
    virtual Result<> WriteFrame(std::span<const std::uint8_t> frame) = 0;

protected:
    ~FramePort() = default;
};

}  // namespace protocol
