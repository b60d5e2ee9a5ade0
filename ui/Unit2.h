#pragma once
// The port settings dialog: picks port, baud rate and parity for the PC side of the link and
// opens or closes that port through the main window.

#include <QDialog>

#include <vector>

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
    enum class OpenResult { Opened = 0, OpenFailed = -1, NoSelection = -2 };
    // Opens the chosen port at the chosen baud rate and parity through the main window and writes
    // the outcome into its status line.
    OpenResult OpenSelectedPort();
    // Selects the three items, each clamped to its box's last item.
    void SelectItems(int portItem, int baudItem, int parityItem);

    // The chosen items: -1 where a box has no selection. The baud item is the baud index, the
    // parity item the parity index.
    int PortItem() const;
    int BaudItem() const;
    int ParityItem() const;
    // The pairs the dialog offers.
    int BaudItemCount() const;
    int ParityItemCount() const;
    // Fills the port list with "COMn" for each port number and selects the first.
    void ListPorts(const std::vector<int>& ports);

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

    TForm1& m_form1;
};
