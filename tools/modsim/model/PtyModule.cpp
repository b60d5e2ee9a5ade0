#include "model/PtyModule.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <random>
#include <string_view>
#include <thread>

#include "platform/PortDiscovery.h"
#include "platform/PortNamespace.h"
#include "platform/StopSignal.h"
#include "platform/TtyLineSpeed.h"
#include "protocol/ModuleFrame.h"

namespace modsim {

namespace {

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

// A link to a pty that no longer exists, or that a terminal window has taken since (a session's
// terminal now).
bool StalePtyLink(const std::string& link)
{
    struct stat st { };
    if (::lstat(link.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
    std::array<char, 4096> target{};
    const ssize_t n = ::readlink(link.c_str(), target.data(), target.size() - 1);
    if (n <= 0 || !std::string_view(target.data(), static_cast<std::size_t>(n)).starts_with("/dev/pts/")) return false;
    return ::stat(link.c_str(), &st) != 0 || !platform::DescribeDevice(link).session.empty();
}

bool MakeDirectories(const std::string& path, std::string* error)
{
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        const std::string part = path.substr(0, pos);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *error = ErrnoText("cannot create " + part);
            return false;
        }
    }
    return true;
}

// Links are made only in a directory that no other user can change: neither it nor a link that
// stands for it belongs to another user (root aside), and others cannot write to it.
bool SafeDirectory(const std::string& dir, std::string* error)
{
    const uid_t me = ::geteuid();
    auto trusted = [me](const struct stat& st) { return st.st_uid == me || st.st_uid == 0; };
    struct stat st { };
    if (::lstat(dir.c_str(), &st) != 0) {
        *error = ErrnoText("cannot use " + dir);
        return false;
    }
    if (S_ISLNK(st.st_mode) && !trusted(st)) {
        *error = dir + " is a link owned by another user; not followed";
        return false;
    }
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = dir + " is not a directory";
        return false;
    }
    if (!trusted(st) || (st.st_mode & S_IWOTH) != 0) {
        *error = dir + (trusted(st) ? " is writable by others" : " belongs to another user")
            + "; links to the simulator are not made there";
        return false;
    }
    return true;
}

}  // namespace

struct PtyModule::Impl {
    PtyModuleOptions options;
    ModuleModel model;
    mutable std::mutex modelLock;
    int master = -1;
    int slave = -1;  // held so the master does not see a hang-up while no program has the port open
    std::string devicePath;
    std::string linkPath;
    platform::StopSignal stop;
    std::thread server;
    std::atomic<std::uint64_t> answersSent{0};
    std::atomic<std::uint64_t> requestsIgnored{0};
    std::mt19937 random;

    explicit Impl(PtyModuleOptions o)
        : options(std::move(o))
        , model(options.settings)
        , random(options.seed)
    { }

    bool OpenPty(std::string* error);
    bool LinkPort(std::string* error);

    void Log(const std::string& line) const
    {
        if (options.log) options.log(line);
    }

    // PC side's line settings; *exact is false when the pty cannot tell "none" from "even".
    bool Line(int* baud, int* parity, bool* exact) const
    {
        termios t{};
        if (master < 0 || ::tcgetattr(master, &t) != 0) return false;
        *baud = platform::LineSpeedOf(t);
        *exact = true;
        if ((t.c_cflag & PARODD) != 0) {
            *parity = 1;
        } else if ((t.c_cflag & PARENB) != 0) {
            *parity = 2;
        } else {
            *parity = 0;
            *exact = false;
        }
        return true;
    }

    // Sleeps up to ms; false when stopped meanwhile.
    bool Pause(int ms) const
    {
        if (ms <= 0) return !stop.IsSet();
        pollfd p{stop.Fd(), POLLIN, 0};
        return ::poll(&p, 1, ms) == 0;
    }

    bool WriteAll(const std::uint8_t* data, std::size_t count)
    {
        while (count > 0) {
            pollfd p[2] = {{stop.Fd(), POLLIN, 0}, {master, POLLOUT, 0}};
            const int n = ::poll(p, 2, 1000);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0 || (p[0].revents & POLLIN) != 0) return false;  // the PC side stopped reading, or stop
            const ssize_t w = ::write(master, data, count);
            if (w < 0) {
                if (errno == EAGAIN || errno == EINTR) continue;
                return false;
            }
            data += w;
            count -= static_cast<std::size_t>(w);
        }
        return true;
    }

    void Send(const std::vector<std::uint8_t>& answer)
    {
        if (!Pause(options.delayMs)) return;
        if (options.dropProbability > 0
            && std::uniform_real_distribution<double>(0, 1)(random) < options.dropProbability) {
            Log("-> (dropped) " + protocol::HexBytes(answer));
            return;
        }
        if (options.noise) {
            std::array<std::uint8_t, 4> noise{};
            const std::size_t count = std::uniform_int_distribution<std::size_t>(1, noise.size())(random);
            for (std::size_t i = 0; i < count; ++i) {
                noise[i] = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random));
                if (noise[i] == 0xAF) noise[i] = 0x55;
            }
            WriteAll(noise.data(), count);
        }
        bool sent;
        if (options.split && answer.size() > 1) {
            const std::size_t half = answer.size() / 2;
            sent = WriteAll(answer.data(), half) && Pause(5) && WriteAll(answer.data() + half, answer.size() - half);
        } else {
            sent = WriteAll(answer.data(), answer.size());
        }
        if (sent) {
            ++answersSent;
            Log("-> " + protocol::HexBytes(answer));
        }
    }

    void Serve()
    {
        std::array<std::uint8_t, 1024> buffer;
        for (;;) {
            pollfd p[2] = {{stop.Fd(), POLLIN, 0}, {master, POLLIN, 0}};
            if (::poll(p, 2, -1) < 0) {
                if (errno == EINTR) continue;
                break;
            }
            if ((p[0].revents & POLLIN) != 0) return;
            const ssize_t n = ::read(master, buffer.data(), buffer.size());
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n <= 0) break;
            const std::span<const std::uint8_t> bytes(buffer.data(), static_cast<std::size_t>(n));
            int baud = 0;
            int parity = 0;
            bool exact = true;
            std::vector<std::vector<std::uint8_t>> answers;
            {
                std::lock_guard guard(modelLock);
                if (!Line(&baud, &parity, &exact) || !model.LineMatches(baud, parity, !exact)) {
                    // At other line settings the module would see garbage: it answers nothing.
                    model.ResetReceiver();
                    requestsIgnored += 1;
                    Log("<- (ignored at " + std::to_string(baud) + " "
                        + protocol::kParityNames[static_cast<std::size_t>(parity)] + ") " + protocol::HexBytes(bytes));
                    continue;
                }
                const std::uint64_t ignoredBefore = model.RequestsIgnored();
                Log("<- " + protocol::HexBytes(bytes));
                answers = model.Feed(bytes);
                requestsIgnored += model.RequestsIgnored() - ignoredBefore;
            }
            for (const auto& answer : answers)
                Send(answer);
        }
        // The pty failed in a way that will not mend: idle until stopped instead of spinning.
        stop.Wait();
    }

    void RemoveLink()
    {
        if (linkPath.empty()) return;
        std::array<char, 4096> target{};
        const ssize_t n = ::readlink(linkPath.c_str(), target.data(), target.size() - 1);
        if (n > 0 && std::string(target.data(), static_cast<std::size_t>(n)) == devicePath) ::unlink(linkPath.c_str());
        linkPath.clear();
    }

    void ClosePty()
    {
        if (master >= 0) ::close(master);
        if (slave >= 0) ::close(slave);
        master = slave = -1;
    }

    void StopServer()
    {
        if (server.joinable()) {
            stop.Set();
            server.join();
        }
    }
};

PtyModule::PtyModule(PtyModuleOptions options)
    : m_impl(std::make_unique<Impl>(std::move(options)))
{ }

PtyModule::~PtyModule() { Stop(); }

// The pty the module answers on, raw at 9600 baud until the PC side sets its line.
bool PtyModule::Impl::OpenPty(std::string* error)
{
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    std::array<char, 128> name{};
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0
        || ::ptsname_r(master, name.data(), name.size()) != 0) {
        *error = ErrnoText("cannot create a pseudo-terminal");
        return false;
    }
    devicePath = name.data();
    slave = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    termios t{};
    if (slave < 0 || ::tcgetattr(slave, &t) != 0) {
        *error = ErrnoText("cannot open " + devicePath);
        return false;
    }
    // Raw from the start: no echo of the answers back to the module, no line editing.
    ::cfmakeraw(&t);
    platform::SetLineSpeed(&t, 9600);
    ::tcsetattr(slave, TCSANOW, &t);
    return true;
}

// Links the pty as comN in the ports directory.
bool PtyModule::Impl::LinkPort(std::string* error)
{
    const std::string dir = platform::PortsDirectory();
    const std::string link = platform::PortLinkPath(options.port);
    if (dir.empty()) *error = "no ports directory: neither XDG_CONFIG_HOME nor HOME is set to an absolute path";
    if (dir.empty() || !MakeDirectories(dir, error) || !SafeDirectory(dir, error)) return false;
    struct stat st { };
    if (::lstat(link.c_str(), &st) == 0) {
        // Only a link to a pty that is gone, left by a simulator that did not end cleanly, is ours to
        // replace; a link to an unplugged adapter is the user's.
        if (!StalePtyLink(link)) {
            *error = link + " already names a device; remove it or choose another port";
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(devicePath.c_str(), link.c_str()) != 0) {
        *error = ErrnoText("cannot link " + link);
        return false;
    }
    linkPath = link;
    return true;
}

bool PtyModule::Start(std::string* error)
{
    std::string ignored;
    if (error == nullptr) error = &ignored;
    Impl& d = *m_impl;
    if (d.master >= 0 || d.server.joinable()) {
        *error = "already started";
        return false;
    }
    if (d.options.port < 1 || d.options.port > platform::kHighestPort) {
        *error = "port must be 1 to 63";
        return false;
    }
    const std::string bad = ValidateSettings(d.options.settings);
    if (!bad.empty()) {
        *error = bad;
        return false;
    }
    if (!d.stop.Valid()) {
        *error = ErrnoText("cannot create the stop signal");
        return false;
    }
    if (!d.OpenPty(error) || !d.LinkPort(error)) {
        d.ClosePty();
        return false;
    }
    try {
        d.server = std::thread(&Impl::Serve, &d);
    } catch (const std::system_error&) {
        *error = "cannot start the serving thread";
        d.RemoveLink();
        d.ClosePty();
        return false;
    }
    return true;
}

bool PtyModule::PortFree(int port)
{
    const std::string link = platform::PortLinkPath(port);
    struct stat st { };
    return link.empty() || ::lstat(link.c_str(), &st) != 0 || StalePtyLink(link);
}

void PtyModule::Stop()
{
    m_impl->StopServer();
    m_impl->RemoveLink();
    m_impl->ClosePty();
}

void PtyModule::HangUp() { Stop(); }

const std::string& PtyModule::DevicePath() const { return m_impl->devicePath; }
const std::string& PtyModule::LinkPath() const { return m_impl->linkPath; }
int PtyModule::Port() const { return m_impl->options.port; }

ModuleSettings PtyModule::Settings() const
{
    std::lock_guard guard(m_impl->modelLock);
    return m_impl->model.Settings();
}

std::uint64_t PtyModule::AnswersSent() const { return m_impl->answersSent.load(); }
std::uint64_t PtyModule::RequestsIgnored() const { return m_impl->requestsIgnored.load(); }

bool PtyModule::PeerLine(int* baudRate, int* parity) const
{
    bool exact = true;
    return m_impl->Line(baudRate, parity, &exact);
}

}  // namespace modsim
