#include "platform/SerialDevice.h"

#include <cerrno>

#include "platform/SerialBackend.h"

namespace platform {

namespace {

void NotOpen(SerialError* error, const std::string& path)
{
    if (error != nullptr) *error = ErrorOf(EBADF, path, "not open");
}

}  // namespace

SerialDevice::SerialDevice() = default;

SerialDevice::~SerialDevice() { Close(); }

bool SerialDevice::Open(const std::string& devicePath, SerialError* error)
{
    Close();
    // Every path names a tty; another kind of device is one more back-end, chosen here by its path.
    m_backend = OpenTty(devicePath, error);
    if (!m_backend) return false;
    m_path = devicePath;
    return true;
}

void SerialDevice::Close()
{
    m_backend.reset();
    m_path.clear();
    m_driver = {};
}

bool SerialDevice::SetQueueSizes(std::size_t inputBytes, std::size_t outputBytes)
{
    if (!m_backend) return false;
    m_driver.inputQueue = inputBytes;
    m_driver.outputQueue = outputBytes;
    return true;
}

bool SerialDevice::SetEventMask(std::uint32_t mask)
{
    if (!m_backend) return false;
    m_driver.eventMask = mask;
    return true;
}

bool SerialDevice::SetTimeouts(const Timeouts& timeouts)
{
    if (!m_backend) return false;
    m_driver.timeouts = timeouts;
    return true;
}

bool SerialDevice::Configure(int baudRate, int parity, SerialError* error)
{
    if (!m_backend) {
        NotOpen(error, m_path);
        return false;
    }
    return m_backend->Configure(baudRate, parity, error);
}

void SerialDevice::Purge(PurgeWhat what)
{
    if (m_backend) m_backend->Purge(what);
}

SerialDevice::IoResult SerialDevice::WriteSome(const std::uint8_t* data, std::size_t count, int timeoutMs,
                                               std::size_t* written, SerialError* error)
{
    *written = 0;
    if (!m_backend) {
        NotOpen(error, m_path);
        return IoResult::kError;
    }
    return m_backend->WriteSome(data, count, timeoutMs, written, error);
}

SerialDevice::IoResult SerialDevice::WaitRead(std::uint8_t* buffer, std::size_t capacity, const StopSignal& stop,
                                              std::size_t* got)
{
    *got = 0;
    if (!m_backend) return IoResult::kHungUp;
    return m_backend->WaitRead(buffer, capacity, stop, got);
}

int SerialDevice::Fd() const { return m_backend ? m_backend->Fd() : -1; }

}  // namespace platform
