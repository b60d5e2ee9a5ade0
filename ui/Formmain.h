#pragma once
// The main window: the parameter page, the button bar, the status line, the handling of the
// module's answers and the module search.

#include "serial/ZebSerial.h"
#include "ui/PortConnect.h"
#include "ui/PortDialogHost.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class LivePorts;
class QLabel;
class QTimer;
class TCSpinButton;
class TsuiButton;
class TsuiComboBox;
class TsuiEdit;
class TsuiForm;
class TsuiGroupBox;
class TsuiImagePanel;
class TsuiPageControl;
class TsuiTabSheet;
struct WindowTestAccess;

// The main window's controls, by their names, as its definition builds them.
struct TForm1Controls {
    TsuiForm* suiForm1 = nullptr;
    TsuiImagePanel* suiImagePanel1 = nullptr;
    TsuiButton* suiButton1 = nullptr;
    TsuiButton* suiButton2 = nullptr;
    TsuiButton* suiButton3 = nullptr;
    TsuiButton* suiButton4 = nullptr;
    TsuiPageControl* suiPageControl1 = nullptr;
    TsuiTabSheet* suiTabSheet1 = nullptr;
    TsuiImagePanel* suiImagePanel3 = nullptr;
    TsuiGroupBox* suiGroupBox1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    TsuiComboBox* suiComboBox_Channel = nullptr;
    TsuiEdit* suiEdit_Frequency = nullptr;
    TsuiButton* suiButton_ChannelRead = nullptr;
    TsuiButton* suiButton_ChannelSet = nullptr;
    TsuiGroupBox* suiGroupBox2 = nullptr;
    QLabel* Label6 = nullptr;
    TsuiComboBox* suiComboBox_RfBaudRate = nullptr;
    TsuiButton* suiButton_RfBaudRateRead = nullptr;
    TsuiButton* suiButton_RfBaudRateSet = nullptr;
    TsuiGroupBox* suiGroupBox3 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    TsuiComboBox* suiComboBox_ComBaudRate = nullptr;
    TsuiComboBox* suiComboBox_ComVerify = nullptr;
    TsuiButton* suiButton_ComBaudRateRead = nullptr;
    TsuiButton* suiButton_ComBaudRateSet = nullptr;
    TsuiGroupBox* suiGroupBox5 = nullptr;
    TsuiEdit* suiEdit_GuestId = nullptr;
    TCSpinButton* CSpinButton_GuestId = nullptr;
    TsuiButton* suiButton_ReadGuestId = nullptr;
    TsuiButton* suiButton_WriteGuestId = nullptr;
    TsuiGroupBox* suiGroupBox6 = nullptr;
    QLabel* Label14 = nullptr;
    TsuiComboBox* suiComboBox_Power = nullptr;
    TsuiButton* suiButton_ReadPower = nullptr;
    TsuiButton* suiButton_WritePower = nullptr;
    TsuiImagePanel* suiImagePanel2 = nullptr;
    QTimer* Timer1 = nullptr;
};

class TForm1 : public QWidget, public PortDialogHost, private TForm1Controls {
    Q_OBJECT

public:
    static constexpr int kSearchIntervalMs = 800;

    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    ZebSerial& Serial() { return serial; }

    // The port dialog's host: it registers itself here, and "Com Setting" and the search work
    // through it; it reaches the serial object only through the port calls.
    void SetPortDialog(PortDialog* dialog) override { Form2 = dialog; }
    PortDialog* RegisteredPortDialog() const override { return Form2; }
    QWidget* HostWindow() override { return this; }
    bool OpenOrReconfigurePort(int port, int baudRate, int parity) override;
    void ClosePort() override;
    bool PortIsOpen() const override;
    bool PortBusy() const override { return m_connect.Busy(); }
    void CancelPortOpen() override { m_connect.Interrupt(); }
    void SetSearchCursor(int portItem, int baudItem, int parityItem) override;
    void SetSearchEnd(int baudItem) override;

    // Status line: three blanks, the port part, four blanks, the action part.
    void SetStatusText(const QString& text);
    void SetPortStatus(const QString& text) override;
    void SetActionStatus(const QString& text) override;
    QString StatusText() const;

    // The status line's gradient and the page's background drawn at the device pixel ratio: from the
    // twice-size pictures above 1.
    void UsePicturesAt(qreal devicePixelRatio);

    // Event handlers, named after their control and event.
    void FormCreate();
    void suiButton1Click();
    void suiButton2Click();
    void suiButton3Click();
    void suiButton4Click();
    void Timer1Timer();
    bool AdvanceSearch();
    void suiComboBox_ChannelChange();
    void suiButton_ChannelReadClick();
    void suiButton_RfBaudRateReadClick();
    void suiButton_ComBaudRateReadClick();
    void suiButton_ReadGuestIdClick();
    void suiButton_ChannelSetClick();
    void suiButton_RfBaudRateSetClick();
    void suiButton_ComBaudRateSetClick();
    void suiButton_WriteGuestIdClick();
    void suiButton_WritePowerClick();
    void CSpinButton_GuestIdDownClick();
    void CSpinButton_GuestIdUpClick();

protected:
    // Dispatch: the module's notice goes to OnModuleResponse, everything else on as usual.
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    // Up and Down in the ID edit step it as the spin button's arrows do.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend struct WindowTestAccess;

    void BuildControls();
    void BuildButtonBar();
    void BuildPage();
    void BuildRadioGroups(QWidget* page);
    void BuildIdAndPowerGroups(QWidget* page);
    void BindHandlers();
    void OnModuleResponse(const ZebSerialNotice& notice);
    // Search answers that arrive while a box raised by an answer is showing wait here (with the
    // answers behind them) and are handled after it has closed.
    void HoldNotice(const ZebSerialNotice& notice);
    void HandleHeldNotices();
    // The device went away: the port is closed and its waiting answers are dropped (they would
    // only send to a device that is not there), and neither the status line nor the dialog says
    // the port is open any more.
    void DeviceGone();
    // The design's list of up to eight ports that open, from the live list.
    void KeepOpeningPorts();
    void PortsChanged();
    // Hands the live list to the dialog once it has been filled the first time.
    void RelistPorts();
    // After a failed send: when the device has gone, close it and drop its waiting answers.
    void ReleaseGoneDevice();
    void SendFailed(const QString& text, const QString& title);
    void LookupFrequency();
    void StopSearchWithBox(const QString& status, const QString& text);
    // Shows an answered code's item in a box; an index outside its items leaves it empty.
    static void SelectAnsweredItem(TsuiComboBox* box, int index);

    QString m_portStatus;
    QString m_actionStatus;
    QString m_frequencyText;
    // Data of the last answer to the search command; byte 2 is the module type.
    std::array<std::uint8_t, 4> m_searchReply{};
    PortDialog* Form2 = nullptr;
    unsigned recvMessageId = 0;
    bool portListPending = false;
    LivePorts* m_livePorts = nullptr;
    // What the dialog lists, item by item.
    std::vector<PortListItem> m_listedPorts;
    bool searchWrapped = false;
    std::deque<std::unique_ptr<ZebSerialNotice>> m_heldNotices;
    // While the box of a search answer whose channel read failed is showing.
    bool m_answerBoxShowing = false;
    bool m_heldRelease = false;
    bool m_handlingHeld = false;

    PortConnect m_connect;
    bool m_comSettingWaits = false;

    // Declared last so that it goes first: the port is closed and the reader stopped while
    // the window still exists.
    ZebSerial serial;
};
