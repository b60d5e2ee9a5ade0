#pragma once
// The port settings dialog: picks port, baud rate and parity for the PC side of the link and
// opens or closes that port on the main window's serial object.

#include <QDialog>

class QLabel;
class TForm1;
class TsuiButton;
class TsuiComboBox;
class TsuiForm;

class TForm2 : public QDialog {
    Q_OBJECT

public:
    // Works on the main window's serial object and status line, and registers itself there as
    // its port dialog for as long as it lives.
    explicit TForm2(TForm1& mainWindow);
    ~TForm2() override;

    void FormShow();
    void setCurStats(bool open);
    void suiButton_OpenClick();
    void suiButton_CloseClick();
    void suiComboBox_BaudRateChange();
    void suiComboBox_VerifyChange();
    // 0 opened, -1 the open failed, -2 a box has no selection.
    int OpenSelectedPort();
    void SelectItems(int portItem, int baudItem, int parityItem);

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

protected:
    void showEvent(QShowEvent* e) override;

private:
    void BuildControls();
    // Connects a signal to a handler that runs under the exception display.
    template <class Sender, class Signal>
    void Bind(Sender* sender, Signal signal, void (TForm2::*handler)());

    TForm1& form1;
};
