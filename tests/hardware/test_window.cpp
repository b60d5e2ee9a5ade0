// The window's port probe and the dialog's port box on a mock machine with a built-in UART,
// UART-less nodes and a USB adapter.

#include "support/MockPorts.h"
#include "support/UiTestKit.h"

#include "skin/Suicombobox.h"

#include <gtest/gtest.h>

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
