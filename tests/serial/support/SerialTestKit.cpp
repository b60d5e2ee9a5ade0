#include "SerialTestKit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <thread>

#include "common/PtyMaster.h"
#include "platform/PortNamespace.h"
#include "platform/SerialDevice.h"
#include "platform/TtyLineSpeed.h"
#include "serial/WindowMessage.h"

namespace testkit {

void EnsureApp()
{
    static int argc = 1;
    static char name[] = "test_serial";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    // A sanitizer's runtime starts a thread of its own along with the first thread a process
    // creates: create one here, so that the threads a test counts are its own whichever case
    // runs first in the process.
    static const bool threadStarted = [] {
        std::thread([] {}).join();
        return true;
    }();
    (void)threadStarted;
}

unsigned NoticeMessage() { return platform::RegisterWindowMessage("ZebSerial_MSG_RECV_1"); }

NoticeCollector::NoticeCollector(unsigned t)
    : type(t)
{
    EnsureApp();
}

bool NoticeCollector::event(QEvent* e)
{
    if (e->type() == ZebSerial::GoneNotice()) {
        ++goneNotices;
        return true;
    }
    if (static_cast<unsigned>(e->type()) != type) return QObject::event(e);
    const auto* n = static_cast<ZebSerialNotice*>(e);
    notices.push_back(
        {n->command, n->data, std::vector<std::uint8_t>(n->frame.begin(), n->frame.begin() + n->frameLength)});
    return true;
}

bool NoticeCollector::WaitFor(std::size_t count, int timeoutMs)
{
    return WaitUntil([&] { return notices.size() >= count; }, timeoutMs);
}

RawPty::RawPty(int port)
{
    master = testcommon::OpenPtyMaster(&slavePath);
    if (master < 0) {
        HangUp();
        return;
    }
    linkPath = platform::PortLinkPath(port);
    ::unlink(linkPath.c_str());
    if (::symlink(slavePath.c_str(), linkPath.c_str()) != 0) HangUp();
}

RawPty::~RawPty()
{
    HangUp();
    if (!linkPath.empty()) ::unlink(linkPath.c_str());
}

void RawPty::Write(const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        pollfd p{master, POLLOUT, 0};
        ::poll(&p, 1, 1000);
        const ssize_t n = ::write(master, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
    }
}

std::vector<std::uint8_t> RawPty::Read(std::size_t want, int timeoutMs)
{
    std::vector<std::uint8_t> out;
    QElapsedTimer clock;
    clock.start();
    while (out.size() < want && clock.elapsed() < timeoutMs) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        std::uint8_t buf[256];
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n > 0) out.insert(out.end(), buf, buf + n);
    }
    return out;
}

int RawPty::BaudRate() const
{
    termios t{};
    if (::tcgetattr(master, &t) != 0) return 0;
    return platform::LineSpeedOf(t);
}

void RawPty::HangUp()
{
    if (master >= 0) ::close(master);
    master = -1;
}

int CountEntries(const char* dir)
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
        ++n;
    return n;
}

}  // namespace testkit
