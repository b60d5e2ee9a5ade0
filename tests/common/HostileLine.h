#pragma once
// A line that misbehaves on purpose: a pty whose master a thread of the test drives at full speed
// with a block of bytes sent over and over, while it reads and drops whatever the program sends.

#include "common/Wait.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testcommon {

class HostileLine {
public:
    // A pty linked as linkPath (a comN entry of the ports directory); quiet until Flood.
    explicit HostileLine(std::string linkPath);
    ~HostileLine();
    HostileLine(const HostileLine&) = delete;
    HostileLine& operator=(const HostileLine&) = delete;

    bool Ok() const { return master >= 0; }
    const std::string& SlavePath() const { return slavePath; }

    // Sends block over and over, as fast as the line takes it, until Quiet or HangUp.
    void Flood(std::vector<std::uint8_t> block);
    // Stops the flood; the line stays up and still drains what the program sends.
    void Quiet();
    // Sends bytes once (waits for room as long as it takes).
    void Send(const std::vector<std::uint8_t>& bytes);
    // Closes the master: the program's side sees the device go away.
    void HangUp();

    std::uint64_t BytesSent() const { return sent.load(); }
    // Bytes the program wrote to the line.
    std::uint64_t BytesReceived() const { return received.load(); }

private:
    void Run();

    int master = -1;
    int slave = -1;
    std::string slavePath;
    std::string linkPath;
    std::mutex lock;  // the block and writes to the master
    std::vector<std::uint8_t> block;
    std::atomic<bool> flooding{false};
    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> sent{0};
    std::atomic<std::uint64_t> received{0};
    std::thread driver;
};

// The sanitizers keep freed memory in quarantine or shadow and history that grow with the traffic;
// memory bounds hold in the plain build only.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kMemoryIsMeasurable = false;
#else
inline constexpr bool kMemoryIsMeasurable = true;
#endif

}  // namespace testcommon
