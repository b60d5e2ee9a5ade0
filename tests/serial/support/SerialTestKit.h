#pragma once
// Helpers for the serial tests: a private ports directory, a pty the test drives by hand,
// a Qt receiver for the notices, and waits with generous deadlines.

#include <QObject>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/EventWait.h"
#include "common/TempConfigHome.h"
#include "serial/ZebSerial.h"

namespace testkit {

// A private configuration home under /tmp/orvane-serial-XXXXXX.
class TempConfigHome : public testcommon::TempConfigHome {
public:
    TempConfigHome()
        : testcommon::TempConfigHome("serial")
    { }
};

// The process's QCoreApplication, created on first use.
void EnsureApp();

// Runs the event loop, creating the application first, until pred() holds or timeoutMs passes;
// returns pred().
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = testcommon::kWaitMs)
{
    EnsureApp();
    return testcommon::WaitUntil(pred, timeoutMs);
}

// The message the serial object announces its answers with.
unsigned NoticeMessage();

// Collects the serial object's notices on the thread it lives in.
class NoticeCollector : public QObject {
public:
    explicit NoticeCollector(unsigned type = NoticeMessage());
    // Makes this the target of serial's notices.
    void Watch(ZebSerial& serial) { serial.SetNotifyTarget(this, type); }
    bool event(QEvent* e) override;
    bool WaitFor(std::size_t count, int timeoutMs = 10000);

    struct Notice {
        std::uint8_t command;
        std::array<std::uint8_t, 4> data;
        std::vector<std::uint8_t> frame;
    };
    std::vector<Notice> notices;
    int goneNotices = 0;

private:
    unsigned type;
};

// A pty whose master the test holds, linked as comN in the ports directory.
class RawPty {
public:
    explicit RawPty(int port);
    ~RawPty();
    bool Ok() const { return master >= 0; }
    const std::string& SlavePath() const { return slavePath; }
    void Write(const std::vector<std::uint8_t>& bytes);
    // Reads what arrives within timeoutMs of the first byte's absence; at least `want` bytes if they come.
    std::vector<std::uint8_t> Read(std::size_t want, int timeoutMs = 10000);
    // The serial side's baud rate as the pty shows it; 0 for a speed that is no baud rate.
    int BaudRate() const;
    // Closes the master: the serial side sees a hang-up.
    void HangUp();

private:
    int master = -1;
    std::string slavePath;
    std::string linkPath;
};

// Entries of a /proc directory (descriptors, threads).
int CountEntries(const char* dir);

// A ZebSerial whose descriptor the tests may reach.
class TestSerial : public ZebSerial {
public:
    int Fd() const { return handle.Fd(); }
    const platform::SerialDevice::DriverSettings& Driver() const { return handle.Recorded(); }
};

}  // namespace testkit
