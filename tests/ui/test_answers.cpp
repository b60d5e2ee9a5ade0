// The module's answers as the main window receives them: the notice, the controls it fills,
// the channel tables and the success texts.

#include "support/UiTestKit.h"

#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiedit.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

using uitest::Windows;

namespace {

void Answer(TForm1& form, std::uint8_t command, std::array<std::uint8_t, 4> data)
{
    ZebSerialNotice notice(QEvent::Type(WindowTestAccess::RecvMessageId(form)), command, data, nullptr, 0);
    QCoreApplication::sendEvent(&form, &notice);
}

struct AnswerCase {
    const char* name;
    std::uint8_t moduleType;  // of a search answer before, 0 for none
    std::uint8_t command;
    std::array<std::uint8_t, 4> data;
    const char* status;  // nullptr: the status line is left as it was
    std::function<void(TForm1Controls&)> check;
};

const AnswerCase kAnswers[] = {
    {"ComParams",
     0,
     2,
     {0x04, 0x02},
     "Read the module serial port parameters Success!",
     [](TForm1Controls& f) {
         EXPECT_EQ(f.suiComboBox_ComBaudRate->currentText(), "9600");
         EXPECT_EQ(f.suiComboBox_ComVerify->currentText(), "Even");
     }},
    {"ComParamsOutOfRange",
     0,
     2,
     {0x09, 0x03},
     "Read the module serial port parameters Success!",
     [](TForm1Controls& f) {
         EXPECT_EQ(f.suiComboBox_ComBaudRate->currentIndex(), -1);
         EXPECT_EQ(f.suiComboBox_ComBaudRate->currentText(), "");
         EXPECT_EQ(f.suiComboBox_ComVerify->currentIndex(), -1);
     }},
    {"AirBaud",
     0,
     4,
     {0x08},
     "Reading the air parameters Success!",
     [](TForm1Controls& f) { EXPECT_EQ(f.suiComboBox_RfBaudRate->currentText(), "115200"); }},
    {"AirBaudZero",
     0,
     4,
     {0x00},
     "Reading the air parameters Success!",
     [](TForm1Controls& f) { EXPECT_EQ(f.suiComboBox_RfBaudRate->currentIndex(), -1); }},
    {"GuestId",
     0,
     13,
     {0x04, 0xD2},
     "Read Customer ID Success!",
     [](TForm1Controls& f) { EXPECT_EQ(f.suiEdit_GuestId->text(), "01234"); }},
    {"GuestIdHighest",
     0,
     13,
     {0xFF, 0xFF},
     "Read Customer ID Success!",
     [](TForm1Controls& f) { EXPECT_EQ(f.suiEdit_GuestId->text(), "65535"); }},
    {"ChannelBeforeAnySearch",
     0,
     6,
     {0x07},
     "Read channel parameters Success!",
     [](TForm1Controls& f) {
         EXPECT_EQ(f.suiComboBox_Channel->currentText(), "7");
         EXPECT_EQ(f.suiEdit_Frequency->text(), "");
     }},
    {"Channel1Of433",
     2,
     6,
     {0x01},
     "Read channel parameters Success!",
     [](TForm1Controls& f) { EXPECT_EQ(f.suiEdit_Frequency->text(), "433.0782MHz"); }},
    {"Channel17Of433",
     2,
     6,
     {0x11},
     "Read channel parameters Success!",
     [](TForm1Controls& f) { EXPECT_EQ(f.suiEdit_Frequency->text(), "437.0032MHz"); }},
    {"Channel32Of433",
     2,
     6,
     {0x20},
     "Read channel parameters Success!",
     [](TForm1Controls& f) { EXPECT_EQ(f.suiEdit_Frequency->text(), "424.0528MHz"); }},
    {"Channel8Of490",
     3,
     6,
     {0x08},
     "Read channel parameters Success!",
     [](TForm1Controls& f) { EXPECT_EQ(f.suiEdit_Frequency->text(), "492.4388MHz"); }},
    {"Channel9Of490HasNoEntry",
     3,
     6,
     {0x09},
     "Read channel parameters Success!",
     [](TForm1Controls& f) {
         EXPECT_EQ(f.suiComboBox_Channel->currentText(), "9");
         EXPECT_EQ(f.suiEdit_Frequency->text(), "");
     }},
    {"ChannelZero",
     2,
     6,
     {0x00},
     "Read channel parameters Success!",
     [](TForm1Controls& f) { EXPECT_EQ(f.suiComboBox_Channel->currentIndex(), -1); }},
    {"ChannelOfUnknownType",
     4,
     6,
     {0x01},
     "Read channel parameters Success!",
     [](TForm1Controls& f) { EXPECT_EQ(f.suiEdit_Frequency->text(), ""); }},
    {"WriteComParams", 0, 1, {}, "Write the serial port parameters of the module Success!", {}},
    {"WriteAirBaud", 0, 3, {}, "Write air parameters Success!", {}},
    {"WriteChannel", 0, 5, {}, "Write channel parameters Success!", {}},
    {"WriteGuestId", 0, 12, {}, "Write customer ID Success!", {}},
    {"WritePower", 0, 19, {}, "Write transmit power Success!", {}},
    {"UnknownCode",
     0,
     7,
     {0x01, 0x02},
     nullptr,
     [](TForm1Controls& f) {
         EXPECT_EQ(f.suiComboBox_Channel->currentIndex(), -1);
         EXPECT_EQ(f.suiEdit_GuestId->text(), "00000");
     }},
};

class Answers : public ::testing::TestWithParam<AnswerCase> { };

TEST_P(Answers, FillTheirControlsAndPutTheSuccessText)
{
    const AnswerCase& c = GetParam();
    Windows w;
    if (c.moduleType != 0) {
        Answer(w.form1, 0, {0x00, 0x00, c.moduleType, 0x00});
        w.boxes.clear();  // no port: the follow-up channel read fails
    }
    w.form1.SetActionStatus("before");
    Answer(w.form1, c.command, c.data);
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("", c.status ? c.status : "before"));
    if (c.check) c.check(w.main);
    EXPECT_TRUE(w.boxes.boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Notice, Answers, ::testing::ValuesIn(kAnswers),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Answers, PickingAChannelLooksUpItsFrequencyOnly)
{
    Windows w;
    Answer(w.form1, 0, {0x00, 0x00, 0x02, 0x00});
    w.boxes.clear();
    w.form1.SetActionStatus("before");
    w.main.suiComboBox_Channel->setCurrentIndex(20);
    emit w.main.suiComboBox_Channel->activated(20);
    EXPECT_EQ(w.main.suiEdit_Frequency->text(), "428.5088MHz");
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("", "before"));
}

TEST(Answers, PickingAChannelWithoutEntryKeepsTheLastFrequency)
{
    Windows w;
    Answer(w.form1, 0, {0x00, 0x00, 0x03, 0x00});
    Answer(w.form1, 6, {0x08});
    w.main.suiComboBox_Channel->setCurrentIndex(11);
    emit w.main.suiComboBox_Channel->activated(11);
    EXPECT_EQ(w.main.suiEdit_Frequency->text(), "492.4388MHz");
}

TEST(Answers, SelectingAChannelFromCodeLooksNothingUp)
{
    Windows w;
    Answer(w.form1, 0, {0x00, 0x00, 0x02, 0x00});
    w.main.suiComboBox_Channel->setCurrentIndex(3);
    EXPECT_EQ(w.main.suiEdit_Frequency->text(), "");
}

TEST(Answers, SearchAnswerStopsTheSearchAndReportsAFailedChannelRead)
{
    Windows w;
    w.main.Timer1->start();
    Answer(w.form1, 0, {0x01, 0x02, 0x03, 0x04});
    EXPECT_FALSE(w.main.Timer1->isActive());
    ASSERT_EQ(w.boxes.boxes().size(), 1u);
    EXPECT_EQ(w.LastBoxText(), "Operand Fail,Please Check the Param");
    EXPECT_EQ(w.LastBoxTitle(), "Fail");
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("", "Scan Radio Success!"));
}

TEST(Answers, TheSuccessTextComesAfterTheBoxIsClosed)
{
    Windows w;
    QString statusWhileBoxOpen;
    w.boxes.onShown([&](const platform::ShownMessageBox&) { statusWhileBoxOpen = w.form1.StatusText(); });
    w.form1.SetActionStatus("Scanning the radio stations...");
    Answer(w.form1, 0, {0x00, 0x00, 0x02, 0x00});
    EXPECT_EQ(statusWhileBoxOpen, Windows::Status("", "Scanning the radio stations..."));
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("", "Scan Radio Success!"));
}

TEST(Answers, ArriveFromTheSerialObjectAsPostedNotices)
{
    uitest::Module module(uitest::ModuleAt(5));
    Windows w;
    w.ComSetting();
    w.OpenPort(5);
    // The search: the module answers at the dialog's 9600/No, well before a second tick.
    w.main.Timer1->setInterval(500);
    Windows::Click(w.main.suiButton2);
    ASSERT_TRUE(uitest::WaitUntil([&] { return w.form1.StatusText().endsWith("Read channel parameters Success!"); }));
    EXPECT_FALSE(w.main.Timer1->isActive());
    EXPECT_EQ(w.main.suiComboBox_Channel->currentText(), "1");
    EXPECT_EQ(w.main.suiEdit_Frequency->text(), "433.0782MHz");
    EXPECT_TRUE(w.boxes.boxes().empty());
}

}  // namespace
