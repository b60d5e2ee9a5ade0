#pragma once
// A mock machine for the port tests: a umockdev testbed (the test program runs under
// umockdev-wrapper, so it and every program it starts see the testbed's /sys and /dev) with
// built-in UARTs, USB serial adapters and CDC-ACM devices. Each mocked tty node is backed by a pty
// whose other end the test holds.

#include <string>

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace hwtest {

class MockPorts {
public:
    MockPorts();  // no serial device at all: every node of the built-in table is hidden
    ~MockPorts();
    MockPorts(const MockPorts&) = delete;
    MockPorts& operator=(const MockPorts&) = delete;

    // ttyS<index> with the kernel's UART type (4 a 16550A, 0 no UART behind the node; -1: sysfs
    // has no type, the driver must be asked).
    void AddUart(int index, int type);
    // ttyUSB<index>: a CP210x adapter with serial number "0001" (index 0; "0002" for 1, ...) and
    // its /dev/serial/by-id/ link.
    void AddCp210x(int index, const std::string& product = "CP2102 USB to UART Bridge Controller");
    // Takes ttyUSB<index> away as unplugging it does: its node and by-id link go, udev announces
    // the removal, then the device's records go. (Adding a device announces it by itself. The
    // testbed cannot make the same node twice: plug another index.)
    void UnplugUsb(int index);
    // A system-on-chip UART outside the table, "ttyAMA0".
    void AddSocUart(const std::string& name);
    // rfcomm<index>: a Bluetooth serial port bound to no connection yet (no device behind it).
    void AddRfcomm(int index);
    // A link in the testbed's /dev: "console" -> "ttyS0".
    void LinkNode(const std::string& name, const std::string& target);
    // ttyUSB<index>: a CH340 adapter, which reports neither manufacturer nor serial number.
    void AddCh340(int index);
    // ttyACM<index>: a CDC-ACM device.
    void AddAcm(int index);
    // The kernel console's ttys, as /sys/class/tty/console/active lists them.
    void SetConsole(const std::string& names);

    // The test's end of the pty behind a node ("/dev/ttyUSB0"); never to be closed.
    int Master(const std::string& node);
    // The pty that backs a node, as the real system names it.
    std::string BackingPty(const std::string& node) const;
    static std::string ByIdName(int index = 0);
    // Lets other users reach the testbed (it is private to its creator otherwise); call it after the
    // last Add.
    void OpenToEveryone();

private:
    // The devices described, the tty node among them; the testbed announces each as it makes it.
    void Add(const std::string& description, const std::string& node);

    UMockdevTestbed* bed = nullptr;
    std::string root;
};

}  // namespace hwtest
