// The main window on a line that misbehaves at full speed: it stays responsive with its memory
// flat, never shows a box inside another, and after a hang-up says the port is no longer open.

#include "support/UiTestKit.h"

#include "common/Floods.h"
#include "common/HostileLine.h"
#include "measure/ResidentMemory.h"
#include "skin/Suibutton.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

using testcommon::HostileLine;
using uitest::Windows;

namespace {

constexpr int kBaud115200Item = 7;
// How much of a flood the window sees.
constexpr std::uint64_t kFloodBytes = 8'000'000;

std::string LinkOf(int port)
{
    std::filesystem::create_directories(uitest::PortsDirectory());
    return uitest::PortsDirectory() + "/com" + std::to_string(port);
}

TEST(MessageBoxes, NeverShowOneInsideAnother)
{
    MessageBoxRecorder recorder;
    int depth = 0;
    int deepest = 0;
    bool waited = false;
    recorder.onShown([&](const platform::ShownMessageBox& box) {
        deepest = std::max(deepest, ++depth);
        if (box.text == "first") {
            // What a timer or a notice might ask for while the box is on screen.
            platform::ShowMessageBox(nullptr, "first", "Fail");
            platform::ShowMessageBox(nullptr, "second", "Fail");
            platform::ShowMessageBox(nullptr, "second", "Fail");
            platform::WhenNoMessageBox([&] { waited = true; });
            EXPECT_FALSE(waited);
        }
        --depth;
    });
    platform::ShowMessageBox(nullptr, "first", "Fail");
    ASSERT_EQ(recorder.boxes().size(), 2u);
    EXPECT_EQ(recorder.boxes()[1].text, "second");
    EXPECT_EQ(deepest, 1);
    EXPECT_TRUE(waited);
    EXPECT_FALSE(platform::MessageBoxShowing());
}

TEST(HostileLineWindow, FloodsLeaveTheWindowResponsiveWithItsMemoryFlat)
{
    for (const auto& flood : testcommon::FloodCases()) {
        SCOPED_TRACE(flood.name);
        HostileLine line(LinkOf(6));
        ASSERT_TRUE(line.Ok());
        Windows w;
        w.ComSetting();
        w.OpenPort(6, kBaud115200Item);
        ZebSerial& serial = w.form1.Serial();
        ASSERT_EQ(serial.IsOpen(), 1);
        const double residentBefore = measure::ResidentMegabytes();

        line.Flood(flood.block);
        int mostPending = 0;
        ASSERT_TRUE(uitest::WaitUntil(
            [&] {
                mostPending = std::max(mostPending, serial.PendingNotices());
                return line.BytesSent() > kFloodBytes;
            },
            60000));
        EXPECT_LE(mostPending, ZebSerial::kMaxPendingNotices);
        if (testcommon::kMemoryIsMeasurable) {
            EXPECT_LT(measure::ResidentMegabytes() - residentBefore, 20.0);
        }
        EXPECT_TRUE(w.boxes.boxes().empty()) << w.LastBoxText().toStdString();

        // "Exit" pressed while the flood goes on is handled.
        QTimer::singleShot(0, w.main.suiButton4, [&w] { Windows::Click(w.main.suiButton4); });
        EXPECT_TRUE(uitest::WaitUntil([&] { return !w.form1.isVisible(); }));
    }
}

TEST(HostileLineWindow, HangUpWithAnswersQueuedShowsOneBoxAndClosesThePort)
{
    auto line = std::make_unique<HostileLine>(LinkOf(7));
    ASSERT_TRUE(line->Ok());
    Windows w;
    w.ComSetting();
    w.OpenPort(7, kBaud115200Item);
    ZebSerial& serial = w.form1.Serial();
    ASSERT_EQ(serial.IsOpen(), 1);
    int depth = 0;
    int deepest = 0;
    w.boxes.onShown([&](const platform::ShownMessageBox&) {
        // Stands in for a real box's modal loop: what is queued is handled while it shows.
        deepest = std::max(deepest, ++depth);
        QCoreApplication::sendPostedEvents();
        --depth;
    });

    // Search answers pile up unhandled; then the device goes away.
    line->Flood(testcommon::SearchAnswers());
    ASSERT_TRUE(
        testcommon::WaitWithoutEvents([&] { return serial.PendingNotices() == ZebSerial::kMaxPendingNotices; }));
    line->HangUp();
    ASSERT_TRUE(testcommon::WaitWithoutEvents([&] { return serial.HungUp(); }));
    // The first answer handled finds the device gone and shows the box; every other one goes with it.
    ASSERT_TRUE(uitest::WaitUntil([&] { return serial.PendingNotices() == 0 && !w.boxes.boxes().empty(); }));
    QCoreApplication::sendPostedEvents();

    ASSERT_EQ(w.boxes.boxes().size(), 1u);
    EXPECT_EQ(w.LastBoxText(), "Operand Fail,Please Check the Param");
    EXPECT_EQ(w.LastBoxTitle(), "Fail");
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(serial.IsOpen(), 0);
    EXPECT_EQ(w.form1.StatusText(), Windows::Status(QString(), "Scan Radio Success!"));
    w.form2.FormShow();
    EXPECT_TRUE(w.dialog.suiButton_Open->isEnabled());
    EXPECT_FALSE(w.dialog.suiButton_Close->isEnabled());

    // Every action now says that no port is open.
    w.boxes.onShown({});
    w.form1.suiButton_ReadGuestIdClick();
    EXPECT_EQ(w.LastBoxText(), "Operation failed,Serial port is open detection");

    // The device is back: "Open" works again, and so does a read.
    line.reset();
    uitest::Module module(uitest::ModuleAt(7));
    w.OpenPort(7);
    EXPECT_EQ(serial.IsOpen(), 1);
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("Open Com Succeed:COM7,9600,No ", " "));
    w.form1.suiButton_ChannelReadClick();
    EXPECT_TRUE(uitest::WaitUntil([&] { return w.form1.StatusText().endsWith("Read channel parameters Success!"); }));
}

}  // namespace
