#include "ProfileSource.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "CliError.h"
#include "Values.h"

namespace cli {

namespace {

constexpr std::size_t kLargestProfile = 64 * 1024;
constexpr int kLongestWaitMs = 5000;

[[noreturn]] void Refuse(const std::string& message) { throw CliError(kExitBadUsage, message); }

[[noreturn]] void ReadFailed(const std::string& path, int error)
{
    Refuse(
        (path == "-" ? std::string("cannot read standard input") : "cannot read the profile " + ProfileSourceName(path))
        + ": " + std::strerror(error));
}

class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// Reads on until the end, or until there is more than the largest profile: a profile given as a
// device or an endless pipe is refused without reading on. `text` holds what was read already.
// `idleMs`: the longest wait for more (-1: as long as a writer is there).
std::string ReadRest(int fd, const std::string& path, std::string text, int idleMs = -1)
{
    char buf[4096];
    while (text.size() <= kLargestProfile) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            text.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno == EAGAIN) {
            // A pipe's writer may take its time (info --search) and then ends; a device may not.
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, idleMs) == 0)
                Refuse(ProfileSourceName(path) + ": nothing to read for " + std::to_string(idleMs / 1000) + " seconds");
        } else if (errno != EINTR) {
            ReadFailed(path, errno);
        }
    }
    if (text.size() > kLargestProfile)
        Refuse(ProfileSourceName(path) + ": larger than 64 KiB; a profile is one small JSON object");
    return text;
}

// A FIFO opened without blocking reads as empty while no program has it open for writing: waits a
// while for one to come, instead of taking the FIFO for an empty file or waiting for ever.
std::string ReadFifo(int fd, const std::string& path)
{
    char buf[4096];
    for (int probe = 0; probe < 2; ++probe) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) return ReadRest(fd, path, std::string(buf, static_cast<std::size_t>(n)));
        if (n < 0 && errno == EAGAIN) return ReadRest(fd, path, {});  // a writer, with nothing written yet
        if (n < 0 && errno != EINTR) ReadFailed(path, errno);
        // No writer yet: poll() reports none gone until one has come.
        pollfd p{fd, POLLIN, 0};
        if (probe == 0 && ::poll(&p, 1, kLongestWaitMs) > 0) return ReadRest(fd, path, {});
    }
    Refuse(ProfileSourceName(path) + ": a FIFO that no program writes to (waited "
           + std::to_string(kLongestWaitMs / 1000) + " seconds)");
}

}  // namespace

std::string ProfileSourceName(const std::string& path)
{
    return path == "-" ? std::string("standard input") : cmdline::Printable(path);
}

std::string ReadProfileText(const std::string& path)
{
    if (path == "-") return ReadRest(STDIN_FILENO, path, {});
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0) ReadFailed(path, errno);
    struct stat st { };
    if (::fstat(file.Get(), &st) != 0) ReadFailed(path, errno);
    if (::isatty(file.Get()) == 1)
        Refuse(ProfileSourceName(path) + ": a terminal, not a profile file; give - to read standard input");
    if (S_ISFIFO(st.st_mode)) return ReadFifo(file.Get(), path);
    return ReadRest(file.Get(), path, {}, kLongestWaitMs);
}

}  // namespace cli
