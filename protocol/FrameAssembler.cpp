#include "protocol/FrameAssembler.h"

#include <algorithm>
#include <cstring>

namespace protocol {

bool FrameAssembler::Push(std::uint8_t b) {
  if (complete) Reset();
  rxBuffer[static_cast<std::size_t>(rxCount)] = b;
  dirty = std::max(dirty, static_cast<std::size_t>(rxCount) + 1);
  if (rxBuffer[0] != 0xAF) {
    Reset();
    return false;
  }
  ++rxCount;
  if (rxCount >= 2 && rxBuffer[static_cast<std::size_t>(rxCount) - 2] == 0x0D &&
      rxBuffer[static_cast<std::size_t>(rxCount) - 1] == 0x0A) {
    complete = true;
    return true;
  }
  if (rxCount > kMaxFrameLength - 1) Reset();
  return false;
}

void FrameAssembler::Reset() {
  // Only the bytes written since the last reset can be nonzero; the rest of the buffer already is zero.
  std::memset(rxBuffer.data(), 0, dirty);
  dirty = 0;
  rxCount = 0;
  complete = false;
}

}  // namespace protocol
