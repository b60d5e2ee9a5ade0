#include "ModuleLink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTime>
#include <QTimer>

#include <cerrno>
#include <filesystem>
#include <iostream>

#include "CliError.h"
#include "platform/PortNamespace.h"
#include "platform/WindowMessage.h"
#include "protocol/ModuleFrame.h"

namespace cli {

std::string ResolvedDevice(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path resolved = fs::canonical(path, ec);
  if (!ec) return resolved.string();
  // A link to a device that is gone: name the device it points at.
  const fs::path target = fs::read_symlink(path, ec);
  if (ec) return path;
  return (target.is_absolute() ? target : fs::path(path).parent_path() / target).lexically_normal().string();
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
    : tracing(trace), noticeType(platform::RegisterWindowMessage("ZebSerial_MSG_RECV_1")) {
  serial.SetNotifyTarget(this, noticeType);
}

ModuleLink::~ModuleLink() {
  // The receive thread posts to this object: it ends before the object does.
  serial.Close();
  serial.SetNotifyTarget(nullptr, 0);
}

void ModuleLink::Open(int port, int baudRate, int parity) {
  if (!serial.Open(port, baudRate, parity)) throw CliError(kExitPortFailure, OpenFailureMessage(port, serial.LastError()));
  Trace("-- " + platform::PortDisplayName(port) + " (" + ResolvedDevice(serial.DevicePath()) + ") at " +
        std::to_string(baudRate) + " " + protocol::kParityNames[static_cast<std::size_t>(parity)]);
}

void ModuleLink::Reconfigure(int baudRate, int parity) {
  if (serial.IsOpen() && serial.BaudRate() == baudRate && serial.Parity() == parity) return;
  if (!serial.OpenOrReconfigure(serial.Port(), baudRate, parity))
    throw CliError(kExitPortFailure, OpenFailureMessage(serial.Port(), serial.LastError()));
  Trace("-- " + Where());
}

std::string ModuleLink::Where() const {
  return platform::PortDisplayName(serial.Port()) + " at " + std::to_string(serial.BaudRate()) + " " +
         protocol::kParityNames[static_cast<std::size_t>(serial.Parity())];
}

std::optional<std::array<std::uint8_t, 4>> ModuleLink::Exchange(const Request& request, int timeoutMs) {
  Post(request);
  AwaitAnswers({this}, timeoutMs);
  return answer;
}

void ModuleLink::Post(const Request& request) {
  // An answer still queued from an earlier request must not stand in for this one.
  QCoreApplication::sendPostedEvents(this, static_cast<int>(noticeType));
  answer.reset();
  awaitedCode = request.code;

  Trace("TX " + protocol::HexBytes(protocol::BuildFrame(request.code, request.payload)));
  if (!SendCommand(serial, request.code, request.payload)) {
    awaitedCode.reset();
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
  auto allAnswered = [&links] {
    for (const ModuleLink* link : links) {
      if (!link->answer) return false;
    }
    return true;
  };
  for (ModuleLink* link : links) link->waiting = &loop;
  // Each answer ends the loop once, so that the others are looked at again.
  while (!allAnswered() && timer.isActive()) loop.exec();
  for (ModuleLink* link : links) {
    link->waiting = nullptr;
    link->awaitedCode.reset();
  }
}

std::array<std::uint8_t, 4> ModuleLink::Ask(const Request& request, int timeoutMs) {
  if (auto data = Exchange(request, timeoutMs)) return *data;
  std::string message = "no answer to " + std::string(request.name) + " (code " + std::to_string(request.code) +
                        ") on " + Where() + " within " + std::to_string(timeoutMs) + " ms";
  if (serial.HungUp()) message += "; the device hung up";
  throw CliError(kExitNoAnswer, message);
}

bool ModuleLink::event(QEvent* e) {
  if (noticeType == 0 || e->type() != static_cast<QEvent::Type>(noticeType)) return QObject::event(e);
  const auto* notice = static_cast<const ZebSerialNotice*>(e);
  Trace("RX " + protocol::HexBytes(std::span(notice->frame.data(), static_cast<std::size_t>(notice->frameLength))));
  if (awaitedCode && notice->command == *awaitedCode && !answer) {
    answer = notice->data;
    if (waiting) waiting->quit();
  }
  return true;
}

void ModuleLink::Trace(const std::string& line) const {
  if (!tracing) return;
  std::cerr << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toStdString() << ' ' << line << std::endl;
}

}  // namespace cli
