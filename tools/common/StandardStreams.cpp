#include "StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cmdline {

void KeepStandardDescriptors()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() takes the lowest free number: this one, as the lower ones are open by now.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

CheckedOutput::CheckedOutput(int fd, bool lineBuffered)
    : m_fd(fd)
    , m_lineBuffered(lineBuffered)
{
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

bool CheckedOutput::Drain()
{
    const char* at = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    while (left > 0 && m_error == 0) {
        const ssize_t n = ::write(m_fd, at, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_error = n < 0 ? errno : EIO;
            break;
        }
        at += n;
        left -= static_cast<std::size_t>(n);
    }
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return m_error == 0;
}

CheckedOutput::int_type CheckedOutput::overflow(int_type c)
{
    if (!Drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    if (m_lineBuffered && traits_type::to_char_type(c) == '\n' && !Drain()) return traits_type::eof();
    return c;
}

std::streamsize CheckedOutput::xsputn(const char* s, std::streamsize n)
{
    const std::streamsize put = std::streambuf::xsputn(s, n);
    if (m_lineBuffered && std::memchr(s, '\n', static_cast<std::size_t>(put)) != nullptr) Drain();
    return m_error == 0 ? put : 0;
}

int CheckedOutput::sync() { return Drain() ? 0 : -1; }

int CheckedOutput::Finish()
{
    Drain();
    // A file system may report a failed write only when the file is closed.
    if (m_fd >= 0 && ::close(m_fd) != 0 && m_error == 0 && errno != EINTR) m_error = errno;
    m_fd = -1;
    return m_error;
}

std::string WriteFailure(const char* streamName, int error)
{
    return std::string("cannot write to ") + streamName + ": " + std::strerror(error);
}

int PrintAndClose(const char* program, const std::string& text)
{
    CheckedOutput out(STDOUT_FILENO);
    out.sputn(text.data(), static_cast<std::streamsize>(text.size()));
    if (const int error = out.Finish()) {
        std::fprintf(stderr, "%s: %s\n", program, WriteFailure("standard output", error).c_str());
        return 1;
    }
    return 0;
}

}  // namespace cmdline
