#include "platform/SerialError.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::string SerialError::Describe() const
{
    if (device.empty()) return reason;
    return device + ": " + reason;
}

SerialError ErrorOf(int errnoValue, const std::string& device, std::string reason)
{
    SerialError e;
    e.errnoValue = errnoValue;
    e.device = device;
    e.reason = reason.empty() ? SerialReasonOf(errnoValue) : std::move(reason);
    return e;
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
