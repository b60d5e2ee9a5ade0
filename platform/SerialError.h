#pragma once
// Why a serial operation failed, captured where it failed so that the caller who shows a
// message can say "permission denied" or "in use" while the serial classes keep their 1/0 results.

#include <string>

namespace platform {

struct SerialError {
    int errnoValue = 0;  // errno at the failure; 0 when the failure had no errno
    std::string device;  // the device path involved, empty when none
    std::string reason;  // short lower-case text: "in use", "permission denied", "no such device", ...

    bool Failed() const { return !reason.empty(); }
    // "<device>: <reason>", or just the reason when there is no device.
    std::string Describe() const;
};

// The reason text for an errno value met while opening or using a serial device
// (EBUSY/EWOULDBLOCK "in use", EACCES/EPERM "permission denied", ENOENT/ENXIO/ENODEV "no such device",
// EIO "device hung up", ENOTTY "not a serial device", otherwise strerror's text).
std::string SerialReasonOf(int errnoValue);

// The error of a failed call: the errno, the device, and the reason (SerialReasonOf's text when
// none is given).
SerialError ErrorOf(int errnoValue, const std::string& device, std::string reason = {});

}  // namespace platform
