#include "platform/SerialDevice.h"

#include <cerrno>

#include "platform/SerialBackend.h"
#include "protocol/NetworkPortUrl.h"

namespace platform {

namespace {

SerialError NotOpen() { return ErrorOf(EBADF, {}, "not open"); }

}  // namespace

SerialDevice::SerialDevice() = default;

SerialDevice::~SerialDevice() { Close(); }

SerialDevice::SerialDevice(SerialDevice&&) noexcept = default;

SerialDevice& SerialDevice::operator=(SerialDevice&&) noexcept = default;

Result<> SerialDevice::Open(const std::string& devicePath, const StopSignal* interrupt)
{
    Close();
    // The kind of device is told by its path: a URL names a port on another machine.
    Result<std::unique_ptr<SerialBackend>> opened
        = protocol::LooksLikeNetworkPortUrl(devicePath) ? OpenNetworkPort(devicePath, interrupt) : OpenTty(devicePath);
    if (!opened) return opened.Error();
    m_backend = *std::move(opened);
    m_path = devicePath;
    return {};
}

void SerialDevice::Close()
{
    m_backend.reset();
    m_path.clear();
    m_driver = {};
}

void SerialDevice::SetQueueSizes(std::size_t inputBytes, std::size_t outputBytes)
{
    if (!m_backend) return;
    m_driver.inputQueue = inputBytes;
    m_driver.outputQueue = outputBytes;
}

void SerialDevice::SetEventMask(std::uint32_t mask)
{
    if (!m_backend) return;
    m_driver.eventMask = mask;
}

void SerialDevice::SetTimeouts(const Timeouts& timeouts)
{
    if (!m_backend) return;
    m_driver.timeouts = timeouts;
}

Result<> SerialDevice::Configure(int baudRate, int parity, const StopSignal* interrupt)
{
    if (!m_backend) return NotOpen();
    return m_backend->Configure(baudRate, parity, interrupt);
}

void SerialDevice::Purge(PurgeWhat what)
{
    if (m_backend) m_backend->Purge(what);
}

Result<std::size_t> SerialDevice::WriteSome(std::span<const std::uint8_t> chunk, int timeoutMs)
{
    if (!m_backend) return NotOpen();
    return m_backend->WriteSome(chunk, timeoutMs);
}

Result<std::size_t> SerialDevice::WaitRead(std::span<std::uint8_t> buffer, const StopSignal& stop)
{
    if (!m_backend) return NotOpen();
    return m_backend->WaitRead(buffer, stop);
}

int SerialDevice::Fd() const { return m_backend ? m_backend->Fd() : -1; }

}  // namespace platform
