#pragma once
// The serial device: one open device with the line settings the module link needs. This header is
// the same on every system and for every kind of device; each kind is a back-end file behind it
// (SerialDevicePosix.cpp: a tty through termios), so the serial object above never changes when one
// is added.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
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
    // An open device may be handed on, from the thread that opened it to the one that uses it.
    SerialDevice(SerialDevice&&) noexcept;
    SerialDevice& operator=(SerialDevice&&) noexcept;

    // Opens the device for reading and writing, not shared: anyone else holding it makes this fail
    // with "in use". A port on another machine may wait seconds for its host; setting interrupt (from
    // another thread) ends that wait at once with ECANCELED.
    Result<> Open(const std::string& path, const StopSignal* interrupt = nullptr);
    // A device that is open is closed; closing a closed device does nothing.
    void Close();
    bool IsOpen() const { return m_backend != nullptr; }

    // Raw, 8 data bits, 1 stop bit, parity 0 none / 1 odd / 2 even, no flow control, DTR and RTS dropped.
    // A byte received with a parity or framing error is passed on as it came.
    // A baud rate the device has no setting for, or parity outside 0..2, fails with its reason.
    // interrupt ends a wait for a network server's acknowledgement, as for Open.
    Result<> Configure(int baudRate, int parity, const StopSignal* interrupt = nullptr);

    // Driver settings a port takes besides its line: queue sizes, the mask of line events to report,
    // and read/write timeouts. A tty has no counterpart for them (the receive thread blocks in poll(),
    // WriteSome bounds its own wait): each is recorded for the open device; nothing while closed.
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
    void SetQueueSizes(std::size_t inputBytes, std::size_t outputBytes);
    void SetEventMask(std::uint32_t mask);
    void SetTimeouts(const Timeouts& timeouts);
    // What was recorded since the device was opened; all zero while closed.
    const DriverSettings& Recorded() const { return m_driver; }

    enum PurgeWhat { kPurgeInput = 1, kPurgeOutput = 2, kPurgeBoth = 3 };
    void Purge(PurgeWhat what);

    // Waits at most timeoutMs for room, then writes what fits of the chunk: the number of bytes
    // written. Fails with ETIMEDOUT ("write timed out") when no room came, else with the device's
    // error (IsGone() once the device has gone away).
    Result<std::size_t> WriteSome(std::span<const std::uint8_t> chunk, int timeoutMs);
    // Blocks until bytes arrive or stop is set, and reads at most buffer.size() bytes: the number
    // read, 0 when stop was set or when the wake-up found nothing (another reader took the bytes).
    // Fails with an error for which IsGone() holds when the device has gone away (do not read
    // again), or with one that says nothing about the device (trying again later is sound).
    Result<std::size_t> WaitRead(std::span<std::uint8_t> buffer, const StopSignal& stop);

    // The descriptor the device is used through; -1 while closed.
    int Fd() const;
    const std::string& Path() const { return m_path; }

private:
    std::unique_ptr<SerialBackend> m_backend;
    std::string m_path;
    DriverSettings m_driver;
};

}  // namespace platform
