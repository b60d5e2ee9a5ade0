#pragma once
// The serial device: one open device with the line settings the module link needs. This header is
// the same on every system and for every kind of device; each kind is a back-end file behind it
// (SerialDevicePosix.cpp: a tty through termios), so the serial object above never changes when one
// is added.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/SerialError.h"

namespace platform {

class StopSignal;
class SerialBackend;

class SerialDevice {
public:
    SerialDevice();
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens the device for reading and writing, not shared: anyone else holding it makes this fail
    // with "in use". False with *error filled on failure.
    bool Open(const std::string& path, SerialError* error);
    // A device that is open is closed; closing a closed device does nothing.
    void Close();
    bool IsOpen() const { return m_backend != nullptr; }

    // Raw, 8 data bits, 1 stop bit, parity 0 none / 1 odd / 2 even, no flow control, DTR and RTS dropped.
    // A baud rate the device has no setting for, or parity outside 0..2, fails with its reason.
    bool Configure(int baudRate, int parity, SerialError* error);

    // Driver settings a port takes besides its line: queue sizes, the mask of line events to report,
    // and read/write timeouts. A tty has no counterpart for them (the receive thread blocks in poll(),
    // WriteSome bounds its own wait): each is recorded for the open device, and succeeds.
    enum LineEvent : std::uint32_t { kEventRxChar = 0x01, kEventCts = 0x08, kEventRlsd = 0x20, kEventBreak = 0x40 };
    struct Timeouts {
        std::uint32_t readInterval = 0;
        std::uint32_t readTotalMultiplier = 0;
        std::uint32_t readTotalConstant = 0;
        std::uint32_t writeTotalMultiplier = 0;
        std::uint32_t writeTotalConstant = 0;
        bool operator==(const Timeouts&) const = default;
    };
    struct DriverSettings {
        std::size_t inputQueue = 0;
        std::size_t outputQueue = 0;
        std::uint32_t eventMask = 0;
        Timeouts timeouts;
        bool operator==(const DriverSettings&) const = default;
    };
    bool SetQueueSizes(std::size_t inputBytes, std::size_t outputBytes);
    bool SetEventMask(std::uint32_t mask);
    bool SetTimeouts(const Timeouts& timeouts);
    // What was recorded since the device was opened; all zero while closed.
    const DriverSettings& Recorded() const { return m_driver; }

    enum PurgeWhat { kPurgeInput = 1, kPurgeOutput = 2, kPurgeBoth = 3 };
    void Purge(PurgeWhat what);

    enum class IoResult { kDone, kTimeout, kStopped, kHungUp, kError };
    // Waits at most timeoutMs for room, then writes what fits of the chunk; *written says how much.
    IoResult WriteSome(const std::uint8_t* data, std::size_t count, int timeoutMs, std::size_t* written,
                       SerialError* error);
    // Blocks until bytes arrive or stop is set; reads at most capacity bytes into buffer.
    // kDone (*got may be 0: a wake-up whose bytes someone else took), kStopped, kHungUp (the
    // device is gone; do not read again) or kError (a failure that says nothing about the device;
    // trying again later is sound).
    IoResult WaitRead(std::uint8_t* buffer, std::size_t capacity, const StopSignal& stop, std::size_t* got);

    // The descriptor the device is used through; -1 while closed.
    int Fd() const;
    const std::string& Path() const { return m_path; }

private:
    std::unique_ptr<SerialBackend> m_backend;
    std::string m_path;
    DriverSettings m_driver;
};

}  // namespace platform
