#pragma once
// Collects module frames from single received bytes. Pure: no thread, device or Qt inside.
//
// Between frames every byte other than 0xAF is dropped; 0xAF starts a frame; the first
// 0D 0A pair ends it. A frame is at most 21 bytes: a 21st byte that does not complete the
// CR LF end drops everything held. Neither header, length nor checksum is examined.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/FrameLayout.h"

namespace protocol {

class FrameAssembler {
public:
    static constexpr int kMaxFrameLength = 21;
    static constexpr std::size_t kBufferSize = 1024;

    // Takes one byte. True when it completed a frame: Frame() and At() then describe that frame
    // until Reset() or the next Push, which starts from an empty buffer.
    bool Push(std::uint8_t b)
    {
        if (m_complete) Reset();
        const auto at = static_cast<std::size_t>(rxCount);
        rxBuffer[at] = b;
        if (at >= m_dirty) m_dirty = at + 1;
        if (rxBuffer[0] != kStartByte) {
            Reset();
            return false;
        }
        ++rxCount;
        if (at >= 1 && rxBuffer[at - 1] == kCR && b == kLF) {
            m_complete = true;
            return true;
        }
        if (rxCount > kMaxFrameLength - 1) Reset();
        return false;
    }

    // Drops what is held; the buffer is all zero again.
    void Reset();

    std::span<const std::uint8_t> Frame() const { return {rxBuffer.data(), static_cast<std::size_t>(rxCount)}; }
    // Byte i of the frame being held; positions a short frame does not reach read as 0.
    std::uint8_t At(std::size_t i) const { return i < kBufferSize ? rxBuffer[i] : 0; }
    int Count() const { return rxCount; }

private:
    std::array<std::uint8_t, kBufferSize> rxBuffer{};
    std::int32_t rxCount = 0;
    std::size_t m_dirty = 0;  // bytes of rxBuffer that may be nonzero; only these are cleared on reset
    bool m_complete = false;  // the bytes held are a complete frame
};

}  // namespace protocol
