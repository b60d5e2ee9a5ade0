#pragma once
// Where the two windows meet. The port dialog acts on the port, the search cursor and the status
// line of the window that hosts it; that window fills the dialog's port list, shows it and runs the
// search through it. Each window knows the other only through these two interfaces.

#include <QString>

#include <vector>

class QWidget;
class PortDialog;

// One item of the dialog's port box: "COM" and the number, and a tooltip saying which device it
// is, or why it does not open and what to do.
struct PortListItem {
    int port = 0;
    QString toolTip;

    bool operator==(const PortListItem&) const = default;
};

// What the port dialog asks of its host window.
class PortDialogHost {
public:
    // The port: the dialog reaches the host's serial object only through these.
    virtual bool OpenOrReconfigurePort(int port, int baudRate, int parity) = 0;
    virtual void ClosePort() = 0;
    virtual bool PortIsOpen() const = 0;
    // While a port on another machine is being reached (the window goes on meanwhile), and how the
    // dialog gives that up when it is closed.
    virtual bool PortBusy() const = 0;
    virtual void CancelPortOpen() = 0;
    // "Open" records the opened pair as where the next search starts; picking a baud rate or a
    // parity in the dialog moves the search's end mark to the baud item.
    virtual void SetSearchCursor(int portItem, int baudItem, int parityItem) = 0;
    virtual void SetSearchEnd(int baudItem) = 0;
    // The two parts of the host's status line.
    virtual void SetPortStatus(const QString& text) = 0;
    virtual void SetActionStatus(const QString& text) = 0;
    // The dialog registers itself here for as long as it lives, and belongs to this window.
    virtual void SetPortDialog(PortDialog* dialog) = 0;
    virtual PortDialog* RegisteredPortDialog() const = 0;
    virtual QWidget* HostWindow() = 0;

protected:
    ~PortDialogHost() = default;
};

// What the host window asks of the port dialog.
class PortDialog {
public:
    enum class OpenResult { Opened, OpenFailed, NoSelection };

    // Fills the port list with "COMn" for each item, keeping the chosen port chosen while it is
    // listed; otherwise (a first fill too) the first item is chosen.
    virtual void ListPorts(const std::vector<PortListItem>& items) = 0;
    virtual void ShowModal() = 0;
    virtual void setCurStats(bool open) = 0;
    // Selects the three items, each clamped to its box's last item.
    virtual void SelectItems(int portItem, int baudItem, int parityItem) = 0;
    // Opens the chosen port at the chosen baud rate and parity through the host and writes the
    // outcome into its status line.
    virtual OpenResult OpenSelectedPort() = 0;
    // The chosen items (-1 where a box has no selection) and the pairs the dialog offers.
    virtual int BaudItem() const = 0;
    virtual int ParityItem() const = 0;
    virtual int BaudItemCount() const = 0;
    virtual int ParityItemCount() const = 0;

protected:
    ~PortDialog() = default;
};
