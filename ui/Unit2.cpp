#include "ui/Unit2.h"

#include "platform/MessageBox.h"
#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiform.h"
#include "ui/Controls.h"
#include "ui/Conversion.h"
#include "ui/Fonts.h"
#include "ui/Formmain.h"

#include <QLabel>

namespace {

constexpr int kNineHundredSixtyItem = 3;
// The modal result the Cancel button hands to the dialog.
constexpr int kModalResultCancel = 2;

void ShowBox(QWidget* parent, const QString& text, const QString& title)
{
    platform::ShowMessageBox(parent, text, title, QMessageBox::NoIcon);
}

}  // namespace

TForm2::TForm2(TForm1& mainWindow) : QDialog(&mainWindow), form1(mainWindow)
{
    BuildControls();
    form1.SetPortDialog(this);
}

TForm2::~TForm2()
{
    if (form1.PortDialog() == this)
        form1.SetPortDialog(nullptr);
}

template <class Sender, class Signal>
void TForm2::Bind(Sender* sender, Signal signal, void (TForm2::*handler)())
{
    connect(sender, signal, this, [this, handler] { orvane::RunHandler([this, handler] { (this->*handler)(); }); });
}

void TForm2::BuildControls()
{
    setWindowTitle(QStringLiteral("Com Setting"));
    setFont(DialogFont());
    move(562, 311);

    suiForm1 = MakeWindowFrame(this, {308, 253});
    QWidget* form = suiForm1;

    Label1 = MakeLabel(form, {24, 51, 24, 15}, QStringLiteral("Com"), SongFont(15));
    Label2 = MakeLabel(form, {24, 97, 72, 15}, QStringLiteral("Baud Rate"), SongFont(15));
    Label3 = MakeLabel(form, {24, 146, 48, 15}, QStringLiteral("Verify"), SongFont(15));

    suiComboBox_ComPort = MakeComboBox(form, {104, 48, 137, 21});
    suiComboBox_BaudRate = MakeComboBox(form, {104, 95, 137, 21}, BaudRateItems());
    suiComboBox_BaudRate->setCurrentIndex(kNineHundredSixtyItem);
    suiComboBox_Verify = MakeComboBox(form, {104, 144, 137, 21}, ParityItems());
    suiComboBox_Verify->setCurrentIndex(0);

    Label1->setBuddy(suiComboBox_ComPort);
    Label2->setBuddy(suiComboBox_BaudRate);
    Label3->setBuddy(suiComboBox_Verify);

    suiButton_Open = MakeButton(form, {24, 200, 65, 25}, QStringLiteral("Open"));
    suiButton_Close = MakeButton(form, {116, 200, 65, 25}, QStringLiteral("Close"));
    suiButton_Cancel = MakeButton(form, {204, 200, 65, 25}, QStringLiteral("Cancel"));
    suiButton_Cancel->setModalResult(kModalResultCancel);
    suiButton_Cancel->setCancel(true);

    Bind(suiButton_Open, &TsuiButton::OnClick, &TForm2::suiButton_OpenClick);
    Bind(suiButton_Close, &TsuiButton::OnClick, &TForm2::suiButton_CloseClick);
    Bind(suiComboBox_BaudRate, &QComboBox::activated, &TForm2::suiComboBox_BaudRateChange);
    Bind(suiComboBox_Verify, &QComboBox::activated, &TForm2::suiComboBox_VerifyChange);
}

void TForm2::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TForm2::FormShow()
{
    setCurStats(form1.Serial().IsOpen() != 0);
}

void TForm2::setCurStats(bool open)
{
    suiButton_Open->setEnabled(!open);
    suiButton_Close->setEnabled(open);
}

int TForm2::OpenSelectedPort()
{
    if (suiComboBox_ComPort->currentIndex() < 0 || suiComboBox_BaudRate->currentIndex() < 0 ||
        suiComboBox_Verify->currentIndex() < 0)
        return -2;
    const QString portText = suiComboBox_ComPort->currentText();
    const int port = portText.mid(portText.indexOf(u'M') + 1).toInt();
    const int baudRate = suiComboBox_BaudRate->currentText().toInt();
    const int parity = suiComboBox_Verify->currentIndex();
    const QString settings = portText + u',' + suiComboBox_BaudRate->currentText() + u',' +
                             suiComboBox_Verify->currentText() + u' ';
    if (form1.Serial().OpenOrReconfigure(port, baudRate, parity)) {
        form1.SetPortStatus(QStringLiteral("Open Com Succeed:") + settings);
        setCurStats(true);
        return 0;
    }
    form1.SetPortStatus(QStringLiteral("Open Com fail:") + settings);
    return -1;
}

void TForm2::suiButton_OpenClick()
{
    switch (OpenSelectedPort()) {
    case 0: {
        ZebSerial& serial = form1.Serial();
        serial.scanPortItem = std::uint8_t(suiComboBox_ComPort->currentIndex());
        serial.scanBaudItem = std::uint8_t(suiComboBox_BaudRate->currentIndex());
        serial.scanParityItem = std::uint8_t(suiComboBox_Verify->currentIndex());
        form1.SetActionStatus(QStringLiteral(" "));
        done(kModalResultCancel);
        break;
    }
    case -1:
        ShowBox(this, QStringLiteral("Open Com fail"), QStringLiteral("Error"));
        break;
    default:
        ShowBox(this, QStringLiteral("Please Slect the Right Param"), QStringLiteral("Hint"));
        break;
    }
}

void TForm2::suiButton_CloseClick()
{
    form1.Serial().Close();
    setCurStats(false);
}

void TForm2::suiComboBox_BaudRateChange()
{
    form1.Serial().selectedBaudItem = std::uint8_t(suiComboBox_BaudRate->currentIndex());
}

void TForm2::suiComboBox_VerifyChange()
{
    form1.Serial().selectedBaudItem = std::uint8_t(suiComboBox_BaudRate->currentIndex());
}

void TForm2::SelectItems(int portItem, int baudItem, int parityItem)
{
    for (auto [box, item] : {std::pair{suiComboBox_ComPort, portItem}, std::pair{suiComboBox_BaudRate, baudItem},
                             std::pair{suiComboBox_Verify, parityItem}})
        box->setCurrentIndex(item < box->count() ? item : box->count() - 1);
}
