#include "ModuleLink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTime>
#include <QTimer>

#include <cerrno>
#include <iostream>
#include <memory>

#include "CliError.h"
#include "Fleet.h"
#include "Values.h"
#include "platform/PortDiscovery.h"
#include "platform/PortNamespace.h"
#include "platform/StopSignal.h"
#include "protocol/ModuleFrame.h"
#include "protocol/NetworkPortUrl.h"
#include "serial/WindowMessage.h"

namespace cli {

namespace {

// Made on first use, after main has kept the standard descriptors (an eventfd made before could take
// a closed standard output's number); InterruptGuard uses it before a signal handler can.
platform::StopSignal& InterruptSignal()
{
    static platform::StopSignal signal;
    return signal;
}

}  // namespace

std::string ResolvedDevice(const std::string& path)
{
    if (protocol::LooksLikeNetworkPortUrl(path)) return path;
    // Link by link, so that a dangling link names the device it points at.
    const platform::Result<std::string> resolved = platform::ResolveLinks(path);
    return resolved ? *resolved : resolved.Error().device;
}

bool IsLinkLoop(const std::string& path)
{
    const platform::Result<std::string> resolved = platform::ResolveLinks(path);
    return !resolved && resolved.Error().errnoValue == ELOOP;
}

std::string OpenFailureMessage(int port, const platform::SerialError& why)
{
    const std::string path = why.device.empty() ? platform::PortDevicePath(port) : why.device;
    // The port's own link, when it loops, rather than the link where the loop was found.
    const std::string own = platform::PortDevicePath(port);
    const bool loop = !own.empty() && IsLinkLoop(own);
    const std::string name = platform::PortDisplayName(port);
    std::string message = "cannot open " + name;
    if (!path.empty() && path != name) message += " (" + cmdline::Printable(loop ? own : ResolvedDevice(path)) + ")";
    message += ": "
        + (loop                     ? std::string("link loop")
               : why.reason.empty() ? std::string("unknown failure")
                                    : why.reason);
    if (why.errnoValue == EACCES || why.errnoValue == EPERM) {
        message += "\nhint: serial devices belong to the group 'dialout'; join it with"
                   " 'sudo adduser $USER dialout' and log in again";
    }
    return message;
}

ModuleLink::ModuleLink(bool trace, bool tagged)
    : m_tracing(trace)
    , m_tagged(tagged)
    , m_noticeType(platform::RegisterWindowMessage(protocol::kNoticeName))
{
    m_serial.SetNotifyTarget(this, m_noticeType);
}

ModuleLink::~ModuleLink()
{
    // The receive thread posts to this object: it ends before the object does.
    m_serial.Close();
    m_serial.SetNotifyTarget(nullptr, 0);
}

void ModuleLink::Open(int port, int baudRate, int parity)
{
    if (!m_serial.Open(port, baudRate, parity))
        throw CliError(kExitPortFailure, OpenFailureMessage(port, m_serial.LastError()));
    m_device = ResolvedDevice(m_serial.DevicePath());
    m_lineBaudRate = baudRate;
    m_gone = false;
    Trace("-- " + platform::PortDisplayName(port) + " (" + m_device + ") at " + std::to_string(baudRate) + " "
          + protocol::kParityNames[static_cast<std::size_t>(parity)]);
}

void ModuleLink::Reconfigure(int baudRate, int parity)
{
    if (m_serial.IsOpen() && m_lineBaudRate == baudRate && m_serial.Parity() == parity) return;
    if (!m_serial.OpenOrReconfigure(m_serial.Port(), baudRate, parity))
        throw CliError(kExitPortFailure, OpenFailureMessage(m_serial.Port(), m_serial.LastError()));
    m_lineBaudRate = baudRate;
    Trace("-- " + Where());
}

std::string ModuleLink::Where() const
{
    return platform::PortDisplayName(m_serial.Port()) + " at " + std::to_string(m_lineBaudRate) + " "
        + protocol::kParityNames[static_cast<std::size_t>(m_serial.Parity())];
}

std::optional<protocol::AnswerData> ModuleLink::Exchange(const Request& request, int timeoutMs)
{
    Post(request);
    AwaitAnswers({this}, timeoutMs);
    if (m_gone && !m_answer) ThrowGone();
    if (!m_answer && Interrupted()) ThrowInterrupted();
    return m_answer;
}

void ModuleLink::Interrupt() { InterruptSignal().Set(); }

bool ModuleLink::Interrupted() { return InterruptSignal().IsSet(); }

void ModuleLink::ThrowInterrupted() const
{
    throw CliError(kExitInterrupted, "stopped on " + platform::PortDisplayName(m_serial.Port()));
}

void ModuleLink::Post(const Request& request)
{
    if (Interrupted()) ThrowInterrupted();
    // An answer still queued from an earlier request must not stand in for this one.
    QCoreApplication::sendPostedEvents(this, static_cast<int>(m_noticeType));
    m_answer.reset();
    m_awaitedCode = request.code;

    Trace("TX " + protocol::HexBytes(protocol::BuildFrame(request)));
    if (!SendCommand(m_serial, request)) {
        m_awaitedCode.reset();
        if (m_serial.HungUp()) ThrowGone();
        const platform::SerialError why = m_serial.LastError();
        throw CliError(kExitPortFailure,
                       "cannot send " + std::string(request.name) + " on " + Where() + ": "
                           + (!why.reason.empty() ? why.Describe() : std::string("the port is closed")));
    }
}

void ModuleLink::AwaitAnswers(const std::vector<ModuleLink*>& links, int timeoutMs)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    std::unique_ptr<QSocketNotifier> interrupt;
    if (InterruptSignal().Valid()) {
        interrupt = std::make_unique<QSocketNotifier>(InterruptSignal().Fd(), QSocketNotifier::Read);
        QObject::connect(interrupt.get(), &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    }
    // Every link has its answer, or has lost its device: nothing more is coming.
    auto settled = [&links] {
        if (Interrupted()) return true;
        for (const ModuleLink* link : links) {
            if (!link->m_answer && !link->m_gone) return false;
        }
        return true;
    };
    for (ModuleLink* link : links)
        link->m_waiting = &loop;
    // Each answer ends the loop once, so that the others are looked at again.
    while (!settled() && timer.isActive())
        loop.exec();
    for (ModuleLink* link : links) {
        link->m_waiting = nullptr;
        link->m_awaitedCode.reset();
        link->TraceDrops();
    }
}

void ModuleLink::ThrowGone() const
{
    const std::string name = platform::PortDisplayName(m_serial.Port());
    // A network port says why: the server closed the connection, or the network stopped answering.
    const std::string why
        = protocol::LooksLikeNetworkPortUrl(m_device) ? m_serial.LastError().reason : std::string("unplugged?");
    throw CliError(kExitPortFailure,
                   name + (m_device == name ? std::string() : " (" + m_device + ")") + " went away (" + why + ")");
}

protocol::AnswerData ModuleLink::Ask(const Request& request, int timeoutMs)
{
    if (auto data = Exchange(request, timeoutMs)) return *data;
    std::string message = "no answer to " + std::string(request.name) + " (code " + std::to_string(request.code)
        + ") on " + Where() + " within " + std::to_string(timeoutMs) + " ms";
    throw CliError(kExitNoAnswer, message);
}

bool ModuleLink::event(QEvent* e)
{
    if (e->type() == ZebSerial::GoneNotice()) {
        m_gone = m_serial.HungUp();
        if (m_gone && m_waiting) m_waiting->quit();
        return true;
    }
    if (m_noticeType == 0 || e->type() != static_cast<QEvent::Type>(m_noticeType)) return QObject::event(e);
    const auto* notice = static_cast<const ZebSerialNotice*>(e);
    TraceDrops();
    Trace("RX " + protocol::HexBytes(std::span(notice->frame.data(), static_cast<std::size_t>(notice->frameLength))));
    if (m_awaitedCode && notice->command == *m_awaitedCode && !m_answer) {
        m_answer = notice->data;
        if (m_waiting) m_waiting->quit();
    }
    return true;
}

void ModuleLink::TraceDrops()
{
    const std::uint64_t dropped = m_serial.DroppedNotices();
    if (dropped == m_dropsTraced) return;
    Trace("dropped " + std::to_string(dropped - m_dropsTraced) + " frames: the window could not keep up");
    m_dropsTraced = dropped;
}

void ModuleLink::Trace(const std::string& line) const
{
    if (!m_tracing) return;
    // Workers on other ports write too: one line at a time.
    const std::lock_guard guard(OutputLock());
    std::cerr << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toStdString() << ' '
              << (m_tagged ? platform::PortDisplayName(m_serial.Port()) + " " : std::string()) << line << std::endl;
}

}  // namespace cli
