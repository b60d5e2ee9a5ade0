#pragma once
// Reaching a port on another machine without freezing the window: the host's lookup, the
// connection and the server's answers take place on a thread of their own while the window's event
// loop goes on, painting and taking the user's input, until the device is ready to be adopted.

#include "platform/SerialDevice.h"
#include "platform/StopSignal.h"

class PortConnect {
public:
    // Prepares port n at the baud rate and parity while the event loop runs. When the loop ends
    // first (the application quits), the preparation is interrupted and waited for.
    platform::Result<platform::SerialDevice> Run(int port, int baudRate, int parity);
    // Makes a running preparation give up at once; Run then fails with ECANCELED.
    void Interrupt() { m_interrupt.Set(); }
    bool Busy() const { return m_busy; }

private:
    platform::StopSignal m_interrupt;
    bool m_busy = false;
};
