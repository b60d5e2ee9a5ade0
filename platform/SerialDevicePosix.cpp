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

#include "platform/StopSignal.h"

namespace platform {

namespace {

void Fill(SerialError* error, int err, const std::string& device, std::string reason = {})
{
    if (error != nullptr) *error = ErrorOf(err, device, std::move(reason));
}

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
bool AlreadyHeld(int fd, const termios& wanted)
{
    if (errno != EINVAL) return false;
    termios now{};
    if (::tcgetattr(fd, &now) != 0) return false;
    const tcflag_t kept = CSIZE | CSTOPB | PARODD | CLOCAL | CREAD | CRTSCTS;
    return (now.c_cflag & kept) == (wanted.c_cflag & kept) && now.c_iflag == wanted.c_iflag
        && ::cfgetospeed(&now) == ::cfgetospeed(&wanted) && ::cfgetispeed(&now) == ::cfgetispeed(&wanted);
}

// An open tty: the descriptor, locked and in exclusive mode.
class TtyDevice final : public SerialBackend {
public:
    TtyDevice(int fd, std::string path)
        : m_fd(fd)
        , m_path(std::move(path))
    { }
    ~TtyDevice() override;
    TtyDevice(const TtyDevice&) = delete;
    TtyDevice& operator=(const TtyDevice&) = delete;

    bool Configure(int baudRate, int parity, SerialError* error) override;
    void Purge(SerialDevice::PurgeWhat what) override;
    SerialDevice::IoResult WriteSome(const std::uint8_t* data, std::size_t count, int timeoutMs, std::size_t* written,
                                     SerialError* error) override;
    SerialDevice::IoResult WaitRead(std::uint8_t* buffer, std::size_t capacity, const StopSignal& stop,
                                    std::size_t* got) override;
    int Fd() const override { return m_fd; }

private:
    int m_fd;
    std::string m_path;
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

std::unique_ptr<SerialBackend> OpenTty(const std::string& devicePath, SerialError* error)
{
    const int f = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (f < 0) {
        Fill(error, errno, devicePath);
        return nullptr;
    }
    termios probe{};
    if (::tcgetattr(f, &probe) != 0) {
        Fill(error, ENOTTY, devicePath);
        ::close(f);
        return nullptr;
    }
    // The lock keeps out every other opener that locks too, this process included, root included.
    if (::flock(f, LOCK_EX | LOCK_NB) != 0) {
        Fill(error, errno, devicePath);
        ::close(f);
        return nullptr;
    }
    // Exclusive mode makes open() itself fail for other (non-root) programs that do not lock.
    if (::ioctl(f, TIOCEXCL) != 0) {
        Fill(error, errno, devicePath);
        ::close(f);
        return nullptr;
    }
    return std::make_unique<TtyDevice>(f, devicePath);
}

TtyDevice::~TtyDevice()
{
    // Exclusive mode stays on the tty while anyone else holds it open; give it back before closing.
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
}

bool TtyDevice::Configure(int baudRate, int parity, SerialError* error)
{
    speed_t speed{};
    if (!SpeedOf(baudRate, &speed)) {
        Fill(error, EINVAL, m_path, "baud rate " + std::to_string(baudRate) + " not supported");
        return false;
    }
    if (parity < 0 || parity > 2) {
        Fill(error, EINVAL, m_path, "parity " + std::to_string(parity) + " not supported");
        return false;
    }
    termios t{};
    if (::tcgetattr(m_fd, &t) != 0) {
        Fill(error, errno, m_path);
        return false;
    }
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    if (parity != 0) {
        t.c_cflag |= PARENB | (parity == 1 ? PARODD : 0);
        t.c_iflag |= INPCK;
    }
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (!SetLineSpeed(&t, baudRate)) {
        Fill(error, errno, m_path);
        return false;
    }
    if (::tcsetattr(m_fd, TCSANOW, &t) != 0 && !AlreadyHeld(m_fd, t)) {
        Fill(error, errno, m_path);
        return false;
    }
    // tcsetattr succeeds when any part was taken; the rate is the part a driver may refuse.
    termios check{};
    if (::tcgetattr(m_fd, &check) != 0 || ::cfgetospeed(&check) != speed) {
        Fill(error, EINVAL, m_path, "baud rate " + std::to_string(baudRate) + " refused by the device");
        return false;
    }
    // Hold DTR and RTS off. Pseudo-terminals have no modem lines; that is no failure.
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(m_fd, TIOCMBIC, &lines) != 0 && errno != ENOTTY && errno != EINVAL) {
        Fill(error, errno, m_path);
        return false;
    }
    return true;
}

void TtyDevice::Purge(SerialDevice::PurgeWhat what)
{
    const int queue = what == SerialDevice::kPurgeInput ? TCIFLUSH
        : what == SerialDevice::kPurgeOutput            ? TCOFLUSH
                                                        : TCIOFLUSH;
    ::tcflush(m_fd, queue);
}

SerialDevice::IoResult TtyDevice::WriteSome(const std::uint8_t* data, std::size_t count, int timeoutMs,
                                            std::size_t* written, SerialError* error)
{
    using IoResult = SerialDevice::IoResult;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left < 0) return IoResult::kTimeout;
        pollfd p{m_fd, POLLOUT, 0};
        const int n = PollFor(&p, 1, static_cast<int>(left));
        if (n < 0) {
            Fill(error, errno, m_path);
            return IoResult::kError;
        }
        if (n == 0) return IoResult::kTimeout;
        if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            Fill(error, EIO, m_path);
            return IoResult::kHungUp;
        }
        const ssize_t w = ::write(m_fd, data, count);
        if (w >= 0) {
            *written = static_cast<std::size_t>(w);
            return IoResult::kDone;
        }
        const int err = errno;
        if (err == EAGAIN || err == EINTR) continue;
        Fill(error, err, m_path);
        return err == EIO || err == ENXIO || err == ENODEV ? IoResult::kHungUp : IoResult::kError;
    }
}

SerialDevice::IoResult TtyDevice::WaitRead(std::uint8_t* buffer, std::size_t capacity, const StopSignal& stop,
                                           std::size_t* got)
{
    using IoResult = SerialDevice::IoResult;
    pollfd p[2] = {{stop.Fd(), POLLIN, 0}, {m_fd, POLLIN, 0}};
    if (PollFor(p, 2, -1) < 0) return IoResult::kError;
    if ((p[0].revents & POLLIN) != 0) return IoResult::kStopped;
    const short r = p[1].revents;
    if ((r & POLLNVAL) != 0) return IoResult::kHungUp;
    if ((r & (POLLIN | POLLHUP | POLLERR)) == 0) return IoResult::kDone;
    // Bytes still queued are passed on before a hang-up is reported.
    const ssize_t n = ::read(m_fd, buffer, capacity);
    if (n > 0) {
        *got = static_cast<std::size_t>(n);
        return IoResult::kDone;
    }
    const bool hangUp = (r & (POLLHUP | POLLERR)) != 0;
    if (n == 0) return hangUp ? IoResult::kHungUp : IoResult::kDone;
    if (errno == EIO || errno == ENXIO || errno == ENODEV) return IoResult::kHungUp;
    // Another reader of the same device may have taken the bytes the wake-up announced.
    if (errno == EAGAIN || errno == EINTR) return hangUp ? IoResult::kHungUp : IoResult::kDone;
    return hangUp ? IoResult::kHungUp : IoResult::kError;
}

}  // namespace platform
