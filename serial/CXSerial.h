#pragma once
// The serial port object: opens a numbered port, configures the line, writes in chunks under a
// lock, and runs one receive thread per open port that hands every byte to OnReceiveByte.
// Results are 1 for success and 0 for failure; nothing is shown or thrown. LastError() says why
// the last Open, SetLineState or Write failed.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <thread>

#include "platform/SerialDevice.h"
#include "platform/SerialError.h"
#include "platform/StopSignal.h"
#include "protocol/FramePort.h"

// Whether port n can be opened (it is closed again at once), and why not. A port held open by
// anyone, this process included, is not available; nor is a node with no UART behind it or a
// terminal the system uses (the console, a login), which are not even opened.
platform::Result<> TryPort(unsigned port);
// 1 when TryPort succeeds, else 0.
int ProbePort(unsigned port);

class CXSerial : public protocol::FramePort {
public:
    static constexpr std::size_t kChunkSize = 1024;  // bytes per write; also the read size
    static constexpr int kChunkWaitMs = 1000;        // longest wait for room per try
    static constexpr int kChunkTries = 3;            // tries per chunk before Write gives up
    static constexpr std::size_t kQueueSize = 1024;  // input and output queue Open records
    static constexpr std::uint32_t kEventMask =      // line events Open records (0x69)
        platform::SerialDevice::kEventRxChar | platform::SerialDevice::kEventCts | platform::SerialDevice::kEventRlsd
        | platform::SerialDevice::kEventBreak;

    CXSerial();
    virtual ~CXSerial();  // closes the port; a derived class closes it in its own destructor first
    CXSerial(const CXSerial&) = delete;
    CXSerial& operator=(const CXSerial&) = delete;

    // 0 once the device has gone away (unplugged adapter, closed pty), although the descriptor is
    // released only by the next call on the GUI thread (or Close).
    int IsOpen() const;
    // Closes any open port, then opens port n at the baud rate (bit/s) and parity index (0 none, 1 odd,
    // 2 even) and starts the receive thread. 0, with the port closed, when any step fails.
    int Open(int port, int baudRate, int parity);
    // Changes baud rate and parity of the open port in place; the receive thread keeps running.
    // Records the parity only: BaudRate() stays the rate of the last Open.
    int SetLineState(int baudRate, int parity);
    // SetLineState when port n is the open one, else Open (also after the device went away).
    int OpenOrReconfigure(int port, int baudRate, int parity);
    // Whether OpenOrReconfigure(n, ...) would connect to a port on another machine, which may wait
    // seconds for its host, rather than reconfigure the open port or open a local device.
    bool WouldConnect(int port) const;
    // Open in two halves, for a caller that must not wait: PrepareDevice does the slow part and
    // touches no serial object, so it may run on any thread; setting interrupt makes it give up at
    // once (ECANCELED). Adopt finishes on the owning thread: it closes the open port, as Open does
    // first, and takes the prepared device, or records why it could not be prepared.
    static platform::Result<platform::SerialDevice> PrepareDevice(int port, int baudRate, int parity,
                                                                  const platform::StopSignal* interrupt);
    int Adopt(int port, int baudRate, int parity, platform::Result<platform::SerialDevice> prepared);
    // 1 when every byte was written; 0 when no port is open, the device is gone, or a chunk could not
    // be written in kChunkTries tries. Writes never interleave.
    int Write(const void* data, unsigned count);

    // The frame codec's view of the port: IsOpen, and Write with the reason of a failure.
    bool PortOpen() const final { return IsOpen() != 0; }
    protocol::Result<> WriteFrame(std::span<const std::uint8_t> frame) final;
    // Stops the receive thread and closes the port. Always 1.
    int Close();

    int StartReader();
    int StopReader();

    // Called on the receive thread once for every byte read, in arrival order.
    virtual void OnReceiveByte(std::uint8_t b) = 0;

protected:
    // Called once when the device goes away, on the receive thread or in Write; the port is closed
    // already as far as IsOpen is concerned.
    virtual void OnDeviceGone() { }
    // Called in Open before the receive thread starts: the bytes of a new device start afresh.
    virtual void OnStreamStart() { }

public:
    // The settings of the last Open (port 1, 9600, parity 0 after construction); the parity also of
    // the last SetLineState.
    int Port() const { return port; }
    int BaudRate() const { return baudRate; }
    int Parity() const { return parity; }
    // Device path of the open port, empty when closed.
    std::string DevicePath() const;
    // True once the device has gone away, until the next successful Open.
    bool HungUp() const { return m_hungUp.load(); }
    // Why the last failed Open, SetLineState or Write failed; cleared by a successful Open.
    platform::SerialError LastError() const;

protected:
    std::thread readerThread;
    platform::StopSignal stopEvent;
    int port = 1;
    int baudRate = 9600;
    int parity = 0;
    platform::SerialDevice handle;
    std::mutex writeLock;

private:
    void ReaderThread();
    void SetError(platform::SerialError e);
    // Marks the device gone; OnDeviceGone runs for the first mark only.
    void MarkGone();
    // GUI thread: stops the ended receive thread and closes the descriptor of a device that is gone.
    void ReleaseGoneDevice();

    std::atomic<bool> m_hungUp{false};
    mutable std::mutex m_errorLock;
    platform::SerialError m_lastError;
};
