#include "platform/PortDiscovery.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>

#include "platform/NetworkPorts.h"
#include "platform/PortNamespace.h"
#include "platform/ProcTerminals.h"

namespace platform {

namespace {

constexpr int kMaxLinkSteps = 40;  // as the kernel's own limit on nested links
constexpr const char* kByIdDirectory = "/dev/serial/by-id";

struct UdevFree {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
};
using Udev = std::unique_ptr<udev, UdevFree>;
using UdevDevice = std::unique_ptr<udev_device, UdevFree>;
using UdevEnumerate = std::unique_ptr<udev_enumerate, UdevFree>;

std::string Trimmed(const char* text)
{
    if (text == nullptr) return {};
    std::string s(text);
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

std::string Attr(udev_device* d, const char* name)
{
    return d == nullptr ? std::string() : Trimmed(udev_device_get_sysattr_value(d, name));
}

std::string Prop(udev_device* d, const char* name)
{
    return d == nullptr ? std::string() : Trimmed(udev_device_get_property_value(d, name));
}

// udev's encoded names use '_' for blanks: "Silicon_Labs" reads "Silicon Labs".
std::string Unencoded(std::string s)
{
    std::replace(s.begin(), s.end(), '_', ' ');
    return s;
}

std::string FirstOf(std::string a, const std::string& b) { return a.empty() ? b : a; }

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// The COM number the built-in table gives a node name, 0 for none.
int BuiltinPortOf(const std::string& device)
{
    for (int port = 1; port <= kHighestPort; ++port) {
        if (BuiltinDevicePath(port) == device) return port;
    }
    return 0;
}

// The device number a path finally names; nothing for a path that names no character device.
std::optional<dev_t> DeviceNumber(const std::string& path)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return std::nullopt;
    return st.st_rdev;
}

// The devices of the kernel's consoles, by number, whatever a path calls them: what the active
// console list names (its database record and its node), and what /dev/console leads to.
std::vector<dev_t> ConsoleDevices(udev* u)
{
    std::vector<dev_t> devices;
    UdevDevice console(udev_device_new_from_subsystem_sysname(u, "tty", "console"));
    for (const std::string& name : Words(Attr(console.get(), "active"))) {
        UdevDevice d(udev_device_new_from_subsystem_sysname(u, "tty", name.c_str()));
        if (d) devices.push_back(udev_device_get_devnum(d.get()));
        if (const std::optional<dev_t> node = DeviceNumber("/dev/" + name)) devices.push_back(*node);
    }
    if (const std::optional<dev_t> node = DeviceNumber("/dev/console")) devices.push_back(*node);
    return devices;
}

// /dev/tty0 to /dev/tty63 (the virtual consoles), /dev/tty and /dev/console, or a device the
// console list names.
bool IsConsole(dev_t device, const std::vector<dev_t>& consoles)
{
    if (major(device) == 4 && minor(device) < 64) return true;
    if (major(device) == 5 && minor(device) <= 1) return true;
    return std::find(consoles.begin(), consoles.end(), device) != consoles.end();
}

// The kernel's type of a UART without a sysfs "type": asked of the driver, the device opened
// without becoming anyone's terminal and without touching its settings.
int UartTypeFromDriver(const std::string& device)
{
    const int fd = ::open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    serial_struct s{};
    const int type = ::ioctl(fd, TIOCGSERIAL, &s) == 0 ? s.type : -1;
    ::close(fd);
    return type;
}

std::string ByIdNameOf(udev_device* d, const std::string& device)
{
    for (udev_list_entry* e = udev_device_get_devlinks_list_entry(d); e != nullptr; e = udev_list_entry_get_next(e)) {
        const std::string link = udev_list_entry_get_name(e);
        if (StartsWith(link, kByIdDirectory)) return link;
    }
    for (const std::string& link : Words(Prop(d, "DEVLINKS"))) {
        if (StartsWith(link, kByIdDirectory)) return link;
    }
    // No database: the links themselves say where they point. Read through opendir(): the mock
    // hardware's preload takes a directory under /dev that open() gave for a device, and loses
    // track of it at closedir(), confusing the next device opened on the same descriptor.
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kByIdDirectory, error)) {
        const std::string link = entry.path().string();
        const Result<std::string> target = ResolveLinks(link);
        if (target && *target == device) return link;
    }
    return {};
}

// The facts of one tty record; systemUse is left to the caller, who knows the console. A UART
// without a sysfs "type" is asked for it only when `mayAsk` (not a console, not a session's).
SerialPortInfo InfoOf(udev_device* d, bool mayAsk)
{
    SerialPortInfo info;
    const std::string sysname = Trimmed(udev_device_get_sysname(d));
    const char* node = udev_device_get_devnode(d);
    info.device = node != nullptr ? node : "/dev/" + sysname;

    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(d, "usb", "usb_device");
    if (usb != nullptr) {
        udev_device* iface = udev_device_get_parent_with_subsystem_devtype(d, "usb", "usb_interface");
        const std::string driver
            = iface != nullptr ? FirstOf(Trimmed(udev_device_get_driver(iface)), Prop(iface, "DRIVER")) : "";
        info.kind = StartsWith(sysname, "ttyACM") || driver == "cdc_acm" ? PortKind::kUsbAcm : PortKind::kUsbSerial;
        info.vendorId = FirstOf(Prop(d, "ID_VENDOR_ID"), Attr(usb, "idVendor"));
        info.productId = FirstOf(Prop(d, "ID_MODEL_ID"), Attr(usb, "idProduct"));
        info.manufacturer = FirstOf(Attr(usb, "manufacturer"), Unencoded(Prop(d, "ID_VENDOR")));
        info.product = FirstOf(Attr(usb, "product"), Unencoded(Prop(d, "ID_MODEL")));
        info.serial = FirstOf(Attr(usb, "serial"), Prop(d, "ID_SERIAL_SHORT"));
    } else {
        const std::string type = Attr(d, "type");
        if (!type.empty() || StartsWith(sysname, "ttyS")) {
            info.kind = PortKind::kUart;
            info.uartType = !type.empty() ? std::atoi(type.c_str()) : mayAsk ? UartTypeFromDriver(info.device) : -1;
        }
    }
    // udev names only USB serial devices by id.
    if (usb != nullptr) info.byId = ByIdNameOf(d, info.device);
    return info;
}

// The facts of a tty record with what the system uses it for, found before anything is opened.
SerialPortInfo Described(udev_device* d, dev_t devnum, const std::vector<dev_t>& consoles,
                         const std::vector<Login>& logins)
{
    const bool console = IsConsole(devnum, consoles);
    const std::string login = LoginOn(devnum, logins);
    const std::string session = SessionOn(devnum, logins);
    SerialPortInfo info = InfoOf(d, !console && session.empty());
    if (info.NoUart()) return info;
    info.systemUse = console ? "kernel console" : login;
    info.session = session;
    return info;
}

bool IsPtySlave(dev_t devnum) { return major(devnum) >= 136 && major(devnum) <= 143; }

// The tty record of a character device, when the database knows it as one.
UdevDevice TtyRecord(udev* u, dev_t devnum)
{
    UdevDevice d(udev_device_new_from_devnum(u, 'c', devnum));
    if (!d || Trimmed(udev_device_get_subsystem(d.get())) != "tty") return nullptr;
    return d;
}

// Every serial tty the device database knows.
std::vector<SerialPortInfo> KnownTtys(udev* u, const std::vector<dev_t>& consoles, const std::vector<Login>& logins)
{
    std::vector<SerialPortInfo> ports;
    UdevEnumerate e(udev_enumerate_new(u));
    udev_enumerate_add_match_subsystem(e.get(), "tty");
    // Serial ttys are named tty and a letter (ttyS0, ttyUSB0, ttyACM0, ttyAMA0) or rfcomm; naming
    // them spares reading the records of the virtual terminals tty0 to tty63, most of the cost.
    udev_enumerate_add_match_sysname(e.get(), "tty[A-Za-z]*");
    udev_enumerate_add_match_sysname(e.get(), "rfcomm*");
    udev_enumerate_scan_devices(e.get());
    for (udev_list_entry* l = udev_enumerate_get_list_entry(e.get()); l != nullptr; l = udev_list_entry_get_next(l)) {
        UdevDevice d(udev_device_new_from_syspath(u, udev_list_entry_get_name(l)));
        // A tty with no device behind it is virtual; but for a Bluetooth port bound before it connects.
        if (!d
            || (udev_device_get_parent(d.get()) == nullptr
                && !StartsWith(Trimmed(udev_device_get_sysname(d.get())), "rfcomm")))
            continue;
        ports.push_back(Described(d.get(), udev_device_get_devnum(d.get()), consoles, logins));
    }
    return ports;
}

// Links in the ports directory give their COM numbers to what they point at; what the database
// does not know is listed as the link.
void AddPortsDirectoryLinks(std::vector<SerialPortInfo>* ports, const std::vector<dev_t>& consoles,
                            const std::vector<Login>& logins)
{
    for (int port = 1; port <= kHighestPort; ++port) {
        const std::string link = PortLinkPath(port);
        struct stat st { };
        if (::lstat(link.c_str(), &st) != 0) continue;
        if (std::optional<std::string> url = ReadNetworkPortEntry(link)) {
            SerialPortInfo info;
            info.port = port;
            info.link = link;
            info.device = *std::move(url);
            info.kind = PortKind::kNetwork;
            ports->push_back(std::move(info));
            continue;
        }
        const Result<std::string> followed = ResolveLinks(link);
        const bool resolved = followed.Ok();
        // A dangling link is listed with the path it leads to.
        const std::string target = resolved ? *followed : followed.Error().device;
        auto known
            = std::find_if(ports->begin(), ports->end(), [&](const SerialPortInfo& p) { return p.device == target; });
        if (resolved && known != ports->end()) {
            if (known->port == 0) {
                known->port = port;
                known->link = link;
            }
            continue;
        }
        SerialPortInfo info;
        info.port = port;
        info.link = link;
        info.device = target;
        info.kind = PortKind::kLink;
        info.stale = !resolved;
        if (const std::optional<dev_t> devnum = resolved ? DeviceNumber(target) : std::nullopt) {
            info.systemUse = IsConsole(*devnum, consoles) ? "kernel console" : LoginOn(*devnum, logins);
            info.session = SessionOn(*devnum, logins);
            // A simulator's link whose pty a terminal window took since: no port any more.
            info.stale = IsPtySlave(*devnum) && !info.session.empty();
        }
        ports->push_back(std::move(info));
    }
}

// Devices the table does not cover get the rule's numbers; a UART-less node gives its table
// number up to one of them.
void NumberByRule(std::vector<SerialPortInfo>* ports)
{
    std::vector<SerialPortInfo*> unnumbered;
    std::vector<std::string> names;
    for (SerialPortInfo& p : *ports) {
        if (p.port != 0 || p.NoUart()) continue;
        unnumbered.push_back(&p);
        names.push_back(p.byId.empty() ? p.device : p.byId);
    }
    std::vector<std::pair<int, std::string>> numbered;
    const std::vector<int> numbers = RuleNumbers(names, FreeRuleNumbers(*ports));
    for (std::size_t i = 0; i < unnumbered.size(); ++i) {
        unnumbered[i]->port = numbers[i];
        if (numbers[i] != 0) numbered.emplace_back(numbers[i], unnumbered[i]->device);
    }
    for (SerialPortInfo& p : *ports) {
        const bool given
            = std::any_of(numbered.begin(), numbered.end(), [&](const auto& n) { return n.first == p.port; });
        if (p.NoUart() && given) p.port = 0;
    }
    RememberRuleNumbers(numbered);
}

}  // namespace

const char* PortKindName(PortKind kind)
{
    switch (kind) {
    case PortKind::kUart: return "uart";
    case PortKind::kUsbSerial: return "usb-serial";
    case PortKind::kUsbAcm: return "usb-acm";
    case PortKind::kLink: return "link";
    case PortKind::kOther: return "other";
    case PortKind::kNetwork: return "network";
    }
    return "other";
}

Result<std::string> ResolveLinks(const std::string& path)
{
    namespace fs = std::filesystem;
    std::string p = path;
    for (int step = 0; step <= kMaxLinkSteps; ++step) {
        struct stat st { };
        if (::lstat(p.c_str(), &st) != 0)
            return ErrorOf(ENOENT, p, step == 0 ? "no such file" : "dangling link: " + p + " is gone");
        if (!S_ISLNK(st.st_mode)) return p;
        std::array<char, 4096> target{};
        const ssize_t n = ::readlink(p.c_str(), target.data(), target.size() - 1);
        if (n <= 0) return ErrorOf(n < 0 ? errno : ENOENT, p, "unreadable link");
        const fs::path next(std::string(target.data(), static_cast<std::size_t>(n)));
        p = (next.is_absolute() ? next : fs::path(p).parent_path() / next).lexically_normal().string();
    }
    return ErrorOf(ELOOP, p, "link loop");
}

SerialPortInfo DescribeDevice(const std::string& path)
{
    SerialPortInfo none;
    const Result<std::string> followed = ResolveLinks(path);
    if (!followed) return none;
    const std::optional<dev_t> devnum = DeviceNumber(*followed);
    if (!devnum) return none;
    Udev u(udev_new());
    if (!u) return none;
    const std::vector<Login> logins = Logins();
    if (UdevDevice d = TtyRecord(u.get(), *devnum)) return Described(d.get(), *devnum, ConsoleDevices(u.get()), logins);
    if (!IsPtySlave(*devnum)) return none;
    SerialPortInfo pty;
    pty.device = *followed;
    pty.kind = PortKind::kLink;
    pty.systemUse = LoginOn(*devnum, logins);
    pty.session = SessionOn(*devnum, logins);
    return pty;
}

std::array<bool, kHighestPort + 1> FreeRuleNumbers(const std::vector<SerialPortInfo>& ports)
{
    std::array<bool, kHighestPort + 1> free{};
    for (int n = 1; n <= kHighestPort; ++n) {
        struct stat st { };
        free[static_cast<std::size_t>(n)] = ::lstat(PortLinkPath(n).c_str(), &st) != 0;
    }
    for (const SerialPortInfo& p : ports) {
        if (p.port != 0 && !p.NoUart()) free[static_cast<std::size_t>(p.port)] = false;
    }
    for (const auto& [n, device] : NamedByPath())
        free[static_cast<std::size_t>(n)] = false;
    for (int n = 1; n <= kHighestPort; ++n) {
        if (CommandLineNetworkPort(n)) free[static_cast<std::size_t>(n)] = false;
    }
    return free;
}

std::vector<SerialPortInfo> DiscoverPorts()
{
    std::vector<SerialPortInfo> ports;
    const std::vector<Login> logins = Logins();
    Udev u(udev_new());
    const std::vector<dev_t> consoles = u ? ConsoleDevices(u.get()) : std::vector<dev_t>{};
    if (u) ports = KnownTtys(u.get(), consoles, logins);
    AddPortsDirectoryLinks(&ports, consoles, logins);
    for (SerialPortInfo& info : ports) {
        if (info.port != 0) continue;
        const int builtin = BuiltinPortOf(info.device);
        struct stat st { };
        if (builtin != 0 && ::lstat(PortLinkPath(builtin).c_str(), &st) != 0) info.port = builtin;
    }
    NumberByRule(&ports);
    std::sort(ports.begin(), ports.end(), [](const SerialPortInfo& a, const SerialPortInfo& b) {
        if ((a.port == 0) != (b.port == 0)) return a.port != 0;
        if (a.port != b.port) return a.port < b.port;
        return a.device < b.device;
    });
    return ports;
}

std::string Description(const SerialPortInfo& info)
{
    switch (info.kind) {
    case PortKind::kUsbSerial:
    case PortKind::kUsbAcm: {
        std::string text = info.manufacturer;
        if (!info.product.empty()) text += (text.empty() ? "" : " ") + info.product;
        if (text.empty()) text = info.kind == PortKind::kUsbAcm ? "USB CDC-ACM device" : "USB serial adapter";
        if (!info.serial.empty()) text += ", serial " + info.serial;
        return text;
    }
    case PortKind::kUart: return ShortDescription(info);
    case PortKind::kLink: return info.stale ? "stale link in the ports directory" : "link in the ports directory";
    case PortKind::kOther: return "serial device";
    case PortKind::kNetwork: return "port on another machine (RFC 2217)";
    }
    return {};
}

std::string ShortDescription(const SerialPortInfo& info)
{
    if (info.kind == PortKind::kUart) {
        // The kernel's numbering of the common UART chips.
        static const std::array<const char*, 5> kChips = {"", "8250", "16450", "16550", "16550A"};
        if (info.uartType == 0) return "built-in serial port, no UART behind it";
        if (info.uartType > 0 && info.uartType < static_cast<int>(kChips.size()))
            return std::string("built-in serial port (") + kChips[static_cast<std::size_t>(info.uartType)] + ")";
        return "built-in serial port";
    }
    if ((info.kind == PortKind::kUsbSerial || info.kind == PortKind::kUsbAcm) && !info.product.empty())
        return info.product;
    return Description(info);
}

Result<> MayOpen(const std::string& path)
{
    const Result<std::string> resolved = ResolveLinks(path);
    if (!resolved) return ErrorOf(ENOENT, resolved.Error().device, "no such device");
    const SerialPortInfo info = DescribeDevice(*resolved);
    if (info.NoUart()) return ErrorOf(ENODEV, path, "no UART behind it");
    if (!info.systemUse.empty()) return ErrorOf(EBUSY, path, "used by the system (" + info.systemUse + ")");
    if (!info.session.empty()) return ErrorOf(EBUSY, path, "in use by " + info.session);
    return {};
}

}  // namespace platform
