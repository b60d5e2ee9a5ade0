// Start-up against two yardsticks: starts the program, a plain Qt window with the main window's controls
// and texts, and a bare window of its size in turns on one private X server, times each from exec to its
// window being mapped, and takes its CPU time and peak memory once the first paint is done. Prints
// "name value unit" lines (medians).
//
//   bench_startup --under COMMAND...   starts the program once, then once more under COMMAND (a profiler)
//                                      on the private server, and ends it once its first paint is done
//
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 7;
constexpr auto kMapDeadline = std::chrono::seconds(20);
// Time left for the first paint before the peak memory is read.
constexpr auto kSettle = std::chrono::milliseconds(400);

struct Sample {
    double ms = 0;
    double cpuMs = 0;  // user and system time up to the end of the run: steadier than ms on a busy machine
    double rssMib = 0;
};

// A private Xvfb; -displayfd lets it pick a free display and say which once it accepts clients.
class XServer {
public:
    bool Start(std::string* error)
    {
        int fds[2];
        if (::pipe(fds) != 0) return Fail(error, "pipe");
        m_pid = ::fork();
        if (m_pid < 0) return Fail(error, "fork");
        if (m_pid == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            if (std::freopen("/dev/null", "w", stderr) == nullptr) _exit(127);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                     static_cast<char*>(nullptr));
            _exit(127);
        }
        ::close(fds[1]);
        std::string number;
        char c = 0;
        pollfd p{fds[0], POLLIN, 0};
        while (::poll(&p, 1, 20000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (number.empty()) return Fail(error, "Xvfb did not start (is it installed?)");
        m_display = ":" + number;
        return true;
    }
    ~XServer()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    const std::string& Display() const { return m_display; }

private:
    static bool Fail(std::string* error, const char* what)
    {
        *error = what;
        return false;
    }
    pid_t m_pid = -1;
    std::string m_display;
};

// Watches the root window for top-level windows being mapped.
class MapWatch {
public:
    explicit MapWatch(const std::string& display)
        : m_connection(xcb_connect(display.c_str(), nullptr))
    {
        if (xcb_connection_has_error(m_connection)) return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
    }
    ~MapWatch() { xcb_disconnect(m_connection); }
    bool Ok() const { return xcb_connection_has_error(m_connection) == 0; }

    // Drops events left from an earlier run.
    void Drain()
    {
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_connection))
            std::free(e);
    }

    // Waits for a window of at least 100 x 100 pixels to be mapped on the root window.
    bool WaitForMap(Clock::time_point deadline)
    {
        const int fd = xcb_get_file_descriptor(m_connection);
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(m_connection)) {
                const bool mapped = (e->response_type & 0x7F) == XCB_MAP_NOTIFY
                    && IsLarge(reinterpret_cast<xcb_map_notify_event_t*>(e)->window);
                std::free(e);
                if (mapped) return true;
            }
            if (xcb_connection_has_error(m_connection)) return false;
            pollfd p{fd, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            ::poll(&p, 1, static_cast<int>(std::max<long long>(1, left.count())));
        }
        return false;
    }

private:
    // Qt may map small helper windows; the window we time is the big one.
    bool IsLarge(xcb_window_t window)
    {
        xcb_get_geometry_reply_t* g
            = xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        const bool large = g != nullptr && g->width >= 100 && g->height >= 100;
        std::free(g);
        return large;
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
};

// How long a run may take to map its window and to paint it: a profiler slows the program fiftyfold.
struct Pace {
    std::chrono::seconds mapDeadline;
    std::chrono::milliseconds settle;
};
constexpr Pace kTimed{kMapDeadline, kSettle};
constexpr Pace kProfiled{std::chrono::seconds(300), std::chrono::milliseconds(5000)};

// Runs the command line on the display until its first paint is done, then ends it with SIGTERM (a
// profiler under it writes its figures on the way out).
bool RunOnce(const std::vector<const char*>& command, const std::string& display, const std::string& configHome,
             MapWatch& watch, const Pace& pace, bool quiet, Sample* sample)
{
    watch.Drain();
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
        ::setenv("DISPLAY", display.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (configHome + "/cache").c_str(), 1);
        if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(127);
        if (quiet && std::freopen("/dev/null", "w", stderr) == nullptr) _exit(127);
        std::vector<char*> argv;
        for (const char* arg : command)
            argv.push_back(const_cast<char*>(arg));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        _exit(127);
    }
    const bool mapped = watch.WaitForMap(start + pace.mapDeadline);
    sample->ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (mapped) std::this_thread::sleep_for(pace.settle);
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    sample->rssMib = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
    sample->cpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return mapped;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

constexpr int kPrograms = 3;
const char* const kProgramPaths[kPrograms] = {ORVANE_PROGRAM, PLAIN_WINDOW_PROGRAM, BARE_WINDOW_PROGRAM};

struct Figures {
    std::vector<double> ms, cpu, rss;
};

// One run of each first, untimed, so that all start from a warm file cache and the program from the
// cache its first start writes. Then in turns, rotating
// which goes first.
bool Measure(const std::string& display, const std::string& configHome, MapWatch& watch, Figures* figures)
{
    for (int round = -1; round < kRounds; ++round) {
        for (int k = 0; k < kPrograms; ++k) {
            const int which = (round + 1 + k) % kPrograms;
            Sample s;
            if (!RunOnce({kProgramPaths[which]}, display, configHome, watch, kTimed, true, &s)) {
                std::fprintf(stderr, "bench_startup: %s showed no window\n", kProgramPaths[which]);
                return false;
            }
            if (round >= 0) {
                figures[which].ms.push_back(s.ms);
                figures[which].cpu.push_back(s.cpuMs);
                figures[which].rss.push_back(s.rssMib);
            }
        }
    }
    return true;
}

// The program's figure and each yardstick's, then the ratios: "<name>_ratio_plain" against the plain
// window, "<name>_ratio" against the bare one.
void Report(const Figures* figures)
{
    struct Line {
        std::vector<double> Figures::*values;
        const char* names[kPrograms];
        const char* ratio;
        const char* unit;
    };
    const Line lines[] = {
        {&Figures::ms, {"startup_ms", "plain_window_ms", "bare_window_ms"}, "startup_ratio", "ms"},
        {&Figures::cpu, {"startup_cpu_ms", "plain_window_cpu_ms", "bare_window_cpu_ms"}, "startup_cpu_ratio", "ms"},
        {&Figures::rss, {"peak_rss_mib", "plain_peak_rss_mib", "bare_peak_rss_mib"}, "rss_ratio", "MiB"},
    };
    for (const Line& line : lines) {
        double median[kPrograms];
        for (int k = 0; k < kPrograms; ++k) {
            median[k] = Median(figures[k].*line.values);
            std::printf("%s %.1f %s\n", line.names[k], median[k], line.unit);
        }
        std::printf("%s_plain %.2f x\n", line.ratio, median[0] / median[1]);
        std::printf("%s %.2f x\n", line.ratio, median[0] / median[2]);
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    // An empty ports directory: the program's port probe then finds only what the machine has.
    char tmpl[] = "/tmp/orvane-startup-XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) return 1;
    const std::string configHome = tmpl;

    int status = 1;
    {
        XServer server;
        std::string error;
        if (!server.Start(&error)) {
            std::fprintf(stderr, "bench_startup: %s\n", error.c_str());
        } else if (MapWatch watch(server.Display()); !watch.Ok()) {
            std::fprintf(stderr, "bench_startup: cannot connect to %s\n", server.Display().c_str());
        } else if (argc > 2 && std::strcmp(argv[1], "--under") == 0) {
            std::vector<const char*> command(argv + 2, argv + argc);
            command.push_back(ORVANE_PROGRAM);
            // A first start writes the cache of fitted labels; the run profiled is a normal start.
            Sample s;
            if (RunOnce({ORVANE_PROGRAM}, server.Display(), configHome, watch, kTimed, true, &s)
                && RunOnce(command, server.Display(), configHome, watch, kProfiled, false, &s))
                status = 0;
            else
                std::fprintf(stderr, "bench_startup: the program showed no window\n");
        } else if (Figures figures[kPrograms]; Measure(server.Display(), configHome, watch, figures)) {
            Report(figures);
            status = 0;
        }
    }
    std::filesystem::remove_all(configHome);
    return status;
}
