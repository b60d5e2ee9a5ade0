#include "platform/SerialBackend.h"
#include "platform/TtyLineSpeed.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <span>

#include "platform/StopSignal.h"

namespace platform {

namespace {

struct LineSpeed {
    int rate;
    speed_t speed;
};

constexpr LineSpeed kLineSpeeds[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool SpeedOf(int baudRate, speed_t* speed)
{
    for (const LineSpeed& s : kLineSpeeds) {
        if (s.rate == baudRate) {
            *speed = s.speed;
            return true;
        }
    }
    return false;
}

// poll() with a monotonic deadline; EINTR restarts it with the time that is left.
int PollFor(pollfd* fds, nfds_t count, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = left > 0 ? static_cast<int>(left) : 0;
        }
        const int n = ::poll(fds, count, wait);
        if (n >= 0 || errno != EINTR) return n;
    }
}

// A pseudo-terminal keeps PARODD but drops PARENB, and the C library reports EINVAL for a
// tcsetattr that changed nothing it can read back. Asking again for the same odd or even line
// therefore fails although the device already holds every part it can keep: accept that.
SerialError TimedOut(const std::string& path) { return ErrorOf(ETIMEDOUT, path, "write timed out"); }

bool AlreadyHeld(int fd, const termios& wanted)
{
    if (errno != EINVAL) return false;
    termios now{};
    if (::tcgetattr(fd, &now) != 0) return false;
    const tcflag_t kept = CSIZE | CSTOPB | PARODD | CLOCAL | CREAD | CRTSCTS;
    return (now.c_cflag & kept) == (wanted.c_cflag & kept) && now.c_iflag == wanted.c_iflag
        && ::cfgetospeed(&now) == ::cfgetospeed(&wanted) && ::cfgetispeed(&now) == ::cfgetispeed(&wanted);
}

// An open tty: the descriptor, locked and in exclusive mode, and the line settings it had before,
// given back when it closes (as a terminal program leaves a port as it found it).
class TtyDevice final : public SerialBackend {
public:
    TtyDevice(int fd, std::string path, const termios& before)
        : m_fd(fd)
        , m_path(std::move(path))
        , m_before(before)
    { }
    ~TtyDevice() override;
    TtyDevice(const TtyDevice&) = delete;
    TtyDevice& operator=(const TtyDevice&) = delete;

    Result<> Configure(int baudRate, int parity, const StopSignal* interrupt) override;
    void Purge(SerialDevice::PurgeWhat what) override;
    Result<std::size_t> WriteSome(std::span<const std::uint8_t> chunk, int timeoutMs) override;
    Result<std::size_t> WaitRead(std::span<std::uint8_t> buffer, const StopSignal& stop) override;
    int Fd() const override { return m_fd; }

private:
    int m_fd;
    std::string m_path;
    termios m_before;
    bool m_configured = false;
};

}  // namespace

bool SetLineSpeed(termios* t, int baudRate)
{
    speed_t speed{};
    if (!SpeedOf(baudRate, &speed)) return false;
    termios changed = *t;
    if (::cfsetispeed(&changed, speed) != 0 || ::cfsetospeed(&changed, speed) != 0) return false;
    *t = changed;
    return true;
}

int LineSpeedOf(const termios& t)
{
    const speed_t speed = ::cfgetospeed(&t);
    for (const LineSpeed& s : kLineSpeeds) {
        if (s.speed == speed) return s.rate;
    }
    return 0;
}

Result<std::unique_ptr<SerialBackend>> OpenTty(const std::string& devicePath)
{
    const int f = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (f < 0) return ErrorOf(errno, devicePath);
    termios probe{};
    if (::tcgetattr(f, &probe) != 0) {
        const SerialError error = ErrorOf(ENOTTY, devicePath);
        ::close(f);
        return error;
    }
    // The lock keeps out every other opener that locks too, this process included, root included.
    if (::flock(f, LOCK_EX | LOCK_NB) != 0) {
        const SerialError error = ErrorOf(errno, devicePath);
        ::close(f);
        return error;
    }
    // Exclusive mode makes open() itself fail for other (non-root) programs that do not lock.
    if (::ioctl(f, TIOCEXCL) != 0) {
        const SerialError error = ErrorOf(errno, devicePath);
        ::close(f);
        return error;
    }
    return std::unique_ptr<SerialBackend>(std::make_unique<TtyDevice>(f, devicePath, probe));
}

TtyDevice::~TtyDevice()
{
    // At once, not after draining: a peer that stopped reading would hold the close for ever. A
    // device that went away refuses, and has nothing to restore.
    if (m_configured) ::tcsetattr(m_fd, TCSANOW, &m_before);
    // Exclusive mode stays on the tty while anyone else holds it open; give it back before closing.
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
}

// A tty never waits here: there is nothing to interrupt.
Result<> TtyDevice::Configure(int baudRate, int parity, const StopSignal* /*interrupt*/)
{
    speed_t speed{};
    if (!SpeedOf(baudRate, &speed))
        return ErrorOf(EINVAL, m_path, "baud rate " + std::to_string(baudRate) + " not supported");
    if (parity < 0 || parity > 2) return ErrorOf(EINVAL, m_path, "parity " + std::to_string(parity) + " not supported");
    termios t{};
    if (::tcgetattr(m_fd, &t) != 0) return ErrorOf(errno, m_path);
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    // No input parity check: with it the tty would turn a byte that came with a parity or framing
    // error into 0x00; the module link passes such a byte on as it came.
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | ISTRIP);
    if (parity != 0) t.c_cflag |= PARENB | (parity == 1 ? PARODD : 0);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (!SetLineSpeed(&t, baudRate)) return ErrorOf(errno, m_path);
    m_configured = true;
    if (::tcsetattr(m_fd, TCSANOW, &t) != 0 && !AlreadyHeld(m_fd, t)) return ErrorOf(errno, m_path);
    // tcsetattr succeeds when any part was taken; the rate is the part a driver may refuse.
    termios check{};
    if (::tcgetattr(m_fd, &check) != 0 || ::cfgetospeed(&check) != speed)
        return ErrorOf(EINVAL, m_path, "baud rate " + std::to_string(baudRate) + " refused by the device");
    // Hold DTR and RTS off. Pseudo-terminals have no modem lines; that is no failure.
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(m_fd, TIOCMBIC, &lines) != 0 && errno != ENOTTY && errno != EINVAL) return ErrorOf(errno, m_path);
    return {};
}

void TtyDevice::Purge(SerialDevice::PurgeWhat what)
{
    const int queue = what == SerialDevice::kPurgeInput ? TCIFLUSH
        : what == SerialDevice::kPurgeOutput            ? TCOFLUSH
                                                        : TCIOFLUSH;
    ::tcflush(m_fd, queue);
}

Result<std::size_t> TtyDevice::WriteSome(std::span<const std::uint8_t> chunk, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left < 0) return TimedOut(m_path);
        pollfd p{m_fd, POLLOUT, 0};
        const int n = PollFor(&p, 1, static_cast<int>(left));
        if (n < 0) return ErrorOf(errno, m_path);
        if (n == 0) return TimedOut(m_path);
        if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return ErrorOf(EIO, m_path);
        const ssize_t w = ::write(m_fd, chunk.data(), chunk.size());
        if (w >= 0) return static_cast<std::size_t>(w);
        if (errno == EAGAIN || errno == EINTR) continue;
        return ErrorOf(errno, m_path);
    }
}

Result<std::size_t> TtyDevice::WaitRead(std::span<std::uint8_t> buffer, const StopSignal& stop)
{
    pollfd p[2] = {{stop.Fd(), POLLIN, 0}, {m_fd, POLLIN, 0}};
    if (PollFor(p, 2, -1) < 0) return ErrorOf(errno, m_path);
    if ((p[0].revents & POLLIN) != 0) return std::size_t{0};
    const short r = p[1].revents;
    // Whatever way the device reports that it is gone, the reader is told "device hung up".
    const SerialError gone = ErrorOf(EIO, m_path);
    if ((r & POLLNVAL) != 0) return gone;
    if ((r & (POLLIN | POLLHUP | POLLERR)) == 0) return std::size_t{0};
    // Bytes still queued are passed on before a hang-up is reported.
    const ssize_t n = ::read(m_fd, buffer.data(), buffer.size());
    if (n > 0) return static_cast<std::size_t>(n);
    const int err = errno;
    const bool hangUp = (r & (POLLHUP | POLLERR)) != 0;
    if (hangUp || (n < 0 && (err == EIO || err == ENXIO || err == ENODEV))) return gone;
    // Another reader of the same device may have taken the bytes the wake-up announced.
    if (n == 0 || err == EAGAIN || err == EINTR) return std::size_t{0};
    return ErrorOf(err, m_path);
}

}  // namespace platform
