// The module search: the order of the pairs it tries, its end, a module found on the way, Stop.

#include "support/UiTestKit.h"

#include "protocol/ModuleFrame.h"
#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiedit.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using uitest::Windows;

namespace {

using Pair = std::pair<int, int>;  // baud item, parity item

// The pairs from (b, p) to (7, 2), then from (0, 0) to (b, 2).
std::vector<Pair> ExpectedOrder(int b, int p)
{
    std::vector<Pair> pairs;
    for (int baud = b; baud < 8; ++baud)
        for (int parity = baud == b ? p : 0; parity < 3; ++parity)
            pairs.emplace_back(baud, parity);
    for (int baud = 0; baud <= b; ++baud)
        for (int parity = 0; parity < 3; ++parity)
            pairs.emplace_back(baud, parity);
    return pairs;
}

struct OrderCase {
    int baud;
    int parity;
    std::size_t ticks;
};

class SearchOrder : public ::testing::TestWithParam<OrderCase> { };

TEST_P(SearchOrder, TriesEveryPairThenEndsWithABox)
{
    const OrderCase& c = GetParam();
    modsim::PtyModuleOptions deaf = uitest::ModuleAt(6);
    deaf.dropProbability = 1.0;  // the port opens, nothing ever answers
    uitest::Module module(deaf);
    Windows w;
    w.ComSetting();
    w.OpenPort(6, c.baud, c.parity);

    std::vector<Pair> tried;
    QObject::connect(w.main.Timer1, &QTimer::timeout, [&] {
        tried.emplace_back(w.dialog.suiComboBox_BaudRate->currentIndex(), w.dialog.suiComboBox_Verify->currentIndex());
    });
    w.main.Timer1->setInterval(5);
    Windows::Click(w.main.suiButton2);
    EXPECT_TRUE(w.form1.StatusText().endsWith("    Scanning Radio ..."));
    ASSERT_TRUE(uitest::WaitUntil([&] { return !w.main.Timer1->isActive(); }, 60000));

    EXPECT_EQ(tried.size(), c.ticks);
    EXPECT_EQ(tried, ExpectedOrder(c.baud, c.parity));
    ASSERT_EQ(w.boxes.boxes().size(), 1u);
    EXPECT_EQ(w.LastBoxText(), "Can not scan the radio station");
    EXPECT_EQ(w.LastBoxTitle(), "Failure");
    EXPECT_TRUE(w.form1.StatusText().endsWith("    Can not scan the radio station"));
    EXPECT_TRUE(WindowTestAccess::SearchWrapped(w.form1));
    // Every tick sent one search request at its pair.
    EXPECT_TRUE(
        uitest::WaitUntil([&] { return module.Count("AF AF 00 00 AF 80 00 02 00 00 8F 0D 0A") == int(c.ticks); }));
}

INSTANTIATE_TEST_SUITE_P(Start, SearchOrder,
                         ::testing::Values(OrderCase{3, 0, 27}, OrderCase{3, 2, 25}, OrderCase{0, 0, 27},
                                           OrderCase{7, 1, 26}));

// Ticks the search by hand, each tick after the module has read the previous request, so that an
// answer is never overtaken by the next pair, until an answer ends the search (27 ticks at most).
void TickUntilAnswered(Windows& w, uitest::Module& module, int* ticks)
{
    while (w.main.Timer1->isActive() && *ticks < 27) {
        const int seen = module.RequestsSeen();
        w.form1.Timer1Timer();
        ++*ticks;
        ASSERT_TRUE(uitest::WaitUntil([&] { return module.RequestsSeen() > seen; }));
        if (!module.Received().empty()) {  // read at the module's own settings: its answer is coming
            ASSERT_TRUE(uitest::WaitUntil([&] { return !w.main.Timer1->isActive(); }));
        }
    }
}

TEST(Search, FindsTheModuleAt38400OddAndReadsItsChannel)
{
    modsim::PtyModuleOptions options = uitest::ModuleAt(7);
    options.settings.baudIndex = 5;  // 38400
    options.settings.parity = 1;     // odd
    options.settings.channel = 9;
    uitest::Module module(options);
    Windows w;
    w.ComSetting();
    w.OpenPort(7, 4, 0);  // 19200, No

    w.main.Timer1->setInterval(3600 * 1000);
    Windows::Click(w.main.suiButton2);
    int ticks = 0;
    ASSERT_NO_FATAL_FAILURE(TickUntilAnswered(w, module, &ticks));
    EXPECT_EQ(ticks, 5);  // 19200 No, ODD, Even, 38400 No, ODD
    EXPECT_EQ(w.dialog.suiComboBox_BaudRate->currentText(), "38400");
    EXPECT_EQ(w.dialog.suiComboBox_Verify->currentText(), "ODD");
    ASSERT_TRUE(uitest::WaitUntil([&] { return w.form1.StatusText().endsWith("Read channel parameters Success!"); }));
    EXPECT_EQ(w.form1.StatusText(),
              Windows::Status("Open Com Succeed:COM7,38400,ODD ", "Read channel parameters Success!"));
    EXPECT_EQ(w.main.suiComboBox_Channel->currentText(), "9");
    EXPECT_EQ(w.main.suiEdit_Frequency->text(), "432.5667MHz");
    // The search request that was answered, then the channel read that followed it.
    EXPECT_EQ(module.Received(), "AF AF 00 00 AF 80 00 02 00 00 8F 0D 0A AF AF 00 00 AF 80 06 02 00 00 95 0D 0A");
    int baud = 0;
    int parity = 0;
    ASSERT_TRUE(module.Pty().PeerLine(&baud, &parity));
    EXPECT_EQ(baud, 38400);
    EXPECT_TRUE(w.form1.Serial().IsOpen());
    EXPECT_TRUE(w.boxes.boxes().empty());
}

// A box that has nothing to do with the search is open while the module answers: the answer
// ends the search at once, and the port, the dialog and the channel read stay at that pair.
TEST(Search, AnswerWhileAValidationBoxIsOpenEndsTheSearchAtThePairThatAnswered)
{
    modsim::PtyModuleOptions options = uitest::ModuleAt(9);
    options.settings.baudIndex = 4;  // 19200
    options.settings.parity = 1;     // odd
    uitest::Module module(options);
    Windows w;
    w.ComSetting();
    w.OpenPort(9, 3, 0);  // 9600, No
    w.main.Timer1->setInterval(3600 * 1000);
    Windows::Click(w.main.suiButton2);

    // The ticks run inside the box's modal loop, each after the module has read the previous request.
    int ticks = 0;
    w.boxes.onShown([&](const platform::ShownMessageBox&) { TickUntilAnswered(w, module, &ticks); });
    Windows::Click(w.main.suiButton_WritePower);  // no level picked: the validation box
    w.boxes.onShown({});

    ASSERT_EQ(w.boxes.boxes().size(), 1u);
    EXPECT_EQ(w.LastBoxText(), "Operation failed,Please select the correct parameters");
    EXPECT_EQ(ticks, 5);  // 9600 No, ODD, Even, 19200 No, ODD
    EXPECT_EQ(w.dialog.suiComboBox_BaudRate->currentText(), "19200");
    EXPECT_EQ(w.dialog.suiComboBox_Verify->currentText(), "ODD");
    ASSERT_TRUE(uitest::WaitUntil([&] { return w.form1.StatusText().endsWith("Read channel parameters Success!"); }));
    EXPECT_EQ(w.form1.StatusText(),
              Windows::Status("Open Com Succeed:COM9,19200,ODD ", "Read channel parameters Success!"));
    // Only requests read at the module's own settings are logged: the channel read went out at 19200/ODD.
    EXPECT_EQ(module.Received(), "AF AF 00 00 AF 80 00 02 00 00 8F 0D 0A AF AF 00 00 AF 80 06 02 00 00 95 0D 0A");
    int baud = 0;
    int parity = 0;
    ASSERT_TRUE(module.Pty().PeerLine(&baud, &parity));
    EXPECT_EQ(std::pair(baud, parity), std::pair(19200, 1));
}

TEST(Search, StopShowsItsBoxAndChangesNothingElse)
{
    modsim::PtyModuleOptions deaf = uitest::ModuleAt(8);
    deaf.dropProbability = 1.0;
    uitest::Module module(deaf);
    Windows w;
    w.ComSetting();
    w.OpenPort(8);
    w.main.Timer1->setInterval(3600 * 1000);
    Windows::Click(w.main.suiButton2);
    w.form1.Timer1Timer();
    const QString status = w.form1.StatusText();
    EXPECT_TRUE(status.endsWith("    Scanning the radio stations..."));
    const auto cursor = std::tuple(w.form1.Serial().scanBaudItem, w.form1.Serial().scanParityItem);

    Windows::Click(w.main.suiButton3);
    EXPECT_FALSE(w.main.Timer1->isActive());
    ASSERT_EQ(w.boxes.boxes().size(), 1u);
    EXPECT_EQ(w.LastBoxText(), " Stop Scan Radio");
    EXPECT_EQ(w.LastBoxTitle(), "Notice");
    EXPECT_EQ(w.form1.StatusText(), status);
    EXPECT_EQ(std::tuple(w.form1.Serial().scanBaudItem, w.form1.Serial().scanParityItem), cursor);
    EXPECT_TRUE(w.form1.Serial().IsOpen());
}

TEST(Search, WithoutAnyPortEndsAtTheFirstTick)
{
    Windows w;
    w.main.Timer1->setInterval(5);
    Windows::Click(w.main.suiButton2);
    ASSERT_TRUE(uitest::WaitUntil([&] { return !w.main.Timer1->isActive(); }));
    ASSERT_EQ(w.boxes.boxes().size(), 1u);
    EXPECT_EQ(w.LastBoxText(), "Operation failed,Serial port is open detection");
    EXPECT_EQ(w.LastBoxTitle(), "Failure");
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("", "Operation failed"));
}

TEST(Search, TheTimerIsOffBeforeEachBox)
{
    Windows w;
    bool timerOnDuringABox = false;
    w.boxes.onShown([&](const platform::ShownMessageBox&) { timerOnDuringABox |= w.main.Timer1->isActive(); });
    w.main.Timer1->setInterval(3600 * 1000);
    w.form2.SelectItems(0, 7, 2);
    Windows::Click(w.main.suiButton2);
    WindowTestAccess::SearchWrapped(w.form1)
        = true;  // the last pair of the second pass: the send fails and the search is exhausted
    w.form1.Serial().selectedBaudItem = 6;
    w.form1.Timer1Timer();
    ASSERT_EQ(w.boxes.boxes().size(), 2u);
    EXPECT_EQ(w.boxes.boxes()[0].text, "Operation failed,Serial port is open detection");
    EXPECT_EQ(w.boxes.boxes()[1].text, "Can not scan the radio station");
    EXPECT_FALSE(timerOnDuringABox);
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("", "Can not scan the radio station"));
}

TEST(Search, PressedAgainItKeepsTheRhythmAndRetakesThePairFromTheDialog)
{
    Windows w;
    w.main.Timer1->setInterval(3600 * 1000);
    Windows::Click(w.main.suiButton2);
    const int remaining = w.main.Timer1->remainingTime();
    w.form2.SelectItems(0, 5, 1);
    w.form1.suiButton2Click();
    EXPECT_LE(w.main.Timer1->remainingTime(), remaining);
    EXPECT_EQ(w.form1.Serial().scanBaudItem, 5);
    EXPECT_EQ(w.form1.Serial().scanParityItem, 1);
    EXPECT_EQ(w.form1.Serial().selectedBaudItem, 5);
}

TEST(Search, AfterASecondPassANewSearchKeepsTheOldEndMark)
{
    Windows w;
    w.main.Timer1->setInterval(3600 * 1000);
    WindowTestAccess::SearchWrapped(w.form1) = true;
    w.form1.Serial().selectedBaudItem = 2;
    w.form2.SelectItems(0, 6, 0);
    w.form1.suiButton2Click();
    EXPECT_FALSE(WindowTestAccess::SearchWrapped(w.form1));
    EXPECT_EQ(w.form1.Serial().scanBaudItem, 6);
    EXPECT_EQ(w.form1.Serial().selectedBaudItem, 2);
}

}  // namespace
