#include "model/NetworkServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/StopSignal.h"
#include "platform/TtyLineSpeed.h"
#include "protocol/ModuleFrame.h"
#include "protocol/TelnetCodec.h"
#include "protocol/TelnetNegotiation.h"
#include "protocol/TelnetServer.h"

namespace modsim {

namespace tn = protocol::telnet;

namespace {

bool Supported(std::uint32_t baudRate)
{
    termios t{};
    return baudRate <= 4000000 && platform::SetLineSpeed(&t, static_cast<int>(baudRate));
}

// Writes everything, waiting at most a second for room each time; false when the peer takes nothing.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t count)
{
    while (count > 0) {
        pollfd p{fd, POLLOUT, 0};
        const int n = ::poll(&p, 1, 1000);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        const ssize_t w = ::send(fd, data, count, MSG_NOSIGNAL);
        const ssize_t written = w < 0 && errno == ENOTSOCK ? ::write(fd, data, count) : w;
        if (written < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            return false;
        }
        data += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

int QueueOf(tn::Purge what)
{
    return what == tn::Purge::Receive ? TCIFLUSH : what == tn::Purge::Transmit ? TCOFLUSH : TCIOFLUSH;
}

}  // namespace

struct NetworkServer::Impl {
    std::string devicePath;
    std::function<void(const std::string&)> log;
    platform::StopSignal stop;
    std::thread server;
    int listener = -1;
    int port = 0;
    // The connection being served, and the pseudo-terminal opened for it.
    int client = -1;
    int line = -1;
    tn::Decoder decoder{tn::Decoder::From::Client};
    tn::Negotiation negotiation{tn::Negotiation::Role::Server};
    tn::ServerLine lineSettings;

    void Log(const std::string& text) const
    {
        if (log) log(text);
    }

    bool Listen(int wanted, std::string* error)
    {
        listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        const int yes = 1;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(wanted));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (listener < 0 || ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0
            || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(listener, 4) != 0
            || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            *error = "cannot listen on 127.0.0.1:" + std::to_string(wanted) + ": " + std::strerror(errno);
            if (listener >= 0) ::close(listener);
            listener = -1;
            return false;
        }
        port = ntohs(address.sin_port);
        return true;
    }

    // The line as the client set it: raw, 8 data bits, 1 stop bit, its rate and parity.
    void ApplyLine() const
    {
        termios t{};
        if (::tcgetattr(line, &t) != 0) return;
        ::cfmakeraw(&t);
        t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | PARODD);
        t.c_cflag |= CLOCAL | CREAD;
        if (lineSettings.parity != tn::Parity::None)
            t.c_cflag |= PARENB | (lineSettings.parity == tn::Parity::Odd ? PARODD : 0);
        platform::SetLineSpeed(&t, static_cast<int>(lineSettings.baudRate));
        ::tcsetattr(line, TCSANOW, &t);
    }

    void Accept()
    {
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        if (client >= 0) {
            ::close(fd);  // busy, as a serial port server is with one client on a port
            return;
        }
        line = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (line < 0) {
            ::close(fd);
            return;
        }
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        client = fd;
        decoder = tn::Decoder(tn::Decoder::From::Client);
        negotiation = tn::Negotiation(tn::Negotiation::Role::Server);
        lineSettings = {};
        ApplyLine();
        const std::vector<std::uint8_t> opening = negotiation.Start();
        if (!WriteAll(client, opening.data(), opening.size())) Disconnect();
        Log("client connected");
    }

    void Disconnect()
    {
        if (client >= 0) ::close(client);
        if (line >= 0) ::close(line);
        client = line = -1;
        Log("client gone");
    }

    // The client's bytes: data to the module, commands answered and applied.
    bool FromClient()
    {
        std::array<std::uint8_t, 1024> buffer;
        const ssize_t n = ::recv(client, buffer.data(), buffer.size(), 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
        if (n <= 0) return false;
        std::vector<std::uint8_t> data;
        std::vector<tn::Event> events;
        decoder.Feed(std::span(buffer.data(), static_cast<std::size_t>(n)), data, events);
        std::vector<std::uint8_t> reply;
        std::size_t sent = 0;
        // Commands take effect where they fall in the data, as on a real line.
        for (const tn::Event& e : events) {
            if (!WriteAll(line, data.data() + sent, e.at - sent)) return false;
            sent = e.at;
            if (e.kind == tn::Event::Kind::Option) {
                if (const auto answer = negotiation.Receive(e.verb, e.option))
                    reply.insert(reply.end(), answer->begin(), answer->end());
            } else if (e.kind == tn::Event::Kind::ComPort) {
                const tn::ServerStep step = tn::ServeComPort(e, lineSettings, Supported);
                if (step.lineChanged) ApplyLine();
                if (step.purge) ::tcflush(line, QueueOf(*step.purge));
                reply.insert(reply.end(), step.answer.begin(), step.answer.end());
            }
        }
        return WriteAll(line, data.data() + sent, data.size() - sent) && WriteAll(client, reply.data(), reply.size());
    }

    // The module's bytes to the client, 0xFF doubled.
    bool FromLine()
    {
        std::array<std::uint8_t, 1024> buffer;
        const ssize_t n = ::read(line, buffer.data(), buffer.size());
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
        if (n <= 0) return false;
        std::vector<std::uint8_t> out;
        tn::AppendData(out, std::span(buffer.data(), static_cast<std::size_t>(n)));
        return WriteAll(client, out.data(), out.size());
    }

    void Serve()
    {
        for (;;) {
            pollfd p[4] = {{stop.Fd(), POLLIN, 0}, {listener, POLLIN, 0}, {client, POLLIN, 0}, {line, POLLIN, 0}};
            const int n = ::poll(p, client >= 0 ? 4 : 2, -1);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 || (p[0].revents & POLLIN) != 0) break;
            if ((p[1].revents & POLLIN) != 0) Accept();
            if (client < 0) continue;
            const bool ok = ((p[2].revents & (POLLIN | POLLHUP | POLLERR)) == 0 || FromClient())
                && ((p[3].revents & (POLLIN | POLLHUP | POLLERR)) == 0 || FromLine());
            if (!ok) Disconnect();
        }
        Disconnect();
    }
};

NetworkServer::NetworkServer(std::string devicePath, std::function<void(const std::string&)> log)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->devicePath = std::move(devicePath);
    m_impl->log = std::move(log);
}

NetworkServer::~NetworkServer() { Stop(); }

bool NetworkServer::Start(int port, std::string* error)
{
    Impl& d = *m_impl;
    if (!d.stop.Valid()) {
        *error = "cannot create the stop signal";
        return false;
    }
    if (!d.Listen(port, error)) return false;
    try {
        d.server = std::thread(&Impl::Serve, &d);
    } catch (const std::system_error&) {
        *error = "cannot start the serving thread";
        return false;
    }
    return true;
}

void NetworkServer::Stop()
{
    Impl& d = *m_impl;
    if (d.server.joinable()) {
        d.stop.Set();
        d.server.join();
    }
    if (d.listener >= 0) ::close(d.listener);
    d.listener = -1;
}

int NetworkServer::Port() const { return m_impl->port; }

}  // namespace modsim
