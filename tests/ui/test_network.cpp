// The window with a module on another machine: a ports-directory entry holding the URL of a serial
// port server is listed as its COM number with the URL as its tooltip, and a Read goes through it;
// the server going away while a request waits closes the port as an unplugged adapter does.

#include "support/UiTestKit.h"

#include "common/NetworkServers.h"
#include "model/NetworkServer.h"
#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

using uitest::Windows;

namespace {

// ser2net in front of the module's pty where it is installed, else the simulator's own server.
struct Server {
    std::unique_ptr<testcommon::Ser2net> ser2net;
    std::unique_ptr<modsim::NetworkServer> simulator;
    std::string url;

    explicit Server(const std::string& device)
    {
        if (!testcommon::Ser2netProgram().empty()) {
            ser2net = std::make_unique<testcommon::Ser2net>(device);
            if (ser2net->Ok()) url = ser2net->Url();
            return;
        }
        simulator = std::make_unique<modsim::NetworkServer>(device, nullptr);
        std::string error;
        if (simulator->Start(0, &error)) url = "rfc2217://127.0.0.1:" + std::to_string(simulator->Port());
    }
    void Stop()
    {
        if (ser2net) ser2net->Kill();
        if (simulator) simulator->Stop();
    }
};

// A ports-directory entry for the test's duration: the directory is the whole program's, and is
// made here when no module of the test has made it yet.
class Entry {
public:
    Entry(int port, const std::string& url)
        : path(uitest::PortsDirectory() + "/com" + std::to_string(port))
    {
        std::filesystem::create_directories(uitest::PortsDirectory());
        std::ofstream(path) << url << "\n";
    }
    ~Entry() { std::remove(path.c_str()); }
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

private:
    std::string path;
};

TEST(NetworkPortWindow, ReadsThroughAnEntryAndClosesWhenTheServerGoes)
{
    auto options = uitest::ModuleAt(4);
    options.settings.channel = 9;
    options.delayMs = 300;  // time for the server to go while a request waits
    uitest::Module module(options);
    Server server(module.Pty().DevicePath());
    ASSERT_FALSE(server.url.empty());
    const Entry entry(8, server.url);

    Windows w;
    w.ComSetting();
    const int item = w.dialog.suiComboBox_ComPort->findText("COM8");
    ASSERT_GE(item, 0);
    EXPECT_EQ(w.dialog.suiComboBox_ComPort->itemData(item, Qt::ToolTipRole).toString(),
              QString::fromStdString(server.url));
    w.OpenPort(8);
    ZebSerial& serial = w.form1.Serial();
    ASSERT_EQ(serial.IsOpen(), 1) << serial.LastError().Describe();
    w.form1.suiButton_ChannelReadClick();
    EXPECT_TRUE(uitest::WaitUntil([&] { return w.form1.StatusText().endsWith("Read channel parameters Success!"); }));
    EXPECT_EQ(w.main.suiComboBox_Channel->currentText(), "9");

    // The server goes away while the next request waits.
    const int seen = module.RequestsSeen();
    w.form1.suiButton_ChannelReadClick();
    ASSERT_TRUE(uitest::WaitUntil([&] { return module.RequestsSeen() > seen; }));
    server.Stop();
    EXPECT_TRUE(uitest::WaitUntil([&] { return serial.HungUp(); }));
    uitest::WaitUntil([&] { return serial.IsOpen() == 0; });
    EXPECT_EQ(serial.IsOpen(), 0);
    w.form2.FormShow();
    EXPECT_TRUE(w.dialog.suiButton_Open->isEnabled());
    EXPECT_FALSE(w.dialog.suiButton_Close->isEnabled());
}

// COM9 on a host that accepts and never answers: opening it waits for the server's Telnet answers.
class SilentHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(silent.Ok());
        w.ComSetting();
    }

    testcommon::HostileServer silent{testcommon::HostileServer::Behaviour::kSilent};
    const Entry entry{9, silent.Url()};
    Windows w;
};

// The window's loop goes on while "Open" waits, a second "Open" and the search's tick are not
// taken, and closing the dialog gives the open up at once, without the error box.
TEST_F(SilentHost, TheWindowGoesOnAndClosingTheDialogGivesUp)
{
    const QString statusBefore = w.form1.StatusText();
    bool ranWhileWaiting = false;
    QTimer::singleShot(0, &w.form2, [&] {
        ranWhileWaiting = w.form1.PortBusy();
        w.form2.suiButton_OpenClick();
        w.form1.Timer1Timer();
        EXPECT_EQ(w.form1.StatusText(), statusBefore) << "a tick ran while the port was being reached";
        w.form2.reject();
    });
    w.OpenPort(9);

    EXPECT_TRUE(ranWhileWaiting);
    EXPECT_FALSE(w.form1.PortBusy());
    ZebSerial& serial = w.form1.Serial();
    EXPECT_EQ(serial.IsOpen(), 0);
    EXPECT_EQ(serial.LastError().errnoValue, ECANCELED) << serial.LastError().Describe();
    EXPECT_TRUE(w.form1.StatusText().startsWith("   Open Com fail:COM9,9600,No "))
        << w.form1.StatusText().toStdString();
    EXPECT_TRUE(w.boxes.boxes().empty()) << w.LastBoxText().toStdString();
}

// "Com Setting" pressed while a search's step reaches the host opens the dialog only once the step
// has ended, so that the step's port cannot afterwards replace one opened in the dialog.
TEST_F(SilentHost, ComSettingWaitsForASearchStepThatReachesIt)
{
    const int item = w.dialog.suiComboBox_ComPort->findText("COM9");
    ASSERT_GE(item, 0);
    w.form1.SetSearchCursor(item, 3, 0);
    bool shownDuringStep = true;
    QTimer::singleShot(0, &w.form1, [&] {
        w.form1.suiButton1Click();
        shownDuringStep = w.form2.isVisible();
        w.form1.CancelPortOpen();
    });
    w.form1.Timer1Timer();
    EXPECT_FALSE(shownDuringStep);

    bool shownAfter = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!w.form2.isVisible()) return;
        shownAfter = true;
        w.form2.reject();
    });
    watch.start(10);
    EXPECT_TRUE(uitest::WaitUntil([&] { return shownAfter; }));
}

}  // namespace
