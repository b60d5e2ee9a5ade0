#include "ui/Unit2.h"

#include "protocol/ModuleValues.h"
#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiform.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"

#include <QLabel>
#include <QSignalBlocker>

namespace {

constexpr int k9600Item = 3;
// The modal result the Cancel button hands to the dialog.
constexpr int kModalResultCancel = 2;

}  // namespace

TForm2::TForm2(PortDialogHost& host)
    : QDialog(host.HostWindow())
    , m_host(host)
{
    BuildControls();
    m_host.SetPortDialog(this);
}

TForm2::~TForm2()
{
    if (m_host.RegisteredPortDialog() == this) m_host.SetPortDialog(nullptr);
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
    for (int item = 0; item < suiComboBox_BaudRate->count(); ++item)
        suiComboBox_BaudRate->setItemData(item, protocol::kBaudRates[std::size_t(item)]);
    suiComboBox_BaudRate->setCurrentIndex(k9600Item);
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

    Bind(this, suiButton_Open, &TsuiButton::OnClick, &TForm2::suiButton_OpenClick);
    Bind(this, suiButton_Close, &TsuiButton::OnClick, &TForm2::suiButton_CloseClick);
    Bind(this, suiComboBox_BaudRate, &QComboBox::activated, &TForm2::suiComboBox_BaudRateChange);
    Bind(this, suiComboBox_Verify, &QComboBox::activated, &TForm2::suiComboBox_VerifyChange);
}

void TForm2::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TForm2::FormShow() { setCurStats(m_host.PortIsOpen()); }

void TForm2::setCurStats(bool open)
{
    suiButton_Open->setEnabled(!open);
    suiButton_Close->setEnabled(open);
}

TForm2::OpenResult TForm2::OpenSelectedPort()
{
    if (PortItem() < 0 || BaudItem() < 0 || ParityItem() < 0) return OpenResult::NoSelection;
    const int port = suiComboBox_ComPort->currentData().toInt();
    const int baudRate = suiComboBox_BaudRate->currentData().toInt();
    const int parity = ParityItem();
    const QString settings = suiComboBox_ComPort->currentText() + u',' + suiComboBox_BaudRate->currentText() + u','
        + suiComboBox_Verify->currentText() + u' ';
    if (m_host.OpenOrReconfigurePort(port, baudRate, parity)) {
        m_host.SetPortStatus(QStringLiteral("Open Com Succeed:") + settings);
        setCurStats(true);
        return OpenResult::Opened;
    }
    m_host.SetPortStatus(QStringLiteral("Open Com fail:") + settings);
    return OpenResult::OpenFailed;
}

void TForm2::suiButton_OpenClick()
{
    // A port is being reached already (a second click, or a search's): the click is not taken.
    if (m_host.PortBusy()) return;
    m_opening = true;
    m_openGivenUp = false;
    const OpenResult result = OpenSelectedPort();
    m_opening = false;
    switch (result) {
    case OpenResult::Opened:
        m_host.SetSearchCursor(PortItem(), BaudItem(), ParityItem());
        m_host.SetActionStatus(QStringLiteral(" "));
        done(kModalResultCancel);
        break;
    case OpenResult::OpenFailed:
        // Not when the user gave the open up by closing the dialog.
        if (!m_openGivenUp) ShowBox(this, QStringLiteral("Open Com fail"), QStringLiteral("Error"));
        break;
    case OpenResult::NoSelection:
        ShowBox(this, QStringLiteral("Please Slect the Right Param"), QStringLiteral("Hint"));
        break;
    }
}

void TForm2::done(int result)
{
    if (m_opening && m_host.PortBusy()) {
        m_openGivenUp = true;
        m_host.CancelPortOpen();
    }
    QDialog::done(result);
}

void TForm2::suiButton_CloseClick()
{
    m_host.ClosePort();
    setCurStats(false);
}

// Both boxes move the search's end mark to the baud item; the open port is not touched.
void TForm2::suiComboBox_BaudRateChange() { m_host.SetSearchEnd(BaudItem()); }

void TForm2::suiComboBox_VerifyChange() { m_host.SetSearchEnd(BaudItem()); }

void TForm2::SelectItems(int portItem, int baudItem, int parityItem)
{
    for (auto [box, item] : {std::pair{suiComboBox_ComPort, portItem}, std::pair{suiComboBox_BaudRate, baudItem},
                             std::pair{suiComboBox_Verify, parityItem}})
        box->setCurrentIndex(item < box->count() ? item : box->count() - 1);
}

int TForm2::PortItem() const { return suiComboBox_ComPort->currentIndex(); }

int TForm2::BaudItem() const { return suiComboBox_BaudRate->currentIndex(); }

int TForm2::ParityItem() const { return suiComboBox_Verify->currentIndex(); }

int TForm2::BaudItemCount() const { return suiComboBox_BaudRate->count(); }

int TForm2::ParityItemCount() const { return suiComboBox_Verify->count(); }

void TForm2::ListPorts(const std::vector<PortListItem>& items)
{
    TsuiComboBox* box = suiComboBox_ComPort;
    const QVariant chosen = box->currentData();
    QSignalBlocker quiet(box);
    box->clear();
    for (const PortListItem& item : items) {
        box->addItem(QStringLiteral("COM%1").arg(item.port), item.port);
        box->setItemData(box->count() - 1, item.toolTip, Qt::ToolTipRole);
    }
    const int kept = chosen.isValid() ? box->findData(chosen) : -1;
    box->setCurrentIndex(kept >= 0 ? kept : (box->count() > 0 ? 0 : -1));
}
