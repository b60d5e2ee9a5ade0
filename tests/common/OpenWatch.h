#pragma once
// Opens of a file (a mock node's backing pty, a real pty), seen by inotify on the file itself: how a
// test proves that nothing opened a device it must leave alone.

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <string>

namespace testcommon {

class OpenWatch {
public:
    explicit OpenWatch(const std::string& path)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        EXPECT_GE(::inotify_add_watch(m_fd, path.c_str(), IN_OPEN), 0) << path;
    }
    ~OpenWatch() { ::close(m_fd); }
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    bool Opened() const
    {
        pollfd p{m_fd, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }

private:
    int m_fd;
};

}  // namespace testcommon
