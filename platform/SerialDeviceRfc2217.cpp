// A serial port on another machine, reached over TCP with Telnet and its COM-PORT-OPTION, as a serial
// port server offers it. Plain sockets, not a toolkit's network classes: this layer links the system
// alone, and the receive thread above blocks in poll() on a descriptor, which a socket is.
//
// One thread at a time reads the socket (the receive thread in WaitRead, or a caller waiting for the
// server's acknowledgements while no one else reads); whatever it decodes (data, acknowledgements,
// a hang-up) is kept for the others. Modem lines are never asked for: a server in front of a
// pseudo-terminal does not answer for them.

#include "platform/SerialBackend.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/NetworkLookup.h"
#include "platform/StopSignal.h"
#include "protocol/NetworkPortUrl.h"
#include "protocol/TelnetCodec.h"
#include "protocol/TelnetNegotiation.h"

namespace platform {

namespace {

namespace tn = protocol::telnet;
using Clock = std::chrono::steady_clock;

constexpr int kConnectMs = 3000;      // the host's lookup and the TCP connection
constexpr int kNegotiationMs = 2000;  // the server's Telnet answers once connected
constexpr int kAcknowledgeMs = 2000;  // the server's acknowledgement of the line settings
constexpr int kControlWriteMs = 1000;
constexpr std::size_t kMaxPending = 4096;  // data kept while nobody reads, as a driver's input queue

int MsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The connection is gone; IsGone() holds for it.
SerialError Gone(const std::string& url, const std::string& reason) { return ErrorOf(EIO, url, reason); }

SerialError Cancelled(const std::string& url) { return ErrorOf(ECANCELED, url, "cancelled"); }

int FdOf(const StopSignal* signal) { return signal != nullptr ? signal->Fd() : -1; }

void KeepAlive(int fd)
{
    // A dropped network is noticed within seconds even while nothing is sent: three unanswered probes
    // a second apart after two idle seconds, and sent bytes unacknowledged for five seconds.
    const int yes = 1;
    const int idle = 2;
    const int interval = 1;
    const int count = 3;
    const unsigned userTimeoutMs = 5000;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &yes, sizeof yes);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeoutMs, sizeof userTimeoutMs);
}

// One non-blocking connection attempt, finished by the deadline or the interrupt: the socket, or the errno.
Result<int> ConnectOne(const ResolvedAddress& address, Clock::time_point deadline, const std::string& url,
                       const StopSignal* interrupt)
{
    const int fd = ::socket(address.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return ErrorOf(errno, url);
    int err = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address.address), address.length) != 0) {
        err = errno;
        if (err == EINPROGRESS) {
            pollfd p[2] = {{fd, POLLOUT, 0}, {FdOf(interrupt), POLLIN, 0}};
            int n = 0;
            while ((n = ::poll(p, interrupt != nullptr ? 2 : 1, MsLeft(deadline))) < 0 && errno == EINTR) { }
            socklen_t size = sizeof err;
            if (n == 0)
                err = ETIMEDOUT;
            else if (n > 0 && (p[1].revents & POLLIN) != 0)
                err = ECANCELED;
            else if (n < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &size) != 0)
                err = errno;
        }
    }
    if (err == 0) return fd;
    ::close(fd);
    if (err == ECANCELED) return Cancelled(url);
    const std::string reason = err == ETIMEDOUT ? "no answer from the host"
        : err == ECONNREFUSED                   ? "connection refused"
                                                : std::strerror(err);
    return ErrorOf(err, url, reason);
}

class NetworkDevice final : public SerialBackend {
public:
    NetworkDevice(int fd, std::string url)
        : m_fd(fd)
        , m_url(std::move(url))
    { }
    ~NetworkDevice() override { ::close(m_fd); }
    NetworkDevice(const NetworkDevice&) = delete;
    NetworkDevice& operator=(const NetworkDevice&) = delete;

    // Our option requests, then the server's answers until BINARY and COM-PORT-OPTION are on.
    Result<> Negotiate(const StopSignal* interrupt);

    Result<> Configure(int baudRate, int parity, const StopSignal* interrupt) override;
    void Purge(SerialDevice::PurgeWhat what) override;
    Result<std::size_t> WriteSome(std::span<const std::uint8_t> chunk, int timeoutMs) override;
    Result<std::size_t> WaitRead(std::span<std::uint8_t> buffer, const StopSignal& stop) override;
    int Fd() const override { return m_fd; }

private:
    // Reads once what the socket has, waiting at most timeoutMs (-1: no limit) or until stopFd is
    // readable; decodes it and answers the server's option commands. Only with m_readLock held.
    // False when stopFd ended the wait.
    bool Pump(int timeoutMs, int stopFd);
    void Decode(std::span<const std::uint8_t> bytes);
    void Fail(SerialError error);
    // Waits until ready() holds (asked under m_stateLock), reading the socket itself while no one
    // else does; fails with the connection's failure, with `late` at the deadline, or as cancelled
    // once interrupt is set.
    template <typename Ready>
    Result<> WaitUntil(Ready ready, int timeoutMs, const SerialError& late, const StopSignal* interrupt);
    // Sends the bytes whole (commands must never be cut), after a 0xFF still owed to the data.
    Result<> SendControl(std::span<const std::uint8_t> bytes);
    // Sends what the socket takes until the deadline: the count sent. Only with m_writeLock held.
    Result<std::size_t> SendUntil(std::span<const std::uint8_t> bytes, Clock::time_point deadline);
    Result<> PayOwedIac(Clock::time_point deadline);

    const int m_fd;
    const std::string m_url;

    std::mutex m_readLock;  // held by the one thread that reads the socket
    std::mutex m_stateLock;
    std::condition_variable m_changed;
    tn::Decoder m_decoder;
    tn::Negotiation m_negotiation;
    std::vector<std::uint8_t> m_pending;                     // data read, not yet handed out
    std::array<std::optional<std::uint32_t>, 13> m_answers;  // the server's last answer per client code
    std::optional<SerialError> m_failure;                    // the connection failed for good

    std::mutex m_writeLock;
    bool m_owedIac = false;  // the second 0xFF of an escaped data byte the socket did not take
};

bool NetworkDevice::Pump(int timeoutMs, int stopFd)
{
    pollfd p[2] = {{m_fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    const int n = ::poll(p, stopFd >= 0 ? 2 : 1, timeoutMs);
    if (n < 0 && errno != EINTR) Fail(Gone(m_url, std::strerror(errno)));
    if (n <= 0) return true;
    if ((p[1].revents & POLLIN) != 0) return false;
    std::array<std::uint8_t, 1024> buffer;
    const ssize_t got = ::recv(m_fd, buffer.data(), buffer.size(), 0);
    if (got > 0) {
        Decode(std::span(buffer.data(), static_cast<std::size_t>(got)));
    } else if (got == 0) {
        Fail(Gone(m_url, "the server closed the connection"));
    } else if (errno != EAGAIN && errno != EINTR) {
        Fail(Gone(m_url, std::string("connection lost: ") + std::strerror(errno)));
    }
    return true;
}

void NetworkDevice::Decode(std::span<const std::uint8_t> bytes)
{
    std::vector<std::uint8_t> data;
    std::vector<tn::Event> events;
    std::vector<std::uint8_t> answers;
    std::optional<SerialError> failure;
    {
        std::lock_guard guard(m_stateLock);
        m_decoder.Feed(bytes, data, events);
        const bool ready = m_negotiation.Status() == tn::Negotiation::State::Ready;
        for (const tn::Event& e : events) {
            if (e.kind == tn::Event::Kind::Option) {
                if (const auto answer = m_negotiation.Receive(e.verb, e.option))
                    answers.insert(answers.end(), answer->begin(), answer->end());
            } else if (e.kind == tn::Event::Kind::ComPort) {
                const std::size_t code = e.code - tn::kServerCode;
                if (code < m_answers.size()) m_answers[code] = e.value;
            } else if (!failure) {
                // A server that breaks the framing cannot be trusted with the module's bytes.
                failure = ready ? Gone(m_url, "the server broke the Telnet protocol")
                                : ErrorOf(EPROTO, m_url, "not a Telnet server");
            }
        }
        if (!data.empty() && !m_decoder.SeenNegotiation() && !failure)
            failure = ErrorOf(EPROTO, m_url, "not a Telnet server");
        const std::size_t room = kMaxPending - std::min(kMaxPending, m_pending.size());
        m_pending.insert(m_pending.end(), data.begin(),
                         data.begin() + static_cast<std::ptrdiff_t>(std::min(room, data.size())));
    }
    m_changed.notify_all();
    if (failure) Fail(*failure);
    if (!answers.empty()) static_cast<void>(SendControl(answers));
}

void NetworkDevice::Fail(SerialError error)
{
    {
        std::lock_guard guard(m_stateLock);
        if (!m_failure) m_failure = std::move(error);
    }
    m_changed.notify_all();
}

template <typename Ready>
Result<> NetworkDevice::WaitUntil(Ready ready, int timeoutMs, const SerialError& late, const StopSignal* interrupt)
{
    constexpr int kSliceMs = 50;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::unique_lock state(m_stateLock);
            if (m_failure) return *m_failure;
            if (ready()) return {};
            if (Clock::now() >= deadline) return late;
        }
        if (interrupt != nullptr && interrupt->IsSet()) return Cancelled(m_url);
        const int slice = std::min(kSliceMs, MsLeft(deadline));
        if (std::unique_lock reading(m_readLock, std::try_to_lock); reading.owns_lock()) {
            if (!Pump(slice, FdOf(interrupt))) return Cancelled(m_url);
        } else {
            // The receive thread reads; it wakes us with what it decoded.
            std::unique_lock state(m_stateLock);
            m_changed.wait_for(state, std::chrono::milliseconds(slice));
        }
    }
}

Result<> NetworkDevice::Negotiate(const StopSignal* interrupt)
{
    std::vector<std::uint8_t> opening;
    {
        std::lock_guard guard(m_stateLock);
        opening = m_negotiation.Start();
    }
    if (const Result<> sent = SendControl(opening); !sent) return sent.Error();
    const Result<> ready
        = WaitUntil([this] { return m_negotiation.Status() != tn::Negotiation::State::Negotiating; }, kNegotiationMs,
                    ErrorOf(ETIMEDOUT, m_url, "no Telnet answer from the server"), interrupt);
    if (!ready) return ready.Error();
    std::lock_guard guard(m_stateLock);
    if (const auto refused = m_negotiation.RefusedOption())
        return ErrorOf(EPROTO, m_url,
                       *refused == tn::kOptionComPort ? "the server offers no serial port control"
                                                      : "the server refused binary transmission");
    return {};
}

Result<> NetworkDevice::Configure(int baudRate, int parity, const StopSignal* interrupt)
{
    if (baudRate <= 0) return ErrorOf(EINVAL, m_url, "baud rate " + std::to_string(baudRate) + " not supported");
    if (parity < 0 || parity > 2) return ErrorOf(EINVAL, m_url, "parity " + std::to_string(parity) + " not supported");
    const auto wantedParity = static_cast<std::uint32_t>(parity == 0       ? tn::Parity::None
                                                             : parity == 1 ? tn::Parity::Odd
                                                                           : tn::Parity::Even);
    const auto rate = static_cast<std::uint32_t>(baudRate);
    {
        std::lock_guard guard(m_stateLock);
        for (std::uint8_t code : {tn::kSetBaudRate, tn::kSetDataSize, tn::kSetParity, tn::kSetStopSize})
            m_answers[code].reset();
    }
    std::vector<std::uint8_t> commands = tn::SetBaudRate(rate);
    for (const auto& command :
         {tn::SetDataSize(8), tn::SetParity(static_cast<tn::Parity>(wantedParity)), tn::SetStopSize(tn::StopBits::One)})
        commands.insert(commands.end(), command.begin(), command.end());
    if (const Result<> sent = SendControl(commands); !sent) return sent.Error();
    const Result<> answered = WaitUntil(
        [this] {
            return m_answers[tn::kSetBaudRate] && m_answers[tn::kSetDataSize] && m_answers[tn::kSetParity]
                && m_answers[tn::kSetStopSize];
        },
        kAcknowledgeMs, ErrorOf(ETIMEDOUT, m_url, "the server did not acknowledge the line settings"), interrupt);
    if (!answered) return answered.Error();
    std::lock_guard guard(m_stateLock);
    if (*m_answers[tn::kSetBaudRate] != rate)
        return ErrorOf(EINVAL, m_url, "baud rate " + std::to_string(baudRate) + " refused by the server");
    if (*m_answers[tn::kSetParity] != wantedParity) return ErrorOf(EINVAL, m_url, "parity refused by the server");
    if (*m_answers[tn::kSetDataSize] != 8 || *m_answers[tn::kSetStopSize] != 1)
        return ErrorOf(EINVAL, m_url, "8 data bits and 1 stop bit refused by the server");
    return {};
}

void NetworkDevice::Purge(SerialDevice::PurgeWhat what)
{
    if (what != SerialDevice::kPurgeOutput) {
        std::lock_guard guard(m_stateLock);
        m_pending.clear();
    }
    const tn::Purge server = what == SerialDevice::kPurgeInput ? tn::Purge::Receive
        : what == SerialDevice::kPurgeOutput                   ? tn::Purge::Transmit
                                                               : tn::Purge::Both;
    // The acknowledgement is not awaited: nothing depends on it.
    static_cast<void>(SendControl(tn::PurgeData(server)));
}

Result<std::size_t> NetworkDevice::SendUntil(std::span<const std::uint8_t> bytes, Clock::time_point deadline)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        pollfd p{m_fd, POLLOUT, 0};
        const int n = ::poll(&p, 1, MsLeft(deadline));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Gone(m_url, std::strerror(errno));
        if (n == 0) break;
        const ssize_t w = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (w >= 0) {
            sent += static_cast<std::size_t>(w);
        } else if (errno != EAGAIN && errno != EINTR) {
            return Gone(m_url, std::string("connection lost: ") + std::strerror(errno));
        }
    }
    return sent;
}

Result<> NetworkDevice::PayOwedIac(Clock::time_point deadline)
{
    if (!m_owedIac) return {};
    const std::array<std::uint8_t, 1> iac = {tn::kIac};
    const Result<std::size_t> sent = SendUntil(iac, deadline);
    if (!sent) return sent.Error();
    if (*sent == 0) return ErrorOf(ETIMEDOUT, m_url, "write timed out");
    m_owedIac = false;
    return {};
}

Result<> NetworkDevice::SendControl(std::span<const std::uint8_t> bytes)
{
    {
        std::lock_guard guard(m_stateLock);
        if (m_failure) return *m_failure;
    }
    std::lock_guard guard(m_writeLock);
    const auto deadline = Clock::now() + std::chrono::milliseconds(kControlWriteMs);
    Result<> paid = PayOwedIac(deadline);
    const Result<std::size_t> sent = paid ? SendUntil(bytes, deadline) : Result<std::size_t>(paid.Error());
    if (sent && *sent == bytes.size()) return {};
    // A command cut short leaves the stream without framing: the connection is of no further use.
    const SerialError error = sent ? Gone(m_url, "the server takes no more data") : sent.Error();
    Fail(error);
    return error;
}

Result<std::size_t> NetworkDevice::WriteSome(std::span<const std::uint8_t> chunk, int timeoutMs)
{
    {
        std::lock_guard guard(m_stateLock);
        if (m_failure) return *m_failure;
    }
    std::lock_guard guard(m_writeLock);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (const Result<> paid = PayOwedIac(deadline); !paid) return paid.Error();
    std::vector<std::uint8_t> escaped;
    tn::AppendData(escaped, chunk);
    const Result<std::size_t> sent = SendUntil(escaped, deadline);
    if (!sent) {
        Fail(sent.Error());
        return sent.Error();
    }
    // Count the chunk's bytes that went out; a 0xFF whose first half went is written, its second owed.
    std::size_t taken = 0;
    std::size_t at = 0;
    while (taken < chunk.size() && at < *sent) {
        at += chunk[taken] == tn::kIac ? std::size_t{2} : std::size_t{1};
        ++taken;
    }
    m_owedIac = at > *sent;
    if (taken == 0 && !chunk.empty()) return ErrorOf(ETIMEDOUT, m_url, "write timed out");
    return taken;
}

Result<std::size_t> NetworkDevice::WaitRead(std::span<std::uint8_t> buffer, const StopSignal& stop)
{
    std::lock_guard reading(m_readLock);
    for (;;) {
        {
            std::lock_guard guard(m_stateLock);
            if (!m_pending.empty()) {
                const std::size_t n = std::min(buffer.size(), m_pending.size());
                std::copy_n(m_pending.begin(), n, buffer.begin());
                m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(n));
                return n;
            }
            // Bytes that came before a hang-up are handed out first, as from a tty.
            if (m_failure) return *m_failure;
        }
        if (!Pump(-1, stop.Fd())) return std::size_t{0};
    }
}

}  // namespace

Result<std::unique_ptr<SerialBackend>> OpenNetworkPort(const std::string& url, const StopSignal* interrupt)
{
    const std::optional<protocol::NetworkPortUrl> address = protocol::ParseNetworkPortUrl(url);
    if (!address) return ErrorOf(EINVAL, url, "not a network port: rfc2217://HOST:PORT expected");
    const auto deadline = Clock::now() + std::chrono::milliseconds(kConnectMs);
    const Result<std::vector<ResolvedAddress>> found = LookUp(address->host, address->port, kConnectMs, interrupt);
    if (!found) return ErrorOf(found.Error().errnoValue, url, found.Error().reason);
    SerialError last = ErrorOf(EHOSTUNREACH, url, "no address for the host");
    for (const ResolvedAddress& candidate : *found) {
        const Result<int> connected = ConnectOne(candidate, deadline, url, interrupt);
        if (!connected) {
            if (connected.Error().errnoValue == ECANCELED) return connected.Error();
            last = connected.Error();
            continue;
        }
        KeepAlive(*connected);
        auto device = std::make_unique<NetworkDevice>(*connected, url);
        if (const Result<> negotiated = device->Negotiate(interrupt); !negotiated) return negotiated.Error();
        return std::unique_ptr<SerialBackend>(std::move(device));
    }
    return last;
}

}  // namespace platform
