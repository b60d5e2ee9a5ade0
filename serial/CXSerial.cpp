#include "serial/CXSerial.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include "platform/PortDiscovery.h"
#include "platform/PortNamespace.h"

namespace {

platform::SerialError NoDevice(int port)
{
    platform::SerialError e;
    e.errnoValue = ENODEV;
    e.reason = platform::PortDisplayName(port) + " names no device";
    return e;
}

}  // namespace

int ProbePort(unsigned port, platform::SerialError* why)
{
    const int n = port > static_cast<unsigned>(platform::kHighestPort) ? -1 : static_cast<int>(port);
    const std::string path = platform::PortDevicePath(n);
    if (path.empty()) {
        if (why != nullptr) *why = NoDevice(n);
        return 0;
    }
    platform::SerialDevice device;
    platform::SerialError error;
    if (!platform::MayOpen(path, &error) || !device.Open(path, &error)) {
        if (why != nullptr) *why = error;
        return 0;
    }
    device.Close();
    return 1;
}

CXSerial::CXSerial() = default;

CXSerial::~CXSerial() { Close(); }

int CXSerial::IsOpen() const { return handle.IsOpen() && !m_hungUp.load() ? 1 : 0; }

int CXSerial::Open(int portNumber, int baud, int parityIndex)
{
    Close();
    port = portNumber;
    baudRate = baud;
    parity = parityIndex;
    SetError({});
    const std::string path = platform::PortDevicePath(portNumber);
    if (path.empty()) {
        SetError(NoDevice(portNumber));
        return 0;
    }
    platform::SerialError error;
    if (!platform::MayOpen(path, &error) || !handle.Open(path, &error)) {
        SetError(error);
        return 0;
    }
    handle.Purge(platform::SerialDevice::kPurgeBoth);
    // A tty has no event mask, timeouts or driver queues (the reader blocks in poll()): the device
    // records them and they cannot fail on an open device.
    handle.SetEventMask(kEventMask);
    handle.SetTimeouts({});
    if (!handle.Configure(baudRate, parity, &error)) {
        SetError(error);
        handle.Close();
        return 0;
    }
    handle.SetQueueSizes(kQueueSize, kQueueSize);
    m_hungUp = false;
    OnStreamStart();
    if (!StartReader()) {
        error.errnoValue = EAGAIN;
        error.device = path;
        error.reason = "cannot start the receive thread";
        SetError(error);
        handle.Close();
        return 0;
    }
    return 1;
}

int CXSerial::SetLineState(int baud, int parityIndex)
{
    if (!IsOpen()) {
        ReleaseGoneDevice();
        return 0;
    }
    parity = parityIndex;
    platform::SerialError error;
    if (!handle.Configure(baud, parityIndex, &error)) {
        SetError(error);
        return 0;
    }
    return 1;
}

int CXSerial::OpenOrReconfigure(int portNumber, int baud, int parityIndex)
{
    // Mends a device that went away (adapter unplugged and plugged in again): IsOpen is 0 then, so
    // the port is opened afresh even at the same number instead of reconfiguring a dead descriptor.
    if (IsOpen() && portNumber == port) {
        parity = parityIndex;
        return SetLineState(baud, parityIndex);
    }
    return Open(portNumber, baud, parityIndex);
}

int CXSerial::Write(const void* data, unsigned count)
{
    std::lock_guard guard(writeLock);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    int failedTries = 0;
    do {
        if (!IsOpen()) {
            ReleaseGoneDevice();
            return 0;
        }
        const std::size_t chunk = std::min<std::size_t>(kChunkSize, count - done);
        if (chunk == 0) break;
        std::size_t written = 0;
        platform::SerialError error;
        switch (handle.WriteSome(bytes + done, chunk, kChunkWaitMs, &written, &error)) {
        case platform::SerialDevice::IoResult::kDone:
            done += written;
            if (written > 0) failedTries = 0;
            break;
        case platform::SerialDevice::IoResult::kTimeout:
            // Nothing drains the line: drop what is queued and try the chunk again.
            handle.Purge(platform::SerialDevice::kPurgeOutput);
            error.device = handle.Path();
            error.errnoValue = ETIMEDOUT;
            error.reason = "write timed out";
            ++failedTries;
            break;
        case platform::SerialDevice::IoResult::kHungUp:
            SetError(error);
            MarkGone();
            ReleaseGoneDevice();
            return 0;
        case platform::SerialDevice::IoResult::kStopped:
        case platform::SerialDevice::IoResult::kError: ++failedTries; break;
        }
        if (failedTries >= kChunkTries) {
            SetError(error);
            return 0;
        }
    } while (done < count);
    return 1;
}

int CXSerial::Close()
{
    if (handle.IsOpen()) {
        StopReader();
        handle.Close();
    }
    return 1;
}

int CXSerial::StartReader()
{
    if (!IsOpen() || !stopEvent.Valid()) return 0;
    StopReader();
    try {
        readerThread = std::thread(&CXSerial::ReaderThread, this);
    } catch (const std::system_error&) {
        return 0;
    }
    return 1;
}

int CXSerial::StopReader()
{
    if (readerThread.joinable()) {
        stopEvent.Set();
        readerThread.join();
    }
    stopEvent.Clear();
    return 1;
}

void CXSerial::ReaderThread()
{
    // A wake-up that reads nothing (another reader of the device took the bytes) is no hang-up; only
    // the device says when it is gone. A device that keeps waking the thread for nothing, or keeps
    // failing, gets a short pause now and then, so the thread never spins.
    constexpr int kEmptyWakeupsBeforePause = 64;
    constexpr int kPauseMs = 10;
    std::array<std::uint8_t, kChunkSize> buffer;
    int emptyWakeups = 0;
    for (;;) {
        std::size_t got = 0;
        switch (handle.WaitRead(buffer.data(), buffer.size(), stopEvent, &got)) {
        case platform::SerialDevice::IoResult::kStopped: return;
        case platform::SerialDevice::IoResult::kHungUp: {
            platform::SerialError gone;
            gone.errnoValue = EIO;
            gone.device = handle.Path();
            gone.reason = platform::SerialReasonOf(EIO);
            SetError(gone);
            MarkGone();
            return;
        }
        case platform::SerialDevice::IoResult::kDone:
            if (got > 0) {
                emptyWakeups = 0;
                for (std::size_t i = 0; i < got; ++i)
                    OnReceiveByte(buffer[i]);
                continue;
            }
            if (++emptyWakeups < kEmptyWakeupsBeforePause) continue;
            break;
        case platform::SerialDevice::IoResult::kTimeout:
        case platform::SerialDevice::IoResult::kError: break;
        }
        emptyWakeups = 0;
        if (stopEvent.WaitFor(kPauseMs)) return;
    }
}

void CXSerial::MarkGone()
{
    if (!m_hungUp.exchange(true)) OnDeviceGone();
}

void CXSerial::ReleaseGoneDevice()
{
    if (!m_hungUp.load() || !handle.IsOpen()) return;
    StopReader();
    handle.Close();
}

std::string CXSerial::DevicePath() const { return handle.Path(); }

platform::SerialError CXSerial::LastError() const
{
    std::lock_guard guard(m_errorLock);
    return m_lastError;
}

void CXSerial::SetError(platform::SerialError e)
{
    std::lock_guard guard(m_errorLock);
    m_lastError = std::move(e);
}
