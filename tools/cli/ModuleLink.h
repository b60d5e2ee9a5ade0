#pragma once
// orvane-cli's line to the module: one ZebSerial, requests sent and their answers awaited on the
// event loop (the answer's notice or a timer, whichever comes first), and the optional trace of
// every frame on standard error.

#include <QObject>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/ModuleFrame.h"
#include "serial/ZebSerial.h"

class QEventLoop;

namespace cli {

// A request of the command set with its name for messages ("read channel").
struct Request : protocol::Request {
    const char* name = "";
};

class ModuleLink : public QObject {
public:
    // `tagged`: each trace line names the port, for runs over several ports at once.
    explicit ModuleLink(bool trace, bool tagged = false);
    ~ModuleLink() override;

    // Opens the port at the line settings; CliError(kExitPortFailure) naming the device and the reason.
    void Open(int port, int baudRate, int parity);
    // Changes the line settings of the open port; nothing to do when they are the same.
    void Reconfigure(int baudRate, int parity);

    // Sends the request and waits up to timeoutMs for an answer with its code; the answer's four data
    // bytes, or nothing when none came. Answers that arrived before the request was sent are dropped.
    // CliError(kExitPortFailure) when the request cannot be written, or at once when the device
    // goes away.
    std::optional<protocol::AnswerData> Exchange(const Request& request, int timeoutMs);
    // Exchange in two steps, for several links at once: Post sends without waiting, AwaitAnswers
    // waits until every link has its answer or timeoutMs have passed, and Answer tells what came.
    void Post(const Request& request);
    static void AwaitAnswers(const std::vector<ModuleLink*>& links, int timeoutMs);
    const std::optional<protocol::AnswerData>& Answer() const { return m_answer; }
    // Exchange, with CliError(kExitNoAnswer) naming the request when no answer comes.
    protocol::AnswerData Ask(const Request& request, int timeoutMs);

    // Ends every wait for an answer, in every thread, at once; safe in a signal handler. Waits and
    // sends then throw CliError(kExitInterrupted). Nothing clears it: the program is ending.
    static void Interrupt();
    static bool Interrupted();

    // The line settings now: the serial object keeps the baud rate of its last Open only.
    int BaudRate() const { return m_lineBaudRate; }
    int Parity() const { return m_serial.Parity(); }
    // "COM3 at 38400 ODD": the port and its current line settings, for messages.
    std::string Where() const;

    bool event(QEvent* e) override;

private:
    void Trace(const std::string& line) const;
    // Says in the trace how many frames were dropped since it last said so.
    void TraceDrops();
    [[noreturn]] void ThrowGone() const;
    [[noreturn]] void ThrowInterrupted() const;

    ZebSerial m_serial;
    bool m_tracing;
    bool m_tagged;
    unsigned m_noticeType;
    std::optional<std::uint8_t> m_awaitedCode;
    std::optional<protocol::AnswerData> m_answer;
    QEventLoop* m_waiting = nullptr;
    std::string m_device;  // the device the port named when it was opened
    int m_lineBaudRate = 0;
    bool m_gone = false;
    std::uint64_t m_dropsTraced = 0;
};

// The device a path finally names (the target of a ports-directory link, even a dangling one); the
// path itself when it is no link and cannot be resolved.
std::string ResolvedDevice(const std::string& path);

// True when following the links from `path` comes back round: the user's link is then the one to name.
bool IsLinkLoop(const std::string& path);

// The message for a port that cannot be opened: port, device, reason, and the dialout hint when
// access was denied.
std::string OpenFailureMessage(int port, const platform::SerialError& why);

}  // namespace cli
