#include "platform/SerialError.h"

#include <cerrno>
#include <cstring>

namespace platform {

SerialError ErrorOf(int errnoValue, const std::string& device, std::string reason)
{
    SerialError e;
    e.errnoValue = errnoValue;
    e.device = device;
    e.reason = reason.empty() ? SerialReasonOf(errnoValue) : std::move(reason);
    return e;
}

bool IsGone(const SerialError& error)
{
    return error.errnoValue == EIO || error.errnoValue == ENXIO || error.errnoValue == ENODEV;
}

std::string SerialReasonOf(int errnoValue)
{
    switch (errnoValue) {
    case EBUSY:
#if EWOULDBLOCK != EBUSY
    case EWOULDBLOCK:
#endif
        return "in use";
    case EACCES:
    case EPERM: return "permission denied";
    case ENOENT:
    case ENXIO:
    case ENODEV: return "no such device";
    case EIO: return "device hung up";
    case ENOTTY: return "not a serial device";
    default: return std::strerror(errnoValue);
    }
}

}  // namespace platform
