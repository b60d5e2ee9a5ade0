#pragma once
// The module on a pseudo-terminal: owns the pty master, links "comN" in the ports directory to
// the pty's device and answers on a thread of its own, only while the PC side's line settings
// (read from the pty's termios) match the module's serial settings. Usable inside a test process:
// point XDG_CONFIG_HOME at a temporary directory first.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "model/ModuleModel.h"

namespace modsim {

struct PtyModuleOptions {
    int port = 1;  // links "comN" for this number
    ModuleSettings settings;
    int delayMs = 0;               // wait before each answer
    double dropProbability = 0.0;  // 0..1: answers left unsent
    bool noise = false;            // a few bytes other than 0xAF before each answer
    bool split = false;            // each answer written in two parts with a pause between
    std::uint32_t seed = 1;        // drop and noise draws
    // Called on the serving thread with one line per request and answer ("<- AF AF ..."/"-> ...")
    // and for requests ignored at other line settings. Null: nothing is logged.
    std::function<void(const std::string&)> log;
};

class PtyModule {
public:
    explicit PtyModule(PtyModuleOptions options);
    ~PtyModule();  // Stop()
    PtyModule(const PtyModule&) = delete;
    PtyModule& operator=(const PtyModule&) = delete;

    // Creates the pty (raw, 9600, no parity), creates the ports directory when missing, links "comN"
    // (replacing only a dangling link) and starts serving. False with *error set on failure.
    bool Start(std::string* error);
    // True when the port's entry in the ports directory is missing, or is a link this simulator left
    // to a pty that is gone: Start can take that port.
    static bool PortFree(int port);
    // Stops serving, closes the pty and removes the link when it is still ours. Safe to call twice.
    void Stop();
    // Closes the pty master as an unplugged device would vanish; the PC side sees a hang-up.
    void HangUp();

    const std::string& DevicePath() const;  // "/dev/pts/3"
    const std::string& LinkPath() const;    // ".../orvane/ports/com1"
    int Port() const;
    // The model's settings now (thread-safe copy).
    ModuleSettings Settings() const;
    std::uint64_t AnswersSent() const;
    std::uint64_t RequestsIgnored() const;  // at mismatching line settings or malformed

    // The PC side's line settings as the pty shows them; false when the pty is gone.
    bool PeerLine(int* baudRate, int* parity) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace modsim
