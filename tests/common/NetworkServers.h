#pragma once
// Serial port servers for the network port tests, all on 127.0.0.1: the real one (ser2net, started
// with a configuration written for the test) in front of a pseudo-terminal, and a hostile one
// written here that misbehaves in one chosen way.

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testcommon {

// A TCP port of 127.0.0.1 that was free a moment ago.
int FreeTcpPort();

// The path of the ser2net program; empty when it is not installed.
std::string Ser2netProgram();

class Ser2net {
public:
    // Serves device (a pseudo-terminal) as telnet(rfc2217) on a free port, at 9600n81 until a client
    // sets the line. Ok() once it accepts connections.
    explicit Ser2net(const std::string& device);
    ~Ser2net();  // Kill()
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    bool Ok() const { return m_pid > 0 && m_port > 0; }
    std::string Url() const { return "rfc2217://127.0.0.1:" + std::to_string(m_port); }
    // Ends the server at once (SIGKILL): its connections close under the client.
    void Kill();

private:
    std::filesystem::path m_directory;
    pid_t m_pid = -1;
    int m_port = 0;
};

class HostileServer {
public:
    enum class Behaviour {
        kGarbage,               // answers the connection with text that is no Telnet
        kNeverAcknowledges,     // negotiates, then never answers a line setting
        kUnescapedIac,          // all well, until it answers a request with 0xFF not doubled
        kFlood,                 // all well, then sends data as fast as the client takes it
        kSilent,                // accepts and never sends a byte
        kClosesAfterFirstByte,  // reads one byte and closes
    };

    explicit HostileServer(Behaviour behaviour);
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    bool Ok() const { return m_listener >= 0; }
    std::string Url() const { return "rfc2217://127.0.0.1:" + std::to_string(m_port); }
    // The data the client sent (Telnet decoded, commands left out), over every connection.
    std::vector<std::uint8_t> DataReceived() const;

private:
    void Serve();
    void ServeClient(int fd);

    Behaviour m_behaviour;
    int m_listener = -1;
    int m_port = 0;
    int m_stop[2] = {-1, -1};
    mutable std::mutex m_lock;
    std::vector<std::uint8_t> m_data;
    std::thread m_thread;
};

}  // namespace testcommon
