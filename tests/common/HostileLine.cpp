#include "common/HostileLine.h"
#include "common/PtyMaster.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace testcommon {

HostileLine::HostileLine(std::string link)
    : linkPath(std::move(link))
{
    master = OpenPtyMaster(&slavePath);
    if (master < 0) {
        HangUp();
        return;
    }
    // Held open so that the master sees no hang-up while the program has the device closed; raw, so
    // that nothing is echoed or held back for a line end.
    slave = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    termios t{};
    if (slave >= 0 && ::tcgetattr(slave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
    }
    ::unlink(linkPath.c_str());
    if (::symlink(slavePath.c_str(), linkPath.c_str()) != 0) {
        HangUp();
        return;
    }
    driver = std::thread(&HostileLine::Run, this);
}

HostileLine::~HostileLine()
{
    HangUp();
    ::unlink(linkPath.c_str());
}

void HostileLine::Flood(std::vector<std::uint8_t> bytes)
{
    std::lock_guard guard(lock);
    block = std::move(bytes);
    flooding = !block.empty();
}

void HostileLine::Quiet()
{
    flooding = false;
    // Once the lock is free the driver is between two writes and sees the flag.
    std::lock_guard guard(lock);
}

void HostileLine::Send(const std::vector<std::uint8_t>& bytes)
{
    std::lock_guard guard(lock);
    std::size_t done = 0;
    while (master >= 0 && done < bytes.size()) {
        pollfd p{master, POLLOUT, 0};
        ::poll(&p, 1, 100);
        const ssize_t n = ::write(master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            sent += static_cast<std::uint64_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
    }
}

void HostileLine::HangUp()
{
    stop = true;
    if (driver.joinable()) driver.join();
    for (int* fd : {&master, &slave}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void HostileLine::Run()
{
    std::size_t offset = 0;
    std::uint8_t sink[4096];
    while (!stop) {
        const bool writing = flooding.load();
        pollfd p{master, static_cast<short>(POLLIN | (writing ? POLLOUT : 0)), 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        if ((p.revents & POLLIN) != 0) {
            const ssize_t n = ::read(master, sink, sizeof sink);
            if (n > 0) received += static_cast<std::uint64_t>(n);
        }
        if (!writing || (p.revents & POLLOUT) == 0) continue;
        std::lock_guard guard(lock);
        if (!flooding || block.empty()) continue;
        offset %= block.size();
        const ssize_t n = ::write(master, block.data() + offset, block.size() - offset);
        if (n > 0) {
            offset += static_cast<std::size_t>(n);
            sent += static_cast<std::uint64_t>(n);
        }
    }
}

}  // namespace testcommon
