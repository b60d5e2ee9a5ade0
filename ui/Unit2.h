#pragma once
// The port settings dialog: picks port, baud rate and parity for the PC side of the link and
// opens or closes that port through the window that hosts it.

#include "ui/PortDialogHost.h"

#include <QDialog>

#include <vector>

class QLabel;
class TsuiButton;
class TsuiComboBox;
class TsuiForm;
struct WindowTestAccess;

// The dialog's controls, by their names, as its definition builds them.
struct TForm2Controls {
    TsuiForm* suiForm1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    TsuiComboBox* suiComboBox_ComPort = nullptr;
    TsuiComboBox* suiComboBox_BaudRate = nullptr;
    TsuiComboBox* suiComboBox_Verify = nullptr;
    TsuiButton* suiButton_Open = nullptr;
    TsuiButton* suiButton_Close = nullptr;
    TsuiButton* suiButton_Cancel = nullptr;
};

class TForm2 : public QDialog, public PortDialog, private TForm2Controls {
    Q_OBJECT

public:
    // Works on the host's serial object and status line, and registers itself there as its port
    // dialog for as long as it lives.
    explicit TForm2(PortDialogHost& host);
    ~TForm2() override;

    void FormShow();
    void setCurStats(bool open) override;
    void suiButton_OpenClick();
    void suiButton_CloseClick();
    void suiComboBox_BaudRateChange();
    void suiComboBox_VerifyChange();
    OpenResult OpenSelectedPort() override;
    void SelectItems(int portItem, int baudItem, int parityItem) override;

    // The port box's selected item, -1 with none.
    int PortItem() const;
    int BaudItem() const override;
    int ParityItem() const override;
    int BaudItemCount() const override;
    int ParityItemCount() const override;
    // Each item carries its port number and its tooltip.
    void ListPorts(const std::vector<PortListItem>& items) override;
    void ShowModal() override { exec(); }

protected:
    void showEvent(QShowEvent* e) override;
    // Closing the dialog while its "Open" still reaches a port on another machine gives that up.
    void done(int result) override;

private:
    friend struct WindowTestAccess;

    void BuildControls();

    PortDialogHost& m_host;
    // While "Open" runs, and whether the dialog was closed meanwhile.
    bool m_opening = false;
    bool m_openGivenUp = false;
};
