// The Read and Write buttons against the simulated module, the failure boxes with no port open,
// the validation boxes and the ID steps.

#include "support/UiTestKit.h"

#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiedit.h"
#include "ui/Conversion.h"
#include "widgets/Cspin.h"

#include <QTest>

#include <gtest/gtest.h>

using uitest::Windows;

namespace {

const char* const kPortFail = "Operation failed,Serial port is open detection";
const char* const kSelect = "Operation failed,Please select the correct parameters";

struct ActionCase {
    const char* name;
    std::function<void(TForm1Controls&)> prepare;
    TsuiButton* TForm1Controls::*button;
    const char* request;
    const char* success;
    std::function<void(TForm1Controls&, const modsim::ModuleSettings&)> check;
};

modsim::PtyModuleOptions TestModule()
{
    auto options = uitest::ModuleAt(3);
    options.settings.channel = 5;
    options.settings.guestId = 1234;
    options.settings.airBaudIndex = 7;
    options.settings.power = 3;
    return options;
}

const ActionCase kActions[] = {
    {"ReadChannel",
     {},
     &TForm1Controls::suiButton_ChannelRead,
     "AF AF 00 00 AF 80 06 02 00 00 95 0D 0A",
     "Read channel parameters Success!",
     [](TForm1Controls& f, const modsim::ModuleSettings&) {
         EXPECT_EQ(f.suiComboBox_Channel->currentText(), "5");
         EXPECT_EQ(f.suiEdit_Frequency->text(), "");  // no search answer yet: no table
     }},
    {"ReadAirBaud",
     {},
     &TForm1Controls::suiButton_RfBaudRateRead,
     "AF AF 00 00 AF 80 04 02 00 00 93 0D 0A",
     "Reading the air parameters Success!",
     [](TForm1Controls& f, const modsim::ModuleSettings&) {
         EXPECT_EQ(f.suiComboBox_RfBaudRate->currentText(), "115200");
     }},
    {"ReadComParams",
     {},
     &TForm1Controls::suiButton_ComBaudRateRead,
     "AF AF 00 00 AF 80 02 02 00 00 91 0D 0A",
     "Read the module serial port parameters Success!",
     [](TForm1Controls& f, const modsim::ModuleSettings&) {
         EXPECT_EQ(f.suiComboBox_ComBaudRate->currentText(), "9600");
         EXPECT_EQ(f.suiComboBox_ComVerify->currentText(), "No");
     }},
    {"ReadGuestId",
     {},
     &TForm1Controls::suiButton_ReadGuestId,
     "AF AF 00 00 AF 80 0D 02 00 00 9C 0D 0A",
     "Read Customer ID Success!",
     [](TForm1Controls& f, const modsim::ModuleSettings&) { EXPECT_EQ(f.suiEdit_GuestId->text(), "01234"); }},
    {"WriteChannel", [](TForm1Controls& f) { f.suiComboBox_Channel->setCurrentIndex(11); },
     &TForm1Controls::suiButton_ChannelSet, "AF AF 00 00 AF 80 05 02 0C 00 A0 0D 0A",
     "Write channel parameters Success!",
     [](TForm1Controls&, const modsim::ModuleSettings& s) { EXPECT_EQ(s.channel, 12); }},
    {"WriteAirBaud", [](TForm1Controls& f) { f.suiComboBox_RfBaudRate->setCurrentIndex(7); },
     &TForm1Controls::suiButton_RfBaudRateSet, "AF AF 00 00 AF 80 03 02 08 00 9A 0D 0A",
     "Write air parameters Success!",
     [](TForm1Controls&, const modsim::ModuleSettings& s) { EXPECT_EQ(s.airBaudIndex, 7); }},
    {"WriteComParams",
     [](TForm1Controls& f) {
         f.suiComboBox_ComBaudRate->setCurrentIndex(3);
         f.suiComboBox_ComVerify->setCurrentIndex(1);
     },
     &TForm1Controls::suiButton_ComBaudRateSet, "AF AF 00 00 AF 80 01 02 04 01 95 0D 0A",
     "Write the serial port parameters of the module Success!",
     [](TForm1Controls&, const modsim::ModuleSettings& s) { EXPECT_EQ(s.parity, 1); }},
    {"WriteGuestId", [](TForm1Controls& f) { f.suiEdit_GuestId->setText("01234"); },
     &TForm1Controls::suiButton_WriteGuestId, "AF AF 00 00 AF 80 0C 02 04 D2 71 0D 0A", "Write customer ID Success!",
     [](TForm1Controls&, const modsim::ModuleSettings& s) { EXPECT_EQ(s.guestId, 1234); }},
    {"WritePower", [](TForm1Controls& f) { f.suiComboBox_Power->setCurrentIndex(6); },
     &TForm1Controls::suiButton_WritePower, "AF AF 00 00 AF 80 13 02 07 00 A9 0D 0A", "Write transmit power Success!",
     [](TForm1Controls&, const modsim::ModuleSettings& s) { EXPECT_EQ(s.power, 7); }},
};

class Actions : public ::testing::TestWithParam<ActionCase> { };

TEST_P(Actions, SendsTheFrameAndShowsTheSuccessTextWhenAnswered)
{
    const ActionCase& c = GetParam();
    uitest::Module module(TestModule());
    Windows w;
    w.ComSetting();
    w.OpenPort(3);
    const QString port = QStringLiteral("Open Com Succeed:COM3,9600,No ");
    ASSERT_EQ(w.form1.StatusText(), Windows::Status(port, " "));

    if (c.prepare) c.prepare(w.main);
    Windows::Click(w.main.*c.button);
    ASSERT_TRUE(uitest::WaitUntil([&] { return w.form1.StatusText() == Windows::Status(port, c.success); }))
        << w.form1.StatusText().toStdString();
    EXPECT_EQ(module.Received(), c.request);
    EXPECT_TRUE(w.boxes.boxes().empty());
    c.check(w.main, module.Pty().Settings());
}

INSTANTIATE_TEST_SUITE_P(Module, Actions, ::testing::ValuesIn(kActions),
                         [](const auto& info) { return std::string(info.param.name); });

// The ID field carries 0 to 65535; every ID outside it would be written as another one and is refused.
TEST(IdWrite, SendsEveryIdTheFrameCarriesAndRefusesTheRest)
{
    const struct {
        const char* text;
        const char* request;  // nullptr: refused, nothing sent
    } cases[] = {
        {"-1", nullptr},
        {"-9999", nullptr},
        {"65536", nullptr},
        {"99999", nullptr},
        // Sent last, so that a refused ID that went out after all would show in what the module read.
        {"00000", "AF AF 00 00 AF 80 0C 02 00 00 9B 0D 0A"},
        {"65535", "AF AF 00 00 AF 80 0C 02 FF FF 99 0D 0A"},
    };
    uitest::Module module(TestModule());
    Windows w;
    w.ComSetting();
    w.OpenPort(3);
    std::string sent;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        w.boxes.clear();
        const int seen = module.RequestsSeen();
        w.main.suiEdit_GuestId->setText(c.text);
        Windows::Click(w.main.suiButton_WriteGuestId);
        if (c.request) {
            ASSERT_TRUE(uitest::WaitUntil([&] { return w.form1.StatusText().endsWith("Write customer ID Success!"); }));
            sent += (sent.empty() ? "" : " ") + std::string(c.request);
            EXPECT_TRUE(w.boxes.boxes().empty());
        } else {
            ASSERT_EQ(w.boxes.boxes().size(), 1u);
            EXPECT_EQ(w.LastBoxText(), kSelect);
            EXPECT_EQ(w.LastBoxTitle(), "Failure");
            EXPECT_EQ(module.RequestsSeen(), seen);
        }
        EXPECT_EQ(module.Received(), sent);
    }
}

TEST(StatusLine, ShowsThePortPartThenTheProgressOfTheAction)
{
    modsim::PtyModuleOptions silent = uitest::ModuleAt(4);
    silent.dropProbability = 1.0;
    uitest::Module unanswering(silent);
    Windows w;
    w.ComSetting();
    w.OpenPort(4);
    Windows::Click(w.main.suiButton_ChannelRead);
    EXPECT_EQ(w.form1.StatusText(), "   Open Com Succeed:COM4,9600,No     Read channel...");
    ASSERT_TRUE(uitest::WaitUntil([&] { return unanswering.RequestsSeen() == 1; }));
    // The module drops every answer, so nothing more comes: what the window has queued is handled here.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w.form1.StatusText(), "   Open Com Succeed:COM4,9600,No     Read channel...");
}

// ---- with no port open

struct FailureCase {
    const char* name;
    std::function<void(TForm1Controls&)> prepare;
    TsuiButton* TForm1Controls::*button;
    const char* status;  // the action part left on the status line
    const char* text;
    const char* title;
};

void NoInput(TForm1Controls&) { }
void AllPicked(TForm1Controls& f)
{
    f.suiComboBox_Channel->setCurrentIndex(0);
    f.suiComboBox_RfBaudRate->setCurrentIndex(0);
    f.suiComboBox_ComBaudRate->setCurrentIndex(0);
    f.suiComboBox_ComVerify->setCurrentIndex(0);
    f.suiComboBox_Power->setCurrentIndex(0);
}

const FailureCase kFailures[] = {
    // Every action with valid input: its progress text stays, then its failure box.
    {"ReadChannel", NoInput, &TForm1Controls::suiButton_ChannelRead, "Read channel...",
     "Operand Fail,Please Check the Param", "Fail"},
    {"ReadAirBaud", NoInput, &TForm1Controls::suiButton_RfBaudRateRead, "Reading the air baud rate...", kPortFail,
     "Failure"},
    {"ReadComParams", NoInput, &TForm1Controls::suiButton_ComBaudRateRead, "Read the module serial port baud rate...",
     kPortFail, "Failure"},
    {"ReadGuestId", NoInput, &TForm1Controls::suiButton_ReadGuestId, "Read customer ID...", kPortFail, "Failure"},
    {"WriteChannel", AllPicked, &TForm1Controls::suiButton_ChannelSet, "Set channel...", kPortFail, "Failure"},
    {"WriteAirBaud", AllPicked, &TForm1Controls::suiButton_RfBaudRateSet, "Air baud rate setting...", kPortFail,
     "Failure"},
    {"WriteComParams", AllPicked, &TForm1Controls::suiButton_ComBaudRateSet, "Write module serial baud rate...",
     kPortFail, "Failure"},
    {"WriteGuestId", NoInput, &TForm1Controls::suiButton_WriteGuestId, "Setting Client ID...", kPortFail, "Failure"},
    {"WritePower", AllPicked, &TForm1Controls::suiButton_WritePower, "Set transmit power...", kPortFail, "Failure"},
    // Missing input: the clearing text and the validation box; nothing is sent.
    {"WriteChannelUnpicked", NoInput, &TForm1Controls::suiButton_ChannelSet, " ", "Operand Fail,Please Check the Param",
     "Fail"},
    {"WriteAirBaudUnpicked", NoInput, &TForm1Controls::suiButton_RfBaudRateSet, "  ", kSelect, "Failure"},
    {"WriteComParamsWithoutParity", [](TForm1Controls& f) { f.suiComboBox_ComBaudRate->setCurrentIndex(3); },
     &TForm1Controls::suiButton_ComBaudRateSet, " ", kSelect, "Failure"},
    {"WriteComParamsWithoutBaud", [](TForm1Controls& f) { f.suiComboBox_ComVerify->setCurrentIndex(1); },
     &TForm1Controls::suiButton_ComBaudRateSet, " ", kSelect, "Failure"},
    {"WritePowerUnpicked", NoInput, &TForm1Controls::suiButton_WritePower, " ", kSelect, "Failure"},
    // IDs the 16-bit field cannot carry are refused before anything is sent.
    {"WriteGuestIdAboveRange", [](TForm1Controls& f) { f.suiEdit_GuestId->setText("65536"); },
     &TForm1Controls::suiButton_WriteGuestId, "Setting Client ID...", kSelect, "Failure"},
    {"WriteGuestIdNegative", [](TForm1Controls& f) { f.suiEdit_GuestId->setText("-1"); },
     &TForm1Controls::suiButton_WriteGuestId, "Setting Client ID...", kSelect, "Failure"},
};

class Failures : public ::testing::TestWithParam<FailureCase> { };

TEST_P(Failures, ShowTheirBoxAndKeepTheirStatusText)
{
    const FailureCase& c = GetParam();
    Windows w;
    c.prepare(w.main);
    Windows::Click(w.main.*c.button);
    ASSERT_EQ(w.boxes.boxes().size(), 1u);
    EXPECT_EQ(w.LastBoxText(), c.text);
    EXPECT_EQ(w.LastBoxTitle(), c.title);
    EXPECT_EQ(w.boxes.boxes().back().icon, QMessageBox::NoIcon);
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("", c.status));
}

INSTANTIATE_TEST_SUITE_P(NoPort, Failures, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Failures, EmptyIdWriteOnlyBlanksTheActionPart)
{
    Windows w;
    w.form1.SetActionStatus("Read customer ID...");
    w.main.suiEdit_GuestId->setText("");
    Windows::Click(w.main.suiButton_WriteGuestId);
    EXPECT_TRUE(w.boxes.boxes().empty());
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("", " "));
}

TEST(Failures, NonNumericIdRaisesTheConversionErrorBeforeSending)
{
    Windows w;
    w.main.suiEdit_GuestId->setText("12a");
    try {
        w.form1.suiButton_WriteGuestIdClick();
        FAIL() << "no conversion error";
    } catch (const orvane::ConvertError& e) {
        EXPECT_EQ(e.message(), "'12a' is not a valid integer value");
    }
    EXPECT_EQ(w.form1.StatusText(), Windows::Status("", "Setting Client ID..."));
    EXPECT_TRUE(w.boxes.boxes().empty());
}

TEST(Failures, PowerReadIsDisabled)
{
    Windows w;
    EXPECT_FALSE(w.main.suiButton_ReadPower->isEnabled());
    Windows::Click(w.main.suiButton_ReadPower);
    EXPECT_TRUE(w.boxes.boxes().empty());
    EXPECT_EQ(w.form1.StatusText(), "");
}

// ---- ID steps

struct StepCase {
    const char* before;
    bool up;
    const char* after;
};

class IdSteps : public ::testing::TestWithParam<StepCase> { };

TEST_P(IdSteps, StepWithinZeroTo65535AndPadToFiveDigits)
{
    const StepCase& c = GetParam();
    Windows w;
    w.main.suiEdit_GuestId->setText(c.before);
    TCSpinButton* spin = w.main.CSpinButton_GuestId;
    Windows::Click(c.up ? static_cast<QWidget*>(spin->UpButton()) : spin->DownButton());
    EXPECT_EQ(w.main.suiEdit_GuestId->text(), c.after);
    EXPECT_EQ(w.form1.StatusText(), "");
}

INSTANTIATE_TEST_SUITE_P(Spin, IdSteps,
                         ::testing::Values(StepCase{"00000", false, "00000"}, StepCase{"", false, "00000"},
                                           StepCase{"00010", false, "00009"}, StepCase{"-5", false, "00000"},
                                           StepCase{"", true, "00001"}, StepCase{"123", true, "00124"},
                                           StepCase{"-5", true, "-0004"}, StepCase{"65534", true, "65535"},
                                           StepCase{"65535", true, "65535"}, StepCase{"65536", true, "65535"},
                                           StepCase{"99999", true, "65535"}));

// Up and Down typed in the ID edit click the spin button's arrows.
TEST(IdSteps, ArrowKeysInTheEditStepAsTheArrowsDo)
{
    const struct {
        const char* before;
        Qt::Key key;
        const char* after;
    } cases[] = {{"00010", Qt::Key_Up, "00011"},
                 {"00010", Qt::Key_Down, "00009"},
                 {"65535", Qt::Key_Up, "65535"},
                 {"00000", Qt::Key_Down, "00000"}};
    Windows w;
    for (const auto& c : cases) {
        w.main.suiEdit_GuestId->setText(c.before);
        QTest::keyClick(w.main.suiEdit_GuestId, c.key);
        EXPECT_EQ(w.main.suiEdit_GuestId->text(), c.after) << c.before;
    }
}

TEST(IdStepsConversion, NonNumericTextRaisesAndStaysUnchanged)
{
    Windows w;
    w.main.suiEdit_GuestId->setText("x1");
    EXPECT_THROW(w.form1.CSpinButton_GuestIdUpClick(), orvane::ConvertError);
    EXPECT_THROW(w.form1.CSpinButton_GuestIdDownClick(), orvane::ConvertError);
    EXPECT_EQ(w.main.suiEdit_GuestId->text(), "x1");
}

}  // namespace
