// Many modules at once: the wall time of `orvane-cli apply` to 32 simulated modules over its time to
// one, both against one `orvane-modsim --count 32`. Prints "name value unit" lines (medians).
// The simulators answer after 10 ms, less than a real module's round trip at 9600 baud (a request
// and its answer of 13 bytes each take 27 ms on the wire): answering at once, they would leave the
// program's start-up as the only cost measured.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kRounds = 7;
constexpr int kModules = 32;

// Runs the program with its output discarded; its exit code, or -1.
int Run(const std::vector<std::string>& args)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The simulators: started, and the ports they took read from their start lines.
class Simulators {
public:
    bool Start(std::vector<int>* ports)
    {
        int fds[2];
        if (::pipe(fds) != 0) return false;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(fds[1], 1);
            ::execl(ORVANE_MODSIM_PROGRAM, ORVANE_MODSIM_PROGRAM, "--count", std::to_string(kModules).c_str(),
                    "--delay-ms", "10", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string text;
        pollfd p{fds[0], POLLIN, 0};
        char buf[512];
        while (std::count(text.begin(), text.end(), '\n') < kModules && ::poll(&p, 1, 20000) > 0) {
            const ssize_t n = ::read(fds[0], buf, sizeof buf);
            if (n <= 0) break;
            text.append(buf, static_cast<std::size_t>(n));
        }
        ::close(fds[0]);
        for (std::size_t at = 0; (at = text.find("on COM", at)) != std::string::npos; at += 6)
            ports->push_back(std::atoi(text.c_str() + at + 6));
        return ports->size() == kModules;
    }
    ~Simulators()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

private:
    pid_t m_pid = -1;
};

// Median wall time of `apply` to the ports, in ms; negative when a run failed.
double ApplyMs(const std::vector<int>& ports, const std::string& profile)
{
    std::vector<std::string> args{ORVANE_CLI_PROGRAM};
    for (int port : ports) {
        args.push_back("--port");
        args.push_back(std::to_string(port));
    }
    args.insert(args.end(), {"--quiet", "apply", profile});
    std::vector<double> ms;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        if (Run(args) != 0) return -1;
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main()
{
    char tmpl[] = "/tmp/orvane-bench-fleet-XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) return 1;
    const fs::path home = tmpl;
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    const std::string profile = (home / "profile.json").string();
    std::ofstream(profile) << "{\"format\":1,\"channel\":9,\"air\":19200,\"id\":321}\n";

    int status = 0;
    {
        Simulators simulators;
        std::vector<int> ports;
        if (!simulators.Start(&ports)) {
            std::fprintf(stderr, "bench_fleet: the simulators did not start\n");
            status = 1;
        } else {
            const double one = ApplyMs({ports.front()}, profile);
            const double all = ApplyMs(ports, profile);
            if (one <= 0 || all <= 0) {
                std::fprintf(stderr, "bench_fleet: apply failed\n");
                status = 1;
            } else {
                std::printf("fleet_apply_1_ms %.1f ms\n", one);
                std::printf("fleet_apply_32_ms %.1f ms\n", all);
                std::printf("fleet_apply_32_ratio %.2f x\n", all / one);
            }
        }
    }
    fs::remove_all(home);
    return status;
}
