#include "ui/Formmain.h"

#include "protocol/ChannelTables.h"
#include "protocol/ModuleFrame.h"
#include "protocol/SearchOrder.h"
#include "serial/WindowMessage.h"
#include "skin/Suicombobox.h"
#include "skin/Suiedit.h"
#include "skin/Suiimagepanel.h"
#include "ui/Controls.h"
#include "ui/Conversion.h"
#include "ui/Fonts.h"
#include "ui/PortList.h"
#include "widgets/Cspin.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

namespace {

const QString kOperandFail = QStringLiteral("Operand Fail,Please Check the Param");
const QString kPortFail = QStringLiteral("Operation failed,Serial port is open detection");
const QString kSelectParams = QStringLiteral("Operation failed,Please select the correct parameters");
const QString kFail = QStringLiteral("Fail");
const QString kFailure = QStringLiteral("Failure");

QString FiveDigits(int value) { return QString::asprintf("%05d", value); }

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent)
{
    BuildControls();
    recvMessageId = platform::RegisterWindowMessage(protocol::kNoticeName);
    serial.SetNotifyTarget(this, recvMessageId);
    FormCreate();
}

TForm1::~TForm1() = default;

// ---- the port, for the port dialog

bool TForm1::OpenOrReconfigurePort(int port, int baudRate, int parity)
{
    // A port on another machine is reached on a thread of its own, so that a slow or silent host
    // never freezes the window; everything else is quick and stays on this thread.
    if (!serial.WouldConnect(port)) return serial.OpenOrReconfigure(port, baudRate, parity) != 0;
    // As Open does: the old port goes first (a server may take one client only, and two entries may
    // name the same server).
    serial.Close();
    platform::Result<platform::SerialDevice> prepared = m_connect.Run(port, baudRate, parity);
    return serial.Adopt(port, baudRate, parity, std::move(prepared)) != 0;
}

void TForm1::ClosePort()
{
    serial.Close();
    // A port listed only because it was open goes with it.
    if (!portListPending) RelistPorts();
}

bool TForm1::PortIsOpen() const { return serial.IsOpen() != 0; }

void TForm1::SetSearchCursor(int portItem, int baudItem, int parityItem)
{
    serial.scanPortItem = std::uint8_t(portItem);
    serial.scanBaudItem = std::uint8_t(baudItem);
    serial.scanParityItem = std::uint8_t(parityItem);
}

void TForm1::SetSearchEnd(int baudItem) { serial.selectedBaudItem = std::uint8_t(baudItem); }

// ---- status line

void TForm1::SetStatusText(const QString& text)
{
    // The port's settings beside a long answer run wider than the line: narrowed, the text stays whole
    // rather than being cut at both ends of the centred line.
    suiImagePanel2->setFont(FitToBox(DialogFont(), text, suiImagePanel2->size()));
    suiImagePanel2->setCaption(text);
}

void TForm1::SetPortStatus(const QString& text)
{
    m_portStatus = text;
    SetStatusText(QStringLiteral("   ") + m_portStatus + QStringLiteral("    ") + m_actionStatus);
}

void TForm1::SetActionStatus(const QString& text)
{
    m_actionStatus = text;
    SetStatusText(QStringLiteral("   ") + m_portStatus + QStringLiteral("    ") + m_actionStatus);
}

QString TForm1::StatusText() const { return suiImagePanel2->Caption(); }

// ---- creation, port list, exit

void TForm1::FormCreate()
{
    m_livePorts = new LivePorts(this);
    connect(m_livePorts, &LivePorts::Changed, this, &TForm1::PortsChanged);
    KeepOpeningPorts();
    portListPending = true;
}

void TForm1::suiButton1Click()
{
    if (!Form2) return;
    // A search's step is reaching a port on another machine: the dialog waits for it to end (and
    // for a box the step raises), so that the step's port cannot replace one opened in the dialog.
    if (m_connect.Busy()) {
        if (!m_comSettingWaits)
            m_connect.WhenDone(this, [this] {
                platform::WhenNoMessageBox([self = QPointer<TForm1>(this)] {
                    if (!self) return;
                    self->m_comSettingWaits = false;
                    self->suiButton1Click();
                });
            });
        m_comSettingWaits = true;
        return;
    }
    if (portListPending) {
        portListPending = false;
        RelistPorts();
    }
    Form2->ShowModal();
}

void TForm1::KeepOpeningPorts()
{
    serial.portCount = 0;
    serial.ports.fill(0);
    for (const platform::ListedPort& e : m_livePorts->Ports()) {
        if (serial.portCount == ZebSerial::kMaxPorts) break;
        if (e.Opens() && e.info.port > 0) serial.ports[serial.portCount++] = static_cast<std::uint8_t>(e.info.port);
    }
}

void TForm1::PortsChanged()
{
    KeepOpeningPorts();
    if (!portListPending) RelistPorts();
}

void TForm1::RelistPorts()
{
    if (!Form2) return;
    std::vector<PortListItem> items
        = DialogPortItems(m_livePorts->Ports(), serial.IsOpen() ? serial.Port() : 0, ZebSerial::kMaxPorts);
    if (items == m_listedPorts) return;
    // The search goes on with the port it was at, wherever that item now stands.
    const std::size_t scanItem = serial.scanPortItem;
    const int scanPort = scanItem < m_listedPorts.size() ? m_listedPorts[scanItem].port : 0;
    Form2->ListPorts(items);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].port == scanPort) serial.scanPortItem = static_cast<std::uint8_t>(i);
    }
    m_listedPorts = std::move(items);
}

void TForm1::suiButton4Click() { close(); }

// ---- answers

bool TForm1::event(QEvent* e)
{
    if (recvMessageId != 0 && e->type() == QEvent::Type(recvMessageId)) {
        const auto& notice = static_cast<const ZebSerialNotice&>(*e);
        // While a box raised by an answer shows, an answer that could raise another waits until it
        // has closed, and so do the answers behind it, to keep their order. Every other answer is
        // handled at once, also in the loop of any other box: a search answer must stop the search
        // while the port is still at the pair that answered.
        if (!m_heldNotices.empty() || (m_answerBoxShowing && notice.command == protocol::kSearch))
            HoldNotice(notice);
        else
            OnModuleResponse(notice);
        return true;
    }
    if (e->type() == ZebSerial::GoneNotice()) {
        DeviceGone();
        return true;
    }
    return QWidget::event(e);
}

bool TForm1::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == suiEdit_GuestId && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            QCoreApplication::sendEvent(CSpinButton_GuestId, e);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TForm1::HoldNotice(const ZebSerialNotice& notice)
{
    m_heldNotices.push_back(notice.Keep());
    if (m_heldRelease || m_handlingHeld) return;
    m_heldRelease = true;
    platform::WhenNoMessageBox([self = QPointer<TForm1>(this)] {
        if (self) self->HandleHeldNotices();
    });
}

void TForm1::HandleHeldNotices()
{
    m_heldRelease = false;
    m_handlingHeld = true;
    // A box shown by one of these holds the rest back until it has closed; this loop then goes on.
    while (!m_heldNotices.empty()) {
        const std::unique_ptr<ZebSerialNotice> notice = std::move(m_heldNotices.front());
        m_heldNotices.pop_front();
        OnModuleResponse(*notice);
    }
    m_handlingHeld = false;
}

void TForm1::ReleaseGoneDevice()
{
    if (!serial.HungUp()) return;
    serial.Close();
    m_heldNotices.clear();
    QCoreApplication::removePostedEvents(this, int(recvMessageId));
}

void TForm1::DeviceGone()
{
    // A notice from a device that has since been opened afresh is stale.
    if (!serial.HungUp()) return;
    ReleaseGoneDevice();
    if (m_portStatus.startsWith(QStringLiteral("Open Com Succeed:"))) SetPortStatus(QString());
    if (Form2) Form2->setCurStats(false);
    if (!portListPending) RelistPorts();
}

void TForm1::SendFailed(const QString& text, const QString& title)
{
    ReleaseGoneDevice();
    ShowBox(this, text, title);
}

void TForm1::SelectAnsweredItem(TsuiComboBox* box, int index)
{
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void TForm1::OnModuleResponse(const ZebSerialNotice& notice)
{
    const auto& answer = notice.data;
    switch (notice.command) {
    case protocol::kSearch:
        Timer1->stop();
        m_searchReply = answer;
        if (!SendReadChannel(serial)) {
            m_answerBoxShowing = true;
            SendFailed(kOperandFail, kFail);
            m_answerBoxShowing = false;
        }
        SetActionStatus(QStringLiteral("Scan Radio Success!"));
        break;
    case protocol::kWriteComParams:
        SetActionStatus(QStringLiteral("Write the serial port parameters of the module Success!"));
        break;
    case protocol::kReadComParams:
        SelectAnsweredItem(suiComboBox_ComBaudRate, int(answer[0]) - 1);
        SelectAnsweredItem(suiComboBox_ComVerify, answer[1]);
        SetActionStatus(QStringLiteral("Read the module serial port parameters Success!"));
        break;
    case protocol::kWriteAirBaud: SetActionStatus(QStringLiteral("Write air parameters Success!")); break;
    case protocol::kReadAirBaud:
        SelectAnsweredItem(suiComboBox_RfBaudRate, int(answer[0]) - 1);
        SetActionStatus(QStringLiteral("Reading the air parameters Success!"));
        break;
    case protocol::kWriteChannel: SetActionStatus(QStringLiteral("Write channel parameters Success!")); break;
    case protocol::kReadChannel:
        SelectAnsweredItem(suiComboBox_Channel, int(answer[0]) - 1);
        LookupFrequency();
        SetActionStatus(QStringLiteral("Read channel parameters Success!"));
        break;
    case protocol::kWriteGuestId: SetActionStatus(QStringLiteral("Write customer ID Success!")); break;
    case protocol::kReadGuestId:
        suiEdit_GuestId->setText(FiveDigits(protocol::GuestIdOf(answer[0], answer[1])));
        SetActionStatus(QStringLiteral("Read Customer ID Success!"));
        break;
    case protocol::kWritePower: SetActionStatus(QStringLiteral("Write transmit power Success!")); break;
    default: break;
    }
}

void TForm1::LookupFrequency()
{
    if (const auto text
        = protocol::ChannelFrequency(m_searchReply[protocol::kModuleTypeByte], suiComboBox_Channel->currentIndex()))
        m_frequencyText = QString::fromLatin1(text->data(), static_cast<qsizetype>(text->size()));
    suiEdit_Frequency->setText(m_frequencyText);
}

void TForm1::suiComboBox_ChannelChange() { LookupFrequency(); }

// ---- search

void TForm1::suiButton2Click()
{
    if (!Timer1->isActive()) Timer1->start();
    if (Form2) {
        serial.scanBaudItem = std::uint8_t(Form2->BaudItem());
        serial.scanParityItem = std::uint8_t(Form2->ParityItem());
        if (!searchWrapped) serial.selectedBaudItem = std::uint8_t(Form2->BaudItem());
    }
    searchWrapped = false;
    SetActionStatus(QStringLiteral("Scanning Radio ..."));
}

void TForm1::suiButton3Click()
{
    Timer1->stop();
    ShowBox(this, QStringLiteral(" Stop Scan Radio"), QStringLiteral("Notice"));
}

void TForm1::StopSearchWithBox(const QString& status, const QString& text)
{
    Timer1->stop();
    SetActionStatus(status);
    ShowBox(this, text, kFailure);
}

void TForm1::Timer1Timer()
{
    // The last tick's port is still being reached over the network: this tick waits its turn.
    if (m_connect.Busy()) return;
    if (Form2) {
        Form2->SelectItems(serial.scanPortItem, serial.scanBaudItem, serial.scanParityItem);
        Form2->OpenSelectedPort();
    }
    SetActionStatus(QStringLiteral("Scanning the radio stations..."));
    if (!SendSearch(serial)) {
        ReleaseGoneDevice();
        StopSearchWithBox(QStringLiteral("Operation failed"), kPortFail);
    }
    if (!AdvanceSearch())
        StopSearchWithBox(QStringLiteral("Can not scan the radio station"),
                          QStringLiteral("Can not scan the radio station"));
}

bool TForm1::AdvanceSearch()
{
    // The pair space is what the dialog's boxes offer.
    const int baudItems = Form2 ? Form2->BaudItemCount() : 0;
    const int parityItems = Form2 ? Form2->ParityItemCount() : 0;
    return protocol::AdvanceSearchCursor(serial.scanBaudItem, serial.scanParityItem, searchWrapped,
                                         serial.selectedBaudItem, baudItems, parityItems);
}

// ---- read and write actions

void TForm1::suiButton_ChannelReadClick()
{
    SetActionStatus(QStringLiteral("Read channel..."));
    if (!SendReadChannel(serial)) SendFailed(kOperandFail, kFail);
}

void TForm1::suiButton_RfBaudRateReadClick()
{
    SetActionStatus(QStringLiteral("Reading the air baud rate..."));
    if (!SendCommand(serial, protocol::ReadRequest(protocol::kReadAirBaud))) SendFailed(kPortFail, kFailure);
}

void TForm1::suiButton_ComBaudRateReadClick()
{
    SetActionStatus(QStringLiteral("Read the module serial port baud rate..."));
    if (!SendRead(serial, protocol::kReadComParams)) SendFailed(kPortFail, kFailure);
}

void TForm1::suiButton_ReadGuestIdClick()
{
    SetActionStatus(QStringLiteral("Read customer ID..."));
    if (!SendRead(serial, protocol::kReadGuestId)) SendFailed(kPortFail, kFailure);
}

void TForm1::suiButton_ChannelSetClick()
{
    SetActionStatus(QStringLiteral(" "));
    if (suiComboBox_Channel->currentIndex() < 0) {
        ShowBox(this, kOperandFail, kFail);
        return;
    }
    SetActionStatus(QStringLiteral("Set channel..."));
    const int channel = orvane::StrToInt(suiComboBox_Channel->currentText());
    if (!SendWriteChannel(serial, std::uint8_t(channel))) SendFailed(kPortFail, kFailure);
}

void TForm1::suiButton_RfBaudRateSetClick()
{
    SetActionStatus(QStringLiteral("  "));
    if (suiComboBox_RfBaudRate->currentIndex() < 0) {
        ShowBox(this, kSelectParams, kFailure);
        return;
    }
    SetActionStatus(QStringLiteral("Air baud rate setting..."));
    const auto baudCode = std::uint8_t(suiComboBox_RfBaudRate->currentIndex() + 1);
    if (!SendCommand(serial, protocol::WriteAirBaudRequest(baudCode))) SendFailed(kPortFail, kFailure);
}

void TForm1::suiButton_ComBaudRateSetClick()
{
    SetActionStatus(QStringLiteral(" "));
    if (suiComboBox_ComBaudRate->currentIndex() < 0 || suiComboBox_ComVerify->currentIndex() < 0) {
        ShowBox(this, kSelectParams, kFailure);
        return;
    }
    SetActionStatus(QStringLiteral("Write module serial baud rate..."));
    const auto baudCode = std::uint8_t(suiComboBox_ComBaudRate->currentIndex() + 1);
    const auto parity = std::uint8_t(suiComboBox_ComVerify->currentIndex());
    if (!SendWriteComParams(serial, baudCode, parity)) SendFailed(kPortFail, kFailure);
}

void TForm1::suiButton_WriteGuestIdClick()
{
    SetActionStatus(QStringLiteral(" "));
    if (suiEdit_GuestId->text().isEmpty()) return;
    SetActionStatus(QStringLiteral("Setting Client ID..."));
    const int id = orvane::StrToInt(suiEdit_GuestId->text());
    // The frame carries the ID's low 16 bits: an ID that would read back as another one is refused.
    const protocol::Request request = protocol::WriteGuestIdRequest(id);
    if (protocol::GuestIdOf(request.payload[0], request.payload[1]) != id) {
        ShowBox(this, kSelectParams, kFailure);
        return;
    }
    if (!SendWriteGuestId(serial, id)) SendFailed(kPortFail, kFailure);
}

void TForm1::suiButton_WritePowerClick()
{
    SetActionStatus(QStringLiteral(" "));
    if (suiComboBox_Power->currentIndex() < 0) {
        ShowBox(this, kSelectParams, kFailure);
        return;
    }
    SetActionStatus(QStringLiteral("Set transmit power..."));
    const int level = orvane::StrToInt(suiComboBox_Power->currentText());
    if (!SendWritePower(serial, std::uint8_t(level))) SendFailed(kPortFail, kFailure);
}

// ---- ID steps

void TForm1::CSpinButton_GuestIdDownClick()
{
    const QString text = suiEdit_GuestId->text();
    const int value = text.isEmpty() ? 0 : orvane::StrToInt(text);
    suiEdit_GuestId->setText(FiveDigits(value > 0 ? value - 1 : 0));
}

void TForm1::CSpinButton_GuestIdUpClick()
{
    const QString text = suiEdit_GuestId->text();
    const int value = text.isEmpty() ? 0 : orvane::StrToInt(text);
    suiEdit_GuestId->setText(FiveDigits(value < protocol::kHighestGuestId ? value + 1 : protocol::kHighestGuestId));
}
