// Flood figures: a pty that sends minimal frames (AF 0D 0A) as fast as it takes them, read by the
// receive path alone and by the main window. Prints "name value unit" lines.

#include <QApplication>
#include <QEvent>
#include <QObject>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "NoticeCounter.h"
#include "measure/ResidentMemory.h"
#include "modal/MessageBox.h"
#include "platform/PortNamespace.h"
#include "serial/WindowMessage.h"
#include "serial/ZebSerial.h"
#include "skin/JpegImage.h"
#include "ui/Fonts.h"
#include "ui/Formmain.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPort = 1;

// The pty linked as comN; a thread sends the frames and drops what the program writes.
class Flooder {
public:
    Flooder()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        char name[128] = {};
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0
            || ::ptsname_r(master, name, sizeof name) != 0)
            return;
        const std::string link = platform::PortLinkPath(kPort);
        std::filesystem::create_directories(std::filesystem::path(link).parent_path());
        ::unlink(link.c_str());
        ok = ::symlink(name, link.c_str()) == 0;
        for (int i = 0; i < 4096; ++i)
            block.insert(block.end(), {0xAF, 0x0D, 0x0A});
    }
    ~Flooder()
    {
        Stop();
        if (master >= 0) ::close(master);
    }
    bool Ok() const { return ok; }
    void Start()
    {
        running = true;
        driver = std::thread([this] {
            std::size_t offset = 0;
            std::uint8_t sink[4096];
            while (running) {
                pollfd p{master, POLLIN | POLLOUT, 0};
                if (::poll(&p, 1, 20) <= 0) continue;
                if ((p.revents & POLLIN) != 0 && ::read(master, sink, sizeof sink) < 0) continue;
                if ((p.revents & POLLOUT) == 0) continue;
                const ssize_t n = ::write(master, block.data() + offset, block.size() - offset);
                if (n > 0) offset = (offset + static_cast<std::size_t>(n)) % block.size();
            }
        });
    }
    void Stop()
    {
        running = false;
        if (driver.joinable()) driver.join();
    }

private:
    int master = -1;
    bool ok = false;
    std::vector<std::uint8_t> block;
    std::atomic<bool> running{false};
    std::thread driver;
};

void RunEventsFor(std::chrono::seconds span)
{
    const auto end = Clock::now() + span;
    while (Clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Frames the receive path assembles per second while a receiver handles what it is given.
double FramesPerSecond(Flooder& flood)
{
    const unsigned message = platform::RegisterWindowMessage("ZebSerial_MSG_RECV_1");
    NoticeCounter target(message);
    ZebSerial serial;
    serial.SetNotifyTarget(&target, message);
    if (serial.Open(kPort, 115200, 0) == 0) return -1;
    flood.Start();
    const std::uint64_t before = serial.FramesReceived();
    const auto start = Clock::now();
    RunEventsFor(std::chrono::seconds(3));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const std::uint64_t frames = serial.FramesReceived() - before;
    flood.Stop();
    serial.Close();
    return static_cast<double>(frames) / seconds;
}

// Boxes go nowhere while it lives: a flood of failures must not stop the figure at a modal box.
class DroppedBoxes : public platform::ModalPresenter {
public:
    DroppedBoxes()
        : m_previous(platform::SetModalPresenter(this))
    { }
    ~DroppedBoxes() override { platform::SetModalPresenter(m_previous); }
    void Present(const platform::ShownMessageBox&) override { }

private:
    platform::ModalPresenter* m_previous;
};

// How much the main window's process grows in 10 s of the flood, boxes recorded instead of shown.
double WindowGrowthMegabytes(Flooder& flood)
{
    DroppedBoxes boxes;
    TForm1 form;
    if (form.Serial().Open(kPort, 115200, 0) == 0) return -1;
    RunEventsFor(std::chrono::seconds(1));
    const double before = measure::ResidentMegabytes();
    flood.Start();
    RunEventsFor(std::chrono::seconds(10));
    flood.Stop();
    return measure::ResidentMegabytes() - before;
}

}  // namespace

int main(int argc, char** argv)
{
    char tmpl[] = "/tmp/orvane-bench-XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) return 1;
    const std::string home = tmpl;
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int status = 0;
    {
        QApplication app(argc, argv);
        InitSkinResources();
        RegisterFontSubstitutions();
        Flooder flood;
        if (!flood.Ok()) {
            std::fprintf(stderr, "bench_flood: no pty\n");
            return 1;
        }
        const double frames = FramesPerSecond(flood);
        const double growth = WindowGrowthMegabytes(flood);
        if (frames < 0 || growth < 0) {
            std::fprintf(stderr, "bench_flood: cannot open the pty\n");
            status = 1;
        } else {
            std::printf("flood_frames_per_s %.0f frames/s\n", frames);
            std::printf("flood_rss_growth_mb %.1f MB\n", growth);
        }
    }
    std::filesystem::remove_all(home);
    return status;
}
