#pragma once

#include <QString>

#include <stdexcept>

namespace orvane {

// The error an event handler raises when it cannot go on; the application shows its message
// in the exception display and the event loop carries on.
class Exception : public std::runtime_error {
public:
    explicit Exception(const QString& message);
    QString message() const { return QString::fromUtf8(what()); }
};

// A text that should have been a number was not.
class ConvertError : public Exception {
public:
    using Exception::Exception;
};

// A decimal integer with an optional sign, within the 32-bit range; anything else throws
// ConvertError "'<text>' is not a valid integer value".
int StrToInt(const QString& text);

}  // namespace orvane
