#pragma once
// Helpers for the window tests: one QApplication and one private ports directory per test
// program, the simulated module on a pty, both windows, boxes recorded instead of shown, and
// waits with generous deadlines.

#include "WindowTestAccess.h"

#include "common/EventWait.h"
#include "common/MessageBoxRecorder.h"
#include "model/PtyModule.h"

#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <ostream>

class QWidget;

// QString in test failure messages.
void PrintTo(const QString& s, std::ostream* os);

namespace uitest {

using testcommon::WaitUntil;

// The ports directory every test of the program shares (XDG_CONFIG_HOME is a temporary
// directory, set before the first window probes the ports).
std::string PortsDirectory();

// The simulated module on a pty linked as "comN", with a log of the bytes it received.
class Module {
public:
    explicit Module(modsim::PtyModuleOptions options);
    ~Module();

    modsim::PtyModule& Pty() { return *pty; }
    // Every byte the module read while the line matched its settings, as "AF AF 00 ...".
    std::string Received() const;
    // How often the frame ("AF AF ...") was read, at matching line settings or not.
    int Count(const std::string& frame) const;
    // Reads of request bytes so far, at matching line settings or not, answered or not.
    int RequestsSeen() const;

private:
    mutable std::mutex lock;
    std::string received;
    std::string everything;
    int requests = 0;
    std::unique_ptr<modsim::PtyModule> pty;
};

// A module at the given port with default settings (9600, no parity, 433 MHz) unless changed.
modsim::PtyModuleOptions ModuleAt(int port);

// Both windows, built as the program builds them, with boxes recorded.
struct Windows {
    Windows();
    TForm1 form1;
    TForm2 form2{form1};
    // The two windows' controls.
    TForm1Controls& main = WindowTestAccess::Controls(form1);
    TForm2Controls& dialog = WindowTestAccess::Controls(form2);
    MessageBoxRecorder boxes;

    // "Com Setting": fills the port list at the first call; the dialog is closed again at once.
    void ComSetting();
    // Selects the port item named "COMn", a baud item and a parity item and presses "Open".
    void OpenPort(int port, int baudItem = 3, int parityItem = 0);
    // The composed status line for a port part and an action part.
    static QString Status(const QString& port, const QString& action);
    // Presses a skinned button with the mouse.
    static void Click(QWidget* button);
    QString LastBoxText() const;
    QString LastBoxTitle() const;
};

}  // namespace uitest
