// Hot-plug figure: a USB adapter announced by a device event in a mock machine (a umockdev
// testbed, so the program runs under umockdev-wrapper) until its item is in the shown port dialog.
// Prints "name value unit" lines; the figure is the median of several plugs.

// Before Qt, whose "signals" keyword glib uses as a name.
#include <umockdev.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "skin/JpegImage.h"
#include "skin/Suicombobox.h"
#include "tests/hardware/support/MockPorts.h"
#include "tests/ui/support/WindowTestAccess.h"

namespace {

// Each plug a new adapter, ttyUSB0 to ttyUSB10: the testbed makes a node only once.
constexpr int kPlugs = 11;
constexpr int kGiveUpMs = 10000;

// Runs the event loop until the box has `count` items; the milliseconds since the clock started,
// -1 past the bound.
double MillisecondsUntil(const QElapsedTimer& clock, const QComboBox* box, int count)
{
    while (box->count() != count) {
        if (clock.elapsed() > kGiveUpMs) return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "orvane-bench-hotplug";
    std::filesystem::create_directories(home / "orvane" / "ports");
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    InitSkinResources();

    hwtest::MockPorts ports;
    if (!umockdev_in_mock_environment()) {
        std::fprintf(stderr, "bench_hotplug: run it under umockdev-wrapper\n");
        return 1;
    }
    ports.AddUart(0, 4);
    TForm1 form1;
    TForm2 form2(form1);
    QComboBox* box = WindowTestAccess::Controls(form2).suiComboBox_ComPort;
    // The first "Com Setting" fills the list; the dialog is closed at once and shown without a loop
    // of its own.
    QTimer::singleShot(0, &form2, [&form2] { form2.reject(); });
    form1.suiButton1Click();
    form2.show();

    std::vector<double> ms;
    for (int i = 0; i < kPlugs; ++i) {
        // From the plug: the mock adapter is made and its event sent.
        QElapsedTimer clock;
        clock.start();
        ports.AddCp210x(i);
        const double took = MillisecondsUntil(clock, box, 2);
        ports.UnplugUsb(i);
        clock.restart();
        if (took < 0 || MillisecondsUntil(clock, box, 1) < 0) {
            std::fprintf(stderr, "bench_hotplug: the adapter did not come and go in the port box\n");
            return 1;
        }
        ms.push_back(took);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("hotplug_to_list_ms %.2f ms\n", ms[ms.size() / 2]);
    std::filesystem::remove_all(home);
    return 0;
}
