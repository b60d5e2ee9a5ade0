#include "common/NetworkServers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

#include "protocol/TelnetCodec.h"
#include "protocol/TelnetServer.h"

namespace testcommon {

namespace tn = protocol::telnet;

namespace {

// Listening on 127.0.0.1:port, as /proc tells (without connecting, which would open a session).
bool Listening(int port)
{
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
    std::ifstream table("/proc/net/tcp");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (local == wanted && state == "0A") return true;
    }
    return false;
}

void SendAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

int FreeTcpPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

std::string Ser2netProgram()
{
    for (const char* path : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"})
        if (::access(path, X_OK) == 0) return path;
    return {};
}

Ser2net::Ser2net(const std::string& device)
{
    const std::string program = Ser2netProgram();
    char name[] = "/tmp/orvane-ser2net-XXXXXX";
    if (program.empty() || ::mkdtemp(name) == nullptr) return;
    m_directory = name;
    const int port = FreeTcpPort();
    const std::string config = (m_directory / "ser2net.yaml").string();
    std::ofstream(config) << "connection: &c1\n"
                          << "  accepter: telnet(rfc2217),tcp,127.0.0.1," << port << "\n"
                          << "  connector: serialdev," << device << ",9600n81,local\n";
    const std::string log = (m_directory / "ser2net.log").string();
    m_pid = ::fork();
    if (m_pid == 0) {
        // A test that crashes or is stopped by a sanitizer takes its server with it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execl(program.c_str(), program.c_str(), "-n", "-d", "-c", config.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (m_pid > 0 && std::chrono::steady_clock::now() < deadline) {
        if (Listening(port)) {
            m_port = port;
            return;
        }
        if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            return;
        }
        ::usleep(10000);
    }
}

Ser2net::~Ser2net()
{
    Kill();
    std::error_code ignored;
    if (!m_directory.empty()) std::filesystem::remove_all(m_directory, ignored);
}

void Ser2net::Kill()
{
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

HostileServer::HostileServer(Behaviour behaviour)
    : m_behaviour(behaviour)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_listener, 4) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0
        || ::pipe2(m_stop, O_CLOEXEC) != 0) {
        ::close(m_listener);
        m_listener = -1;
        return;
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread(&HostileServer::Serve, this);
}

HostileServer::~HostileServer()
{
    if (m_thread.joinable()) {
        ::close(m_stop[1]);
        m_thread.join();
        ::close(m_stop[0]);
    }
    if (m_listener >= 0) ::close(m_listener);
}

std::vector<std::uint8_t> HostileServer::DataReceived() const
{
    std::lock_guard guard(m_lock);
    return m_data;
}

void HostileServer::Serve()
{
    for (;;) {
        pollfd p[2] = {{m_stop[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0 || (p[0].revents & (POLLIN | POLLHUP)) != 0) return;
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ServeClient(fd);
        ::close(fd);
    }
}

void HostileServer::ServeClient(int fd)
{
    using B = Behaviour;
    // WILL BINARY, DO BINARY, DO COM-PORT-OPTION: all a client needs to be ready.
    const std::vector<std::uint8_t> opening = {0xFF, 0xFB, 0x00, 0xFF, 0xFD, 0x00, 0xFF, 0xFD, 0x2C};
    if (m_behaviour == B::kGarbage) SendAll(fd, Bytes("HTTP/1.1 400 Bad Request\r\n\r\n"));
    if (m_behaviour == B::kNeverAcknowledges || m_behaviour == B::kUnescapedIac || m_behaviour == B::kFlood)
        SendAll(fd, opening);
    tn::Decoder decoder(tn::Decoder::From::Client);
    tn::ServerLine line;
    bool flooding = false;
    bool answered = false;
    const std::vector<std::uint8_t> flood(4096, 0x55);
    for (;;) {
        pollfd p[2] = {{m_stop[0], POLLIN, 0}, {fd, static_cast<short>(POLLIN | (flooding ? POLLOUT : 0)), 0}};
        if (::poll(p, 2, -1) < 0 || (p[0].revents & (POLLIN | POLLHUP)) != 0) return;
        if ((p[1].revents & POLLOUT) != 0) ::send(fd, flood.data(), flood.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if ((p[1].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
        std::array<std::uint8_t, 1024> buffer;
        const std::size_t want = m_behaviour == B::kClosesAfterFirstByte ? 1 : buffer.size();
        const ssize_t n = ::recv(fd, buffer.data(), want, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return;
        if (n < 0) continue;
        if (m_behaviour == B::kClosesAfterFirstByte) return;
        std::vector<std::uint8_t> data;
        std::vector<tn::Event> events;
        decoder.Feed(std::span(buffer.data(), static_cast<std::size_t>(n)), data, events);
        std::vector<std::uint8_t> answers;
        for (const tn::Event& e : events) {
            if (m_behaviour == B::kNeverAcknowledges) break;
            const tn::ServerStep step = tn::ServeComPort(e, line, [](std::uint32_t) { return true; });
            answers.insert(answers.end(), step.answer.begin(), step.answer.end());
        }
        SendAll(fd, answers);
        {
            std::lock_guard guard(m_lock);
            m_data.insert(m_data.end(), data.begin(), data.end());
        }
        if (data.empty()) continue;
        flooding = m_behaviour == B::kFlood;
        if (m_behaviour == B::kUnescapedIac && !answered) {
            answered = true;
            SendAll(fd, {0xAF, 0xAF, 0xFF, 0x01, 0x00, 0x02, 0x00, 0x00, 0x0D, 0x0A});
        }
    }
}

}  // namespace testcommon
