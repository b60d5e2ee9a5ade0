#include "MockPorts.h"

#include <umockdev.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>

#include "platform/PortNamespace.h"

namespace fs = std::filesystem;

namespace hwtest {

namespace {

std::string UsbDevice(const std::string& path, const std::string& vendor, const std::string& product,
                      const std::string& attrs)
{
    return "P: " + path + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\nA: idVendor=" + vendor
        + "\nA: idProduct=" + product + "\n" + attrs + "\n\n";
}

std::string UsbInterface(const std::string& path, const std::string& driver)
{
    return "P: " + path + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nE: DRIVER=" + driver + "\n\n";
}

std::string TtyNode(const std::string& path, const std::string& name, int major, int minor, const std::string& more)
{
    return "P: " + path + "/tty/" + name + "\nN: " + name + "\nE: DEVNAME=/dev/" + name
        + "\nE: SUBSYSTEM=tty\nE: MAJOR=" + std::to_string(major) + "\nE: MINOR=" + std::to_string(minor)
        + "\nA: dev=" + std::to_string(major) + ":" + std::to_string(minor) + "\n" + more + "\n";
}

// The testbed answers every ioctl of a mocked node itself, and refuses those it does not know; a
// tty's ioctls (exclusive mode, modem lines) go through to the pty behind the node instead.
gboolean PassThrough(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer)
{
    gint err = 0;
    const gint result = umockdev_ioctl_client_execute(client, &err, nullptr);
    umockdev_ioctl_client_complete(client, result, err);
    return TRUE;
}

std::string UsbPath(int index) { return "/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(index + 1); }

std::string SerialNumber(int index)
{
    const std::string n = std::to_string(index + 1);
    return std::string(4 - n.size(), '0') + n;
}

}  // namespace

std::string MockPorts::ByIdName(int index)
{
    return "/dev/serial/by-id/usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_Controller_" + SerialNumber(index)
        + "-if00-port0";
}

MockPorts::MockPorts()
    : bed(umockdev_testbed_new())
{
    gchar* dir = umockdev_testbed_get_root_dir(bed);
    root = dir;
    g_free(dir);
    // Nodes the testbed lacks would be the real machine's: a dangling link hides each of them.
    fs::create_directories(root + "/dev");
    for (int port = 1; port <= platform::kHighestPort; ++port) {
        fs::create_symlink("/nonexistent", root + platform::BuiltinDevicePath(port));
    }
}

MockPorts::~MockPorts() { g_object_unref(bed); }

void MockPorts::Add(const std::string& description, const std::string& node)
{
    fs::remove(root + "/dev/" + node);
    GError* error = nullptr;
    // The node's ioctls are answered before the device is announced: a program watching for it may
    // open it at once.
    UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(PassThrough), nullptr);
    EXPECT_TRUE(umockdev_testbed_attach_ioctl(bed, ("/dev/" + node).c_str(), handler, &error))
        << (error != nullptr ? error->message : "");
    if (error != nullptr) g_error_free(error);
    error = nullptr;
    g_object_unref(handler);
    const gboolean ok = umockdev_testbed_add_from_string(bed, description.c_str(), &error);
    EXPECT_TRUE(ok) << (error != nullptr ? error->message : "") << "\n" << description;
    if (error != nullptr) g_error_free(error);
}

void MockPorts::AddUart(int index, int type)
{
    const std::string name = "ttyS" + std::to_string(index);
    const std::string parent = "/devices/pnp0/00:0" + std::to_string(index);
    Add("P: " + parent + "\nE: SUBSYSTEM=pnp\nE: DRIVER=serial\n\n"
            + TtyNode(parent, name, 4, 64 + index, type < 0 ? "" : "A: type=" + std::to_string(type) + "\n"),
        name);
}

void MockPorts::AddSocUart(const std::string& name)
{
    const std::string parent = "/devices/platform/soc/fe201000.serial";
    Add("P: " + parent + "\nE: SUBSYSTEM=amba\nE: DRIVER=uart-pl011\n\n"
            + TtyNode(parent, name, 204, 64, "A: type=32\n"),
        name);
}

void MockPorts::AddRfcomm(int index)
{
    const std::string name = "rfcomm" + std::to_string(index);
    Add("P: /devices/virtual/tty/" + name + "\nN: " + name + "\nE: DEVNAME=/dev/" + name
            + "\nE: SUBSYSTEM=tty\nE: MAJOR=216\nE: MINOR=" + std::to_string(index)
            + "\nA: dev=216:" + std::to_string(index) + "\n",
        name);
}

void MockPorts::LinkNode(const std::string& name, const std::string& target)
{
    fs::create_symlink(target, root + "/dev/" + name);
}

void MockPorts::AddCp210x(int index, const std::string& product)
{
    const std::string name = "ttyUSB" + std::to_string(index);
    const std::string usb = UsbPath(index);
    const std::string iface = usb + "/1-" + std::to_string(index + 1) + ":1.0";
    // udev makes this link before it announces the device; the testbed has no udev, so the test does.
    fs::create_directories(root + "/dev/serial/by-id");
    fs::create_symlink("../../" + name, root + ByIdName(index));
    Add(UsbDevice(usb, "10c4", "ea60",
                  "A: manufacturer=Silicon Labs\nA: product=" + product + "\nA: serial=" + SerialNumber(index))
            + UsbInterface(iface, "cp210x") + "P: " + iface + "/" + name
            + "\nE: SUBSYSTEM=usb-serial\nE: DRIVER=cp210x\n\n"
            + TtyNode(iface + "/" + name, name, 188, index, "E: ID_VENDOR_ID=10c4\nE: ID_MODEL_ID=ea60\n"),
        name);
}

void MockPorts::UnplugUsb(int index)
{
    const std::string name = "ttyUSB" + std::to_string(index);
    // The node goes before its ioctls stop being answered: a program may be opening it.
    fs::remove(root + "/dev/" + name);
    fs::create_symlink("/nonexistent", root + "/dev/" + name);
    umockdev_testbed_detach_ioctl(bed, ("/dev/" + name).c_str(), nullptr);
    fs::remove(root + ByIdName(index));
    const std::string usb = "/sys" + UsbPath(index);
    const std::string iface = usb + "/1-" + std::to_string(index + 1) + ":1.0";
    const std::string tty = iface + "/" + name + "/tty/" + name;
    umockdev_testbed_uevent(bed, tty.c_str(), "remove");
    for (const std::string& path : {tty, iface + "/" + name, iface, usb})
        umockdev_testbed_remove_device(bed, path.c_str());
}

void MockPorts::AddCh340(int index)
{
    const std::string name = "ttyUSB" + std::to_string(index);
    const std::string usb = UsbPath(index);
    const std::string iface = usb + "/1-" + std::to_string(index + 1) + ":1.0";
    Add(UsbDevice(usb, "1a86", "7523", "A: product=USB Serial") + UsbInterface(iface, "ch341") + "P: " + iface + "/"
            + name + "\nE: SUBSYSTEM=usb-serial\nE: DRIVER=ch341\n\n"
            + TtyNode(iface + "/" + name, name, 188, index, "E: ID_VENDOR_ID=1a86\nE: ID_MODEL_ID=7523\n"),
        name);
}

void MockPorts::AddAcm(int index)
{
    const std::string name = "ttyACM" + std::to_string(index);
    const std::string usb = "/devices/pci0000:00/0000:00:14.0/usb2/2-" + std::to_string(index + 1);
    const std::string iface = usb + "/2-" + std::to_string(index + 1) + ":1.0";
    Add(UsbDevice(usb, "2e8a", "000a", "A: manufacturer=Raspberry Pi\nA: product=Pico\nA: serial=E660583883")
            + UsbInterface(iface, "cdc_acm") + TtyNode(iface, name, 166, index, ""),
        name);
}

void MockPorts::SetConsole(const std::string& names)
{
    GError* error = nullptr;
    const std::string description = "P: /devices/virtual/tty/console\nE: SUBSYSTEM=tty\nA: active=" + names + "\n";
    EXPECT_TRUE(umockdev_testbed_add_from_string(bed, description.c_str(), &error));
    if (error != nullptr) g_error_free(error);
}

int MockPorts::Master(const std::string& node) { return umockdev_testbed_get_dev_fd(bed, node.c_str()); }

std::string MockPorts::BackingPty(const std::string& node) const
{
    std::array<char, 4096> target{};
    const ssize_t n = ::readlink((root + node).c_str(), target.data(), target.size() - 1);
    return n > 0 ? std::string(target.data(), static_cast<std::size_t>(n)) : std::string();
}

void MockPorts::OpenToEveryone()
{
    ::chmod(root.c_str(), 0755);
    // Every open of a node in the testbed talks to the testbed over these sockets.
    for (const auto& entry : fs::recursive_directory_iterator(root + "/ioctl"))
        ::chmod(entry.path().c_str(), 0777);
}

}  // namespace hwtest
