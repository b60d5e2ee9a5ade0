// Serial link figures: idle CPU with a port open, request/answer round trip through the
// simulator on a pty and through a serial port server, and assembler throughput. Prints "name value unit" lines.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "NetworkRoundTrip.h"
#include "NoticeCounter.h"
#include "model/PtyModule.h"
#include "protocol/ModuleFrame.h"
#include "serial/WindowMessage.h"
#include "serial/ZebSerial.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec)
        + static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double AssemblerMegabytesPerSecond()
{
    // Answers with a little line noise between them, as a real line carries.
    std::vector<std::uint8_t> stream;
    const std::vector<std::uint8_t> noise{0x00, 0x55, 0xFF};
    while (stream.size() < (1u << 20)) {
        const auto frame = protocol::BuildFrame(protocol::kReadChannel, std::vector<std::uint8_t>{7, 0});
        stream.insert(stream.end(), frame.begin(), frame.end());
        stream.insert(stream.end(), noise.begin(), noise.end());
    }
    ZebSerial serial;
    CXSerial& base = serial;
    const int rounds = 64;
    // Thread CPU time: the figure should not depend on how busy the rest of the machine is.
    const double start = ThreadCpuSeconds();
    for (int r = 0; r < rounds; ++r) {
        for (std::uint8_t b : stream)
            base.OnReceiveByte(b);
    }
    const double seconds = ThreadCpuSeconds() - start;
    if (serial.FramesReceived() == 0) std::fprintf(stderr, "no frames assembled\n");
    return static_cast<double>(stream.size()) * rounds / seconds / 1e6;
}

// The floor under the round trip: the same request and answer frames over a bare pty between two
// threads, with nothing but poll, read and write on either side. Measured in blocks between the real
// round trips, so that both see the same load on the machine.
bool ReadFrame(int fd, std::size_t size)
{
    std::uint8_t buffer[64];
    std::size_t got = 0;
    while (got < size) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) return false;
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, size - got));
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

class BarePtyRoundTrip {
public:
    BarePtyRoundTrip()
    {
        if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0) return;
        termios raw{};
        ::tcgetattr(m_slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slave, TCSANOW, &raw);
        m_module = std::thread([this] {
            // Answers until the other side closes.
            while (ReadFrame(m_slave, m_request.size())
                   && ::write(m_slave, m_answer.data(), m_answer.size()) == static_cast<ssize_t>(m_answer.size())) { }
        });
    }
    ~BarePtyRoundTrip()
    {
        if (m_master >= 0) ::close(m_master);
        if (m_module.joinable()) m_module.join();
        if (m_slave >= 0) ::close(m_slave);
    }
    // Adds the times of n round trips; false when one failed.
    bool Measure(int n, std::vector<double>* micros)
    {
        for (int i = 0; i < n; ++i) {
            const auto start = Clock::now();
            if (m_master < 0
                || ::write(m_master, m_request.data(), m_request.size()) != static_cast<ssize_t>(m_request.size())
                || !ReadFrame(m_master, m_answer.size()))
                return false;
            micros->push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        return true;
    }

private:
    const std::vector<std::uint8_t> m_request
        = protocol::BuildFrame(protocol::kReadChannel, std::vector<std::uint8_t>{0, 0});
    const std::vector<std::uint8_t> m_answer
        = protocol::BuildFrame(protocol::kReadChannel, std::vector<std::uint8_t>{7, 0});
    int m_master = -1;
    int m_slave = -1;
    std::thread m_module;
};

}  // namespace

int main(int argc, char** argv)
{
    char tmpl[] = "/tmp/orvane-bench-XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) return 1;
    const std::string home = tmpl;
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        modsim::PtyModuleOptions options;
        options.port = 1;
        modsim::PtyModule module(options);
        std::string error;
        if (!module.Start(&error)) {
            std::fprintf(stderr, "bench_serial: %s\n", error.c_str());
            return 1;
        }
        const unsigned message = platform::RegisterWindowMessage(protocol::kNoticeName);
        NoticeCounter target(message);
        ZebSerial serial;
        serial.SetNotifyTarget(&target, message);
        if (!serial.Open(1, 9600, 0)) {
            std::fprintf(stderr, "bench_serial: %s\n", serial.LastError().Describe().c_str());
            return 1;
        }

        const double cpuBefore = CpuSeconds();
        const auto idleStart = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double idleWall = std::chrono::duration<double>(Clock::now() - idleStart).count();
        std::printf("idle_cpu_percent %.3f %%\n", 100.0 * (CpuSeconds() - cpuBefore) / idleWall);

        std::vector<double> micros, floorMicros;
        micros.reserve(1000);
        BarePtyRoundTrip bare;
        bool floorOk = true;
        for (int i = 0; i < 1000 && status == 0; ++i) {
            if (i % 100 == 0) floorOk = floorOk && bare.Measure(100, &floorMicros);
            const long before = target.received;
            const auto start = Clock::now();
            if (!SendReadChannel(serial)) status = 1;
            const auto deadline = start + std::chrono::seconds(5);
            while (target.received == before && Clock::now() < deadline) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
            }
            if (target.received == before) {
                std::fprintf(stderr, "bench_serial: no answer to request %d\n", i);
                status = 1;
            }
            micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        std::sort(micros.begin(), micros.end());
        if (!micros.empty()) {
            std::printf("roundtrip_us_p50 %.0f us\n", micros[micros.size() / 2]);
            std::printf("roundtrip_us_p99 %.0f us\n", micros[micros.size() * 99 / 100]);
        }
        std::sort(floorMicros.begin(), floorMicros.end());
        if (floorOk && !floorMicros.empty() && !micros.empty()) {
            const double floorP50 = floorMicros[floorMicros.size() / 2];
            std::printf("roundtrip_floor_us_p50 %.0f us\n", floorP50);
            std::printf("roundtrip_ratio_p50 %.2f x\n", micros[micros.size() / 2] / floorP50);
        } else {
            std::fprintf(stderr, "bench_serial: the bare pty round trip failed\n");
            status = 1;
        }
    }
    if (const std::optional<double> network = NetworkRoundTripP50(2, 500)) {
        std::printf("rfc2217_roundtrip_us_p50 %.0f us\n", *network);
    } else {
        std::fprintf(stderr, "bench_serial: the network port round trip failed\n");
        status = 1;
    }
    std::printf("assembler_mb_per_s %.1f MB/s\n", AssemblerMegabytesPerSecond());
    std::filesystem::remove_all(home);
    return status;
}
