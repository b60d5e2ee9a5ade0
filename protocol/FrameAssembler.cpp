#include "protocol/FrameAssembler.h"

#include <cstring>

namespace protocol {

void FrameAssembler::Reset()
{
    // Only the bytes written since the last reset can be nonzero; the rest of the buffer already is zero.
    std::memset(rxBuffer.data(), 0, m_dirty);
    m_dirty = 0;
    rxCount = 0;
    m_complete = false;
}

}  // namespace protocol
