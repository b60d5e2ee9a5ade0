#pragma once
// What sending a frame needs of a serial port: whether it is open, and one write of the whole frame.
// The serial object provides it; the protocol knows nothing else of the port.

namespace protocol {

class FramePort {
public:
    // 1 when a port is open, else 0.
    virtual int IsOpen() const = 0;
    // 1 when every byte was written, else 0.
    virtual int Write(const void* data, unsigned count) = 0;

protected:
    ~FramePort() = default;
};

}  // namespace protocol
