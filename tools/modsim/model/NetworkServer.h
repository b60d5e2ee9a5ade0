#pragma once
// The simulated module offered over the network as a serial port server does it: Telnet with
// COM-PORT-OPTION on a TCP port of 127.0.0.1, bridged to the module's pseudo-terminal. The client's
// line settings are applied to the pseudo-terminal, so the module answers only when they match its own.
// One client at a time; a second connection is closed at once.

#include <functional>
#include <memory>
#include <string>

namespace modsim {

class NetworkServer {
public:
    // devicePath: the pseudo-terminal of the module (PtyModule::DevicePath()).
    NetworkServer(std::string devicePath, std::function<void(const std::string&)> log);
    ~NetworkServer();  // Stop()
    NetworkServer(const NetworkServer&) = delete;
    NetworkServer& operator=(const NetworkServer&) = delete;

    // Listens on 127.0.0.1:port (0: a free port) and serves on a thread of its own. False with *error
    // set when the port cannot be had.
    bool Start(int port, std::string* error);
    // Ends the connection and stops listening. Safe to call twice.
    void Stop();
    // The TCP port listened on; 0 before Start.
    int Port() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace modsim
