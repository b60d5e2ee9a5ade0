#include "ModuleLink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTime>
#include <QTimer>

#include <cerrno>
#include <iostream>

#include "CliError.h"
#include "platform/PortDiscovery.h"
#include "platform/PortNamespace.h"
#include "platform/WindowMessage.h"
#include "protocol/ModuleFrame.h"

namespace cli {

std::string ResolvedDevice(const std::string& path) {
  // Link by link, so that a dangling link names the device it points at.
  std::string resolved, why;
  platform::ResolveLinks(path, &resolved, &why);
  return resolved;
}

std::string OpenFailureMessage(int port, const platform::SerialError& why) {
  const std::string path = why.device.empty() ? platform::PortDevicePath(port) : why.device;
  std::string message = "cannot open " + platform::PortDisplayName(port);
  if (!path.empty()) message += " (" + ResolvedDevice(path) + ")";
  message += ": " + (why.reason.empty() ? std::string("unknown failure") : why.reason);
  if (why.errnoValue == EACCES || why.errnoValue == EPERM) {
    message += "\nhint: serial devices belong to the group 'dialout'; join it with"
               " 'sudo adduser $USER dialout' and log in again";
  }
  return message;
}

ModuleLink::ModuleLink(bool trace)
    : tracing(trace), noticeType(platform::RegisterWindowMessage(protocol::kNoticeName)) {
  serial.SetNotifyTarget(this, noticeType);
}

ModuleLink::~ModuleLink() {
  // The receive thread posts to this object: it ends before the object does.
  serial.Close();
  serial.SetNotifyTarget(nullptr, 0);
}

void ModuleLink::Open(int port, int baudRate, int parity) {
  if (!serial.Open(port, baudRate, parity)) throw CliError(kExitPortFailure, OpenFailureMessage(port, serial.LastError()));
  device = ResolvedDevice(serial.DevicePath());
  lineBaudRate = baudRate;
  gone = false;
  Trace("-- " + platform::PortDisplayName(port) + " (" + device + ") at " + std::to_string(baudRate) + " " +
        protocol::kParityNames[static_cast<std::size_t>(parity)]);
}

void ModuleLink::Reconfigure(int baudRate, int parity) {
  if (serial.IsOpen() && lineBaudRate == baudRate && serial.Parity() == parity) return;
  if (!serial.OpenOrReconfigure(serial.Port(), baudRate, parity))
    throw CliError(kExitPortFailure, OpenFailureMessage(serial.Port(), serial.LastError()));
  lineBaudRate = baudRate;
  Trace("-- " + Where());
}

std::string ModuleLink::Where() const {
  return platform::PortDisplayName(serial.Port()) + " at " + std::to_string(lineBaudRate) + " " +
         protocol::kParityNames[static_cast<std::size_t>(serial.Parity())];
}

std::optional<protocol::AnswerData> ModuleLink::Exchange(const Request& request, int timeoutMs) {
  Post(request);
  AwaitAnswers({this}, timeoutMs);
  if (gone && !answer) ThrowGone();
  return answer;
}

void ModuleLink::Post(const Request& request) {
  // An answer still queued from an earlier request must not stand in for this one.
  QCoreApplication::sendPostedEvents(this, static_cast<int>(noticeType));
  answer.reset();
  awaitedCode = request.code;

  Trace("TX " + protocol::HexBytes(protocol::BuildFrame(request)));
  if (!SendCommand(serial, request)) {
    awaitedCode.reset();
    if (serial.HungUp()) ThrowGone();
    const platform::SerialError why = serial.LastError();
    throw CliError(kExitPortFailure, "cannot send " + std::string(request.name) + " on " + Where() + ": " +
                                         (why.Failed() ? why.Describe() : std::string("the port is closed")));
  }
}

void ModuleLink::AwaitAnswers(const std::vector<ModuleLink*>& links, int timeoutMs) {
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  timer.start(timeoutMs);
  // Every link has its answer, or has lost its device: nothing more is coming.
  auto settled = [&links] {
    for (const ModuleLink* link : links) {
      if (!link->answer && !link->gone) return false;
    }
    return true;
  };
  for (ModuleLink* link : links) link->waiting = &loop;
  // Each answer ends the loop once, so that the others are looked at again.
  while (!settled() && timer.isActive()) loop.exec();
  for (ModuleLink* link : links) {
    link->waiting = nullptr;
    link->awaitedCode.reset();
    link->TraceDrops();
  }
}

void ModuleLink::ThrowGone() const {
  throw CliError(kExitPortFailure, platform::PortDisplayName(serial.Port()) + " (" + device + ") went away (unplugged?)");
}

protocol::AnswerData ModuleLink::Ask(const Request& request, int timeoutMs) {
  if (auto data = Exchange(request, timeoutMs)) return *data;
  std::string message = "no answer to " + std::string(request.name) + " (code " + std::to_string(request.code) +
                        ") on " + Where() + " within " + std::to_string(timeoutMs) + " ms";
  throw CliError(kExitNoAnswer, message);
}

bool ModuleLink::event(QEvent* e) {
  if (e->type() == ZebSerial::GoneNotice()) {
    gone = serial.HungUp();
    if (gone && waiting) waiting->quit();
    return true;
  }
  if (noticeType == 0 || e->type() != static_cast<QEvent::Type>(noticeType)) return QObject::event(e);
  const auto* notice = static_cast<const ZebSerialNotice*>(e);
  TraceDrops();
  Trace("RX " + protocol::HexBytes(std::span(notice->frame.data(), static_cast<std::size_t>(notice->frameLength))));
  if (awaitedCode && notice->command == *awaitedCode && !answer) {
    answer = notice->data;
    if (waiting) waiting->quit();
  }
  return true;
}

void ModuleLink::TraceDrops() {
  const std::uint64_t dropped = serial.DroppedNotices();
  if (dropped == dropsTraced) return;
  Trace("dropped " + std::to_string(dropped - dropsTraced) + " frames: the window could not keep up");
  dropsTraced = dropped;
}

void ModuleLink::Trace(const std::string& line) const {
  if (!tracing) return;
  std::cerr << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toStdString() << ' ' << line << std::endl;
}

}  // namespace cli
