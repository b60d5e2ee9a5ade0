#include "serial/CXSerial.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include "platform/PortDiscovery.h"
#include "platform/PortNamespace.h"
#include "protocol/NetworkPortUrl.h"

namespace {

platform::SerialError NoDevice(int port)
{
    return platform::ErrorOf(ENODEV, {}, platform::PortDisplayName(port) + " names no device");
}

// The device of a port, when it may be opened as one.
platform::Result<std::string> UsableDevice(int port)
{
    const std::string path = platform::PortDevicePath(port);
    if (path.empty()) return NoDevice(port);
    if (protocol::LooksLikeNetworkPortUrl(path)) return path;
    if (const platform::Result<> allowed = platform::MayOpen(path); !allowed) return allowed.Error();
    return path;
}

}  // namespace

platform::Result<> TryPort(unsigned port)
{
    const int n = port > static_cast<unsigned>(platform::kHighestPort) ? -1 : static_cast<int>(port);
    const platform::Result<std::string> path = UsableDevice(n);
    if (!path) return path.Error();
    // A port on another machine is listed without connecting: a probe would take the server's one
    // client place and keep the caller waiting on a slow host; Open says whether it works.
    if (protocol::LooksLikeNetworkPortUrl(*path)) return {};
    platform::SerialDevice device;
    return device.Open(*path);
}

int ProbePort(unsigned port) { return TryPort(port) ? 1 : 0; }

CXSerial::CXSerial() = default;

CXSerial::~CXSerial() { Close(); }

int CXSerial::IsOpen() const { return handle.IsOpen() && !m_hungUp.load() ? 1 : 0; }

int CXSerial::Open(int portNumber, int baud, int parityIndex)
{
    Close();
    return Adopt(portNumber, baud, parityIndex, PrepareDevice(portNumber, baud, parityIndex, nullptr));
}

platform::Result<platform::SerialDevice> CXSerial::PrepareDevice(int portNumber, int baud, int parityIndex,
                                                                 const platform::StopSignal* interrupt)
{
    const platform::Result<std::string> path = UsableDevice(portNumber);
    if (!path) return path.Error();
    platform::SerialDevice device;
    if (const platform::Result<> opened = device.Open(*path, interrupt); !opened) return opened.Error();
    device.Purge(platform::SerialDevice::kPurgeBoth);
    // A tty has no event mask, timeouts or driver queues (the reader blocks in poll()): the device
    // records them and they cannot fail on an open device.
    device.SetEventMask(kEventMask);
    device.SetTimeouts({});
    if (const platform::Result<> configured = device.Configure(baud, parityIndex, interrupt); !configured)
        return configured.Error();
    device.SetQueueSizes(kQueueSize, kQueueSize);
    return device;
}

int CXSerial::Adopt(int portNumber, int baud, int parityIndex, platform::Result<platform::SerialDevice> prepared)
{
    Close();
    port = portNumber;
    baudRate = baud;
    parity = parityIndex;
    if (!prepared) {
        SetError(prepared.Error());
        return 0;
    }
    SetError({});
    handle = *std::move(prepared);
    m_hungUp = false;
    OnStreamStart();
    if (!StartReader()) {
        SetError(platform::ErrorOf(EAGAIN, handle.Path(), "cannot start the receive thread"));
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
    if (const platform::Result<> configured = handle.Configure(baud, parityIndex); !configured) {
        SetError(configured.Error());
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

bool CXSerial::WouldConnect(int portNumber) const
{
    if (IsOpen() && portNumber == port) return false;
    return protocol::LooksLikeNetworkPortUrl(platform::PortDevicePath(portNumber));
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
        const platform::Result<std::size_t> written = handle.WriteSome({bytes + done, chunk}, kChunkWaitMs);
        if (written) {
            done += *written;
            if (*written > 0) failedTries = 0;
            continue;
        }
        if (platform::IsGone(written.Error())) {
            SetError(written.Error());
            MarkGone();
            ReleaseGoneDevice();
            return 0;
        }
        // Nothing drains the line: drop what is queued and try the chunk again.
        if (written.Error().errnoValue == ETIMEDOUT) handle.Purge(platform::SerialDevice::kPurgeOutput);
        if (++failedTries >= kChunkTries) {
            SetError(written.Error());
            return 0;
        }
    } while (done < count);
    return 1;
}

protocol::Result<> CXSerial::WriteFrame(std::span<const std::uint8_t> frame)
{
    if (!IsOpen()) return platform::ErrorOf(EBADF, {}, "not open");
    if (Write(frame.data(), static_cast<unsigned>(frame.size())) != 0) return {};
    return LastError();
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
        const platform::Result<std::size_t> got = handle.WaitRead(buffer, stopEvent);
        if (got && *got > 0) {
            emptyWakeups = 0;
            for (std::size_t i = 0; i < *got; ++i)
                OnReceiveByte(buffer[i]);
            continue;
        }
        if (got) {
            if (stopEvent.IsSet()) return;
            if (++emptyWakeups < kEmptyWakeupsBeforePause) continue;
        } else if (platform::IsGone(got.Error())) {
            SetError(got.Error());
            MarkGone();
            return;
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
