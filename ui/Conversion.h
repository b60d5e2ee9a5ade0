#pragma once

#include <QString>

#include <exception>
#include <functional>
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

// Where an exception thrown by an event handler is shown. The application installs its exception
// display here; without one the exception goes on to the caller.
using ExceptionDisplay = std::function<void(std::exception_ptr)>;
void SetExceptionDisplay(ExceptionDisplay display);

// Runs an event handler and hands what it throws to the exception display, so that an exception
// never unwinds through the toolkit's event delivery.
void RunHandler(const std::function<void()>& handler);

}  // namespace orvane
