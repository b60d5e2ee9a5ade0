#pragma once
// Helpers for the orvane-cli tests: a private ports directory, running the real binary with its
// output captured, and a scripted module for read-backs that differ.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/TempConfigHome.h"
#include "common/Wait.h"
#include "model/ModuleModel.h"

namespace clitest {

// A private configuration home under /tmp/orvane-cli-XXXXXX.
class TempConfigHome : public testcommon::TempConfigHome {
public:
    TempConfigHome()
        : testcommon::TempConfigHome("cli")
    { }
};

struct CliResult {
    int code = -1;  // exit code; -1 when the program did not exit normally
    std::string out;
    std::string err;
    long peakResidentKb = 0;  // the program's largest resident set
};

struct RunOptions {
    std::string input;  // standard input
    int runAsUid = -1;  // drop to this user (and group) before exec; root only
    // Set for the program; ORVANE_PORT, ORVANE_BAUD and ORVANE_PARITY are unset otherwise.
    std::vector<std::pair<std::string, std::string>> env;
    bool stderrOnTerminal = false;  // standard error on a pseudo-terminal, as in an interactive shell
    enum class Output { kCaptured, kFull, kClosed } output = Output::kCaptured;  // standard output: /dev/full
    bool inputClosed = false;
    std::vector<std::string> unset;  // further variables to unset
    // Sends the signal (SIGINT: Ctrl-C) once standard error holds the text; 0: none.
    int signal = 0;
    std::string signalWhen;
};

// Runs the program with the arguments and its output captured; kills it after a minute.
CliResult RunProgram(const std::string& program, const std::vector<std::string>& args, const RunOptions& options = {});
// Runs ORVANE_BIN_DIR/<name>: orvane-cli, orvane-modsim.
CliResult RunBinary(const std::string& name, const std::vector<std::string>& args, const RunOptions& options = {});
CliResult RunCli(const std::vector<std::string>& args, const RunOptions& options = {});

// What is wrong with each profile by docs/profile.schema.json; empty for one that is valid. One
// validator run checks them all (starting it is the slow part).
std::vector<std::string> SchemaErrors(const std::vector<std::string>& profiles);
std::string SchemaErrors(const std::string& profile);

// A program left running in the background (orvane-modsim), its standard output read line by line.
class BackgroundProgram {
public:
    // Starts ORVANE_BIN_DIR/<name> with the arguments; standard error goes with standard output.
    BackgroundProgram(const std::string& name, const std::vector<std::string>& args);
    ~BackgroundProgram();  // Stop()
    // The first `count` lines of its output, waiting up to 20 s for them; fewer when it ended.
    std::vector<std::string> Lines(std::size_t count);
    // SIGTERM, then its exit code; -1 when it did not exit normally.
    int Stop();

private:
    int m_pid = -1;
    int m_out = -1;
    std::string m_text;
};

// A module on a pty that answers every request whatever the line settings, and can forget the
// channel it was told to write: its read-back then differs from what was written.
class ForgetfulModule {
public:
    ForgetfulModule(int port, modsim::ModuleSettings settings, bool forgetChannel);
    ~ForgetfulModule();
    bool Ok() const { return master >= 0; }
    modsim::ModuleSettings Settings() const;

private:
    void Serve();

    int master = -1;
    int slave = -1;
    int stopPipe[2] = {-1, -1};
    std::string linkPath;
    bool forgetChannel;
    modsim::ModuleModel model;
    mutable std::mutex lock;
    std::thread server;
};

}  // namespace clitest
