#pragma once
// Reaching a port on another machine without freezing the window: the host's lookup, the
// connection and the server's answers take place on a thread of their own while the window's event
// loop goes on, painting and taking the user's input, until the device is ready to be adopted.

#include "platform/SerialDevice.h"
#include "platform/StopSignal.h"

#include <QPointer>

#include <functional>
#include <utility>
#include <vector>

class QObject;

class PortConnect {
public:
    // Prepares port n at the baud rate and parity while the event loop runs. When the loop ends
    // first (the application quits), the preparation is interrupted and waited for.
    platform::Result<platform::SerialDevice> Run(int port, int baudRate, int parity);
    // Makes a running preparation give up at once; Run then fails with ECANCELED.
    void Interrupt() { m_interrupt.Set(); }
    bool Busy() const { return m_busy; }
    // Runs f on context's event loop once Run has returned; nothing when context has gone by then.
    // For what must not start over a port that is being reached (the port dialog, above all).
    void WhenDone(QObject* context, std::function<void()> f) { m_whenDone.emplace_back(context, std::move(f)); }

private:
    platform::StopSignal m_interrupt;
    bool m_busy = false;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> m_whenDone;
};
