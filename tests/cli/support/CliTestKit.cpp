#include "CliTestKit.h"

#include <fcntl.h>
#include <grp.h>
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/PortNamespace.h"

namespace fs = std::filesystem;

namespace clitest {

namespace {

void Drain(int fd, std::string& into, bool& open)
{
    char buf[4096];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
        into.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        open = false;
    }
}

// In a forked child: becomes the program, or ends with 127 as a shell would.
[[noreturn]] void Exec(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

}  // namespace

CliResult RunProgram(const std::string& program, const std::vector<std::string>& args, const RunOptions& options)
{
    CliResult result;
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return result;
    // The terminal: the child's standard error on the pty's slave, read here on its master. The slave
    // stays open here until the end, so that nothing written is lost when the child exits.
    int master = -1, slave = -1;
    if (options.stderrOnTerminal) {
        std::array<char, 128> name{};
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0
            || ::ptsname_r(master, name.data(), name.size()) != 0)
            return result;
        slave = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        if (slave < 0 || ::tcgetattr(slave, &t) != 0) return result;
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
    }
    // The child's peak resident set starts at what it shares of this process when forked: memory freed
    // here (the output of earlier runs) goes back to the system first, so that it does not count.
    ::malloc_trim(0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(slave >= 0 ? slave : err[1], 2);
        if (options.output == RunOptions::Output::kFull) ::dup2(::open("/dev/full", O_WRONLY), 1);
        if (options.output == RunOptions::Output::kClosed) ::close(1);
        if (options.inputClosed) ::close(0);
        for (const char* name : {"ORVANE_PORT", "ORVANE_BAUD", "ORVANE_PARITY"})
            ::unsetenv(name);
        for (const std::string& name : options.unset)
            ::unsetenv(name.c_str());
        for (const auto& [name, value] : options.env)
            ::setenv(name.c_str(), value.c_str(), 1);
        if (options.runAsUid >= 0
            && (::setgroups(0, nullptr) != 0 || ::setgid(options.runAsUid) != 0 || ::setuid(options.runAsUid) != 0)) {
            ::_exit(126);
        }
        Exec(program, args);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // The input is small: it fits the pipe, so writing it before reading cannot block.
    if (!options.input.empty()) {
        [[maybe_unused]] const ssize_t w = ::write(in[1], options.input.data(), options.input.size());
    }
    ::close(in[1]);

    bool outOpen = true, errOpen = true, ttyOpen = master >= 0;
    bool signalDue = options.signal != 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while ((outOpen || errOpen) && std::chrono::steady_clock::now() < deadline) {
        pollfd p[3] = {
            {outOpen ? out[0] : -1, POLLIN, 0}, {errOpen ? err[0] : -1, POLLIN, 0}, {ttyOpen ? master : -1, POLLIN, 0}};
        if (::poll(p, 3, 200) <= 0) continue;
        if (p[0].revents != 0) Drain(out[0], result.out, outOpen);
        if (p[1].revents != 0) Drain(err[0], result.err, errOpen);
        if (p[2].revents != 0) Drain(master, result.err, ttyOpen);
        if (signalDue && result.err.find(options.signalWhen) != std::string::npos) {
            ::kill(pid, options.signal);
            signalDue = false;
        }
    }
    if (outOpen || errOpen) ::kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    result.peakResidentKb = usage.ru_maxrss;
    // What the child wrote last is still in the pty; the slave is open here, so reading ends at EAGAIN.
    for (char buf[4096]; master >= 0;) {
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0) break;
        result.err.append(buf, static_cast<std::size_t>(n));
    }
    for (int fd : {out[0], err[0], master, slave}) {
        if (fd >= 0) ::close(fd);
    }
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

CliResult RunBinary(const std::string& name, const std::vector<std::string>& args, const RunOptions& options)
{
    const char* bin = std::getenv("ORVANE_BIN_DIR");
    if (bin == nullptr) {
        CliResult result;
        result.err = "ORVANE_BIN_DIR is not set";
        return result;
    }
    return RunProgram((fs::path(bin) / name).string(), args, options);
}

CliResult RunCli(const std::vector<std::string>& args, const RunOptions& options)
{
    return RunBinary("orvane-cli", args, options);
}

std::vector<std::string> SchemaErrors(const std::vector<std::string>& profiles)
{
    std::vector<std::string> errors(profiles.size());
    const char* source = std::getenv("ORVANE_SOURCE_DIR");
    // Standard input: a JSON array of the profiles' texts. Output: one line per profile, its errors
    // joined by "; ".
    static const char* const kCheck
        = "import json, sys, jsonschema\n"
          "schema = json.load(open(sys.argv[1]))\n"
          "jsonschema.Draft7Validator.check_schema(schema)\n"
          "v = jsonschema.Draft7Validator(schema)\n"
          "for text in json.load(sys.stdin):\n"
          "  try:\n"
          "    print('; '.join(e.message for e in v.iter_errors(json.loads(text))).replace('\\n', ' '))\n"
          "  except ValueError as e:\n"
          "    print('not JSON: ' + str(e))\n";
    std::string input = "[";
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        input += (i ? "," : "") + std::string("\"");
        for (char c : profiles[i]) {
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                input += escaped;
                continue;
            }
            if (c == '"' || c == '\\') input += '\\';
            input += c;
        }
        input += "\"";
    }
    input += "]";
    RunOptions options;
    options.input = input;
    const CliResult r
        = RunProgram("/usr/bin/python3",
                     {"-c", kCheck, (fs::path(source ? source : ".") / "docs/profile.schema.json").string()}, options);
    std::size_t from = 0;
    for (std::string& e : errors) {
        const std::size_t nl = r.out.find('\n', from);
        if (source == nullptr || r.code != 0 || nl == std::string::npos) {
            e = "the schema check failed: " + (source ? r.err : std::string("ORVANE_SOURCE_DIR is not set"));
            continue;
        }
        e = r.out.substr(from, nl - from);
        from = nl + 1;
    }
    return errors;
}

std::string SchemaErrors(const std::string& profile) { return SchemaErrors(std::vector<std::string>{profile}).front(); }

BackgroundProgram::BackgroundProgram(const std::string& name, const std::vector<std::string>& args)
{
    const char* bin = std::getenv("ORVANE_BIN_DIR");
    int fds[2];
    if (bin == nullptr || ::pipe2(fds, O_CLOEXEC) != 0) return;
    const std::string program = (fs::path(bin) / name).string();
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        Exec(program, args);
    }
    ::close(fds[1]);
    m_out = fds[0];
}

BackgroundProgram::~BackgroundProgram()
{
    Stop();
    if (m_out >= 0) ::close(m_out);
}

std::vector<std::string> BackgroundProgram::Lines(std::size_t count)
{
    auto lines = [this] { return static_cast<std::size_t>(std::count(m_text.begin(), m_text.end(), '\n')); };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool open = m_out >= 0;
    while (open && lines() < count && std::chrono::steady_clock::now() < deadline) {
        pollfd p{m_out, POLLIN, 0};
        if (::poll(&p, 1, 100) > 0) Drain(m_out, m_text, open);
    }
    std::vector<std::string> out;
    for (std::size_t from = 0, nl; out.size() < count && (nl = m_text.find('\n', from)) != std::string::npos;
         from = nl + 1)
        out.push_back(m_text.substr(from, nl - from));
    return out;
}

int BackgroundProgram::Stop()
{
    if (m_pid <= 0) return -1;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ForgetfulModule::ForgetfulModule(int port, modsim::ModuleSettings settings, bool forget)
    : forgetChannel(forget)
    , model(settings)
{
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    std::array<char, 128> name{};
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0
        || ::ptsname_r(master, name.data(), name.size()) != 0 || ::pipe2(stopPipe, O_CLOEXEC) != 0) {
        if (master >= 0) ::close(master);
        master = -1;
        return;
    }
    // Held open so that the master sees no hang-up between the program's runs.
    slave = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    termios t{};
    if (slave >= 0 && ::tcgetattr(slave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
    }
    linkPath = platform::PortLinkPath(port);
    ::symlink(name.data(), linkPath.c_str());
    server = std::thread(&ForgetfulModule::Serve, this);
}

ForgetfulModule::~ForgetfulModule()
{
    if (server.joinable()) {
        [[maybe_unused]] const ssize_t w = ::write(stopPipe[1], "x", 1);
        server.join();
    }
    for (int fd : {master, slave, stopPipe[0], stopPipe[1]}) {
        if (fd >= 0) ::close(fd);
    }
    if (!linkPath.empty()) ::unlink(linkPath.c_str());
}

modsim::ModuleSettings ForgetfulModule::Settings() const
{
    std::lock_guard guard(lock);
    return model.Settings();
}

void ForgetfulModule::Serve()
{
    std::array<std::uint8_t, 1024> buffer;
    for (;;) {
        pollfd p[2] = {{stopPipe[0], POLLIN, 0}, {master, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0 && errno != EINTR) return;
        if ((p[0].revents & POLLIN) != 0) return;
        const ssize_t n = ::read(master, buffer.data(), buffer.size());
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return;
        std::vector<std::vector<std::uint8_t>> answers;
        {
            std::lock_guard guard(lock);
            const int channel = model.Settings().channel;
            answers = model.Feed(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n)));
            if (forgetChannel) {
                modsim::ModuleSettings s = model.Settings();
                s.channel = channel;
                model.SetSettings(s);
            }
        }
        for (const auto& answer : answers) {
            [[maybe_unused]] const ssize_t w = ::write(master, answer.data(), answer.size());
        }
    }
}

}  // namespace clitest
