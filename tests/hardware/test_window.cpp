// The window's port probe and the dialog's port box on a mock machine with a built-in UART,
// UART-less nodes and a USB adapter.

#include "support/MockPorts.h"
#include "support/UiTestKit.h"

#include "platform/SerialDevice.h"
#include "skin/Suicombobox.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

TEST(RealPorts, ProbeSkipsUartLessNodesAndTheTooltipNamesTheAdapter)
{
    hwtest::MockPorts ports;
    ports.AddUart(0, 4);
    for (int i = 1; i <= 3; ++i)
        ports.AddUart(i, 0);
    ports.AddCp210x(0);

    uitest::Windows w;
    w.ComSetting();
    auto* box = w.dialog.suiComboBox_ComPort;
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(0), "COM1");
    EXPECT_EQ(box->itemText(1), "COM33");
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_EQ(box->itemData(0, Qt::ToolTipRole).toString(),
              QStringLiteral("/dev/ttyS0 \u2014 built-in serial port (16550A)"));
    EXPECT_EQ(box->itemData(1, Qt::ToolTipRole).toString(),
              QStringLiteral("/dev/ttyUSB0 \u2014 Silicon Labs CP2102 USB to UART Bridge Controller, serial 0001"));
}

TEST(RealPorts, OpenOfTheConsoleFailsAsAPortInUse)
{
    hwtest::MockPorts ports;
    ports.AddUart(0, 4);
    ports.AddCp210x(0);
    ports.SetConsole("ttyS0");
    uitest::Windows w;
    w.ComSetting();
    auto* box = w.dialog.suiComboBox_ComPort;
    ASSERT_EQ(box->count(), 1);
    EXPECT_EQ(box->itemText(0), "COM33");
    // Named anyway (an item the probe did not give): the open fails with the usual box.
    box->addItem(QStringLiteral("COM1"));
    w.form2.SelectItems(1, 3, 0);
    w.form2.suiButton_OpenClick();
    EXPECT_EQ(w.LastBoxText(), "Open Com fail");
    EXPECT_EQ(w.LastBoxTitle(), "Error");
    EXPECT_FALSE(w.form1.Serial().IsOpen());
}

}  // namespace

namespace {

// The port box's items, "COM1 COM33".
QString Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items.join(u' ');
}

// This program's name as the system lists its processes (cut to 15 characters).
QString OwnProcessName()
{
    std::ifstream comm("/proc/self/comm");
    std::string name;
    std::getline(comm, name);
    return QString::fromStdString(name);
}

TEST(LivePorts, TheShownDialogFollowsAdaptersPluggedAndUnplugged)
{
    hwtest::MockPorts ports;
    ports.AddUart(0, 4);
    ports.AddCp210x(1);
    uitest::Windows w;
    w.ComSetting();
    auto* box = w.dialog.suiComboBox_ComPort;
    ASSERT_EQ(Items(box), "COM1 COM34");
    box->setCurrentIndex(1);
    w.form2.show();

    // Plugged in: listed in COM order, the chosen item stays chosen.
    ports.AddCp210x(0);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Items(box) == QStringLiteral("COM1 COM33 COM34"); }))
        << Items(box).toStdString();
    EXPECT_EQ(box->currentText(), "COM34");
    EXPECT_EQ(box->itemData(1, Qt::ToolTipRole).toString(),
              QStringLiteral("/dev/ttyUSB0 \u2014 Silicon Labs CP2102 USB to UART Bridge Controller, serial 0001"));

    ports.UnplugUsb(0);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Items(box) == QStringLiteral("COM1 COM34"); }))
        << Items(box).toStdString();
    EXPECT_EQ(box->currentText(), "COM34");

    // The open port stays listed when its adapter goes, until it is closed.
    w.OpenPort(34);
    ASSERT_TRUE(w.form1.Serial().IsOpen());
    w.form2.show();
    ports.UnplugUsb(1);
    ports.AddCp210x(2);
    ASSERT_TRUE(uitest::WaitUntil([&] { return Items(box).contains(QStringLiteral("COM35")); }))
        << Items(box).toStdString();
    EXPECT_EQ(Items(box), "COM1 COM34 COM35");
    w.form2.suiButton_CloseClick();
    EXPECT_EQ(Items(box), "COM1 COM35");
    w.form2.hide();
}

// Root opens any device: the window then runs as nobody for a while.
class AsNobody {
public:
    AsNobody()
        : active(::geteuid() == 0 && ::seteuid(65534) == 0)
    { }
    ~AsNobody()
    {
        if (active) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }

private:
    bool active;
};

TEST(LivePorts, PortsTheUserCanMakeUsableComeLastWithTheReason)
{
    hwtest::MockPorts ports;
    ports.AddUart(0, 4);
    ports.AddCp210x(0);
    ports.AddCp210x(1);
    ports.OpenToEveryone();
    for (const char* node : {"/dev/ttyS0", "/dev/ttyUSB1"})
        ::chmod(ports.BackingPty(node).c_str(), 0666);
    ::chmod(ports.BackingPty("/dev/ttyUSB0").c_str(), 0);
    platform::SerialDevice holder;
    const platform::Result<> held = holder.Open("/dev/ttyUSB1");
    ASSERT_TRUE(held) << held.Error().Describe();

    AsNobody nobody;
    uitest::Windows w;
    w.ComSetting();
    auto* box = w.dialog.suiComboBox_ComPort;
    ASSERT_EQ(Items(box), "COM1 COM33 COM34");
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_EQ(box->itemData(1, Qt::ToolTipRole).toString(),
              QStringLiteral("/dev/ttyUSB0 \u2014 permission denied: add yourself to the dialout group (sudo adduser "
                             "$USER dialout), then log in again"));
    EXPECT_EQ(box->itemData(2, Qt::ToolTipRole).toString(),
              QStringLiteral("/dev/ttyUSB1 \u2014 in use by %1 (PID %2): close it there first")
                  .arg(OwnProcessName())
                  .arg(::getpid()));

    w.OpenPort(33);
    EXPECT_EQ(w.LastBoxText(), "Open Com fail");
    EXPECT_EQ(w.LastBoxTitle(), "Error");
    EXPECT_TRUE(w.form1.StatusText().startsWith(QStringLiteral("   Open Com fail:COM33,9600,No ")));
}

}  // namespace
