// The port settings dialog: its port list, Open, Close, the buttons' states and the boxes.

#include "support/UiTestKit.h"

#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "ui/PortList.h"

#include <QTimer>

#include <gtest/gtest.h>

using uitest::Windows;

namespace {

TEST(ComSetting, ListsTheProbedPortsOnceWithTheFirstSelected)
{
    uitest::Module com1(uitest::ModuleAt(1));
    uitest::Module com3(uitest::ModuleAt(3));
    Windows w;
    EXPECT_EQ(w.dialog.suiComboBox_ComPort->count(), 0);
    w.ComSetting();
    ASSERT_GE(w.dialog.suiComboBox_ComPort->count(), 2);
    EXPECT_EQ(w.dialog.suiComboBox_ComPort->itemText(0), "COM1");
    EXPECT_EQ(w.dialog.suiComboBox_ComPort->itemText(1), "COM3");
    EXPECT_EQ(w.dialog.suiComboBox_ComPort->currentIndex(), 0);
    EXPECT_EQ(w.dialog.suiComboBox_BaudRate->currentText(), "9600");
    EXPECT_EQ(w.dialog.suiComboBox_Verify->currentText(), "No");
    const int count = w.dialog.suiComboBox_ComPort->count();
    w.dialog.suiComboBox_ComPort->setCurrentIndex(1);
    w.ComSetting();
    EXPECT_EQ(w.dialog.suiComboBox_ComPort->count(), count);
    EXPECT_EQ(w.dialog.suiComboBox_ComPort->currentIndex(), 1);
}

TEST(ComSetting, ShowsTheDialogModally)
{
    Windows w;
    bool modal = false;
    QTimer::singleShot(0, &w.form2, [&] {
        modal = w.form2.isVisible() && w.form2.isModal();
        w.dialog.suiButton_Cancel->Click();
    });
    Windows::Click(w.main.suiButton1);
    EXPECT_TRUE(modal);
    EXPECT_FALSE(w.form2.isVisible());
}

TEST(Dialog, ButtonsFollowThePortState)
{
    uitest::Module module(uitest::ModuleAt(3));
    Windows w;
    w.form2.show();
    EXPECT_TRUE(w.dialog.suiButton_Open->isEnabled());
    EXPECT_FALSE(w.dialog.suiButton_Close->isEnabled());
    w.form2.hide();

    w.ComSetting();
    w.OpenPort(3);
    EXPECT_FALSE(w.form2.isVisible());
    w.form2.show();
    EXPECT_FALSE(w.dialog.suiButton_Open->isEnabled());
    EXPECT_TRUE(w.dialog.suiButton_Close->isEnabled());

    const QString status = w.form1.StatusText();
    Windows::Click(w.dialog.suiButton_Close);
    EXPECT_FALSE(w.form1.Serial().IsOpen());
    EXPECT_TRUE(w.dialog.suiButton_Open->isEnabled());
    EXPECT_FALSE(w.dialog.suiButton_Close->isEnabled());
    EXPECT_TRUE(w.form2.isVisible());
    EXPECT_EQ(w.form1.StatusText(), status);
}

TEST(Dialog, OpenRecordsTheCursorAndClearsTheActionPart)
{
    uitest::Module module(uitest::ModuleAt(3));
    Windows w;
    w.ComSetting();
    w.form1.SetActionStatus("Read channel...");
    w.OpenPort(3, 3, 0);
    EXPECT_EQ(w.form1.StatusText(), "   Open Com Succeed:COM3,9600,No      ");
    EXPECT_TRUE(w.form1.Serial().IsOpen());
    EXPECT_EQ(w.form1.Serial().scanPortItem, w.dialog.suiComboBox_ComPort->findText("COM3"));
    EXPECT_EQ(w.form1.Serial().scanBaudItem, 3);
    EXPECT_EQ(w.form1.Serial().scanParityItem, 0);
    EXPECT_TRUE(w.boxes.boxes().empty());
}

TEST(Dialog, OpenWithoutAPortAsksForTheRightParam)
{
    Windows w;
    w.form1.SetActionStatus("before");
    w.form2.show();
    Windows::Click(w.dialog.suiButton_Open);
    ASSERT_EQ(w.boxes.boxes().size(), 1u);
    EXPECT_EQ(w.LastBoxText(), "Please Slect the Right Param");
    EXPECT_EQ(w.LastBoxTitle(), "Hint");
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("", "before"));
    EXPECT_TRUE(w.form2.isVisible());
}

TEST(Dialog, OpenOfAPortInUseFails)
{
    uitest::Module module(uitest::ModuleAt(3));
    Windows w;
    w.ComSetting();
    ZebSerial other;
    ASSERT_EQ(other.Open(3, 9600, 0), 1);
    w.form1.SetActionStatus("before");
    w.form2.show();
    w.OpenPort(3, 5, 1);
    ASSERT_EQ(w.boxes.boxes().size(), 1u);
    EXPECT_EQ(w.LastBoxText(), "Open Com fail");
    EXPECT_EQ(w.LastBoxTitle(), "Error");
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("Open Com fail:COM3,38400,ODD ", "before"));
    EXPECT_FALSE(w.form1.Serial().IsOpen());
    EXPECT_TRUE(w.form2.isVisible());
}

TEST(Dialog, PickingABaudRateMarksTheSearchEndAndLeavesTheLineAlone)
{
    uitest::Module module(uitest::ModuleAt(3));
    Windows w;
    w.ComSetting();
    w.OpenPort(3);
    w.dialog.suiComboBox_BaudRate->setCurrentIndex(5);
    emit w.dialog.suiComboBox_BaudRate->activated(5);
    EXPECT_EQ(w.form1.Serial().selectedBaudItem, 5);
    int baud = 0;
    int parity = 0;
    ASSERT_TRUE(module.Pty().PeerLine(&baud, &parity));
    EXPECT_EQ(baud, 9600);

    w.dialog.suiComboBox_BaudRate->setCurrentIndex(2);
    emit w.dialog.suiComboBox_Verify->activated(1);
    EXPECT_EQ(w.form1.Serial().selectedBaudItem, 2);
}

TEST(Dialog, SelectItemsClampsToTheLastItem)
{
    Windows w;
    w.form2.SelectItems(4, 200, 9);
    EXPECT_EQ(w.dialog.suiComboBox_ComPort->currentIndex(), -1);  // empty: no selection
    EXPECT_EQ(w.dialog.suiComboBox_BaudRate->currentText(), "115200");
    EXPECT_EQ(w.dialog.suiComboBox_Verify->currentText(), "Even");
}

TEST(Dialog, TwoDigitPortNumbersOpenTheirPort)
{
    uitest::Module module(uitest::ModuleAt(12));
    Windows w;
    w.ComSetting();
    w.OpenPort(12);
    EXPECT_TRUE(w.form1.Serial().IsOpen());
    EXPECT_EQ(w.form1.Serial().Port(), 12);
    EXPECT_EQ(w.form1.StatusText(), "   Open Com Succeed:COM12,9600,No      ");
}

TEST(Dialog, ReopeningTheSamePortOnlyChangesTheLine)
{
    uitest::Module module(uitest::ModuleAt(3));
    Windows w;
    w.ComSetting();
    w.OpenPort(3);
    w.form2.SelectItems(w.dialog.suiComboBox_ComPort->currentIndex(), 7, 1);
    EXPECT_EQ(w.form2.OpenSelectedPort(), TForm2::OpenResult::Opened);
    int baud = 0;
    int parity = 0;
    ASSERT_TRUE(module.Pty().PeerLine(&baud, &parity));
    EXPECT_EQ(baud, 115200);
    EXPECT_EQ(parity, 1);
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("Open Com Succeed:COM3,115200,ODD ", " "));
}

// The port box's items from the live list: ports that open first (at most eight, the open port
// always among them), then those the user could make usable.
TEST(ComSetting, ItemsFromTheLiveList)
{
    using platform::PortState;
    auto port = [](int n, PortState state) {
        platform::ListedPort p;
        p.info.port = n;
        p.info.device = "/dev/ttyUSB" + std::to_string(n);
        p.status.state = state;
        return p;
    };
    std::vector<platform::ListedPort> ten;
    for (int n = 1; n <= 10; ++n)
        ten.push_back(port(n, PortState::kReady));
    ten.push_back(port(11, PortState::kPermissionDenied));
    ten.push_back(port(12, PortState::kStaleLink));
    ten.push_back(port(0, PortState::kReady));
    struct Case {
        const char* what;
        int openPort;
        std::vector<int> ports;
    };
    const Case cases[] = {
        {"none open", 0, {1, 2, 3, 4, 5, 6, 7, 8, 11}},
        {"the open port past the eighth", 10, {1, 2, 3, 4, 5, 6, 7, 10, 11}},
        {"the open port gone from the system", 20, {1, 2, 3, 4, 5, 6, 7, 20, 11}},
    };
    for (const Case& c : cases) {
        std::vector<int> listed;
        for (const PortListItem& item : DialogPortItems(ten, c.openPort, 8))
            listed.push_back(item.port);
        EXPECT_EQ(listed, c.ports) << c.what;
    }
}

}  // namespace
