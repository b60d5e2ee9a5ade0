#include "platform/StopSignal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

namespace platform {

StopSignal::StopSignal()
    : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{ }

StopSignal::~StopSignal()
{
    if (m_fd >= 0) ::close(m_fd);
}

void StopSignal::Set()
{
    const std::uint64_t one = 1;
    // The counter only needs to be nonzero; a full counter (EAGAIN) is already set.
    while (::write(m_fd, &one, sizeof one) < 0 && errno == EINTR) { }
}

void StopSignal::Clear()
{
    std::uint64_t value = 0;
    while (::read(m_fd, &value, sizeof value) < 0 && errno == EINTR) { }
}

bool StopSignal::IsSet() const
{
    pollfd p{m_fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

void StopSignal::Wait() const
{
    pollfd p{m_fd, POLLIN, 0};
    while (::poll(&p, 1, -1) < 0 && errno == EINTR) { }
}

bool StopSignal::WaitFor(int timeoutMs) const
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{m_fd, POLLIN, 0};
        const int n = ::poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
        if (n >= 0 || errno != EINTR) return n == 1 && (p.revents & POLLIN) != 0;
    }
}

}  // namespace platform
