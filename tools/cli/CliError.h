#pragma once
// A failure that ends orvane-cli with an exit code and a message for standard error.

#include <stdexcept>
#include <string>

namespace cli {

enum ExitCode : int {
    kExitDone = 0,
    kExitNoAnswer = 1,       // no answer within the timeout, or a read-back that differs
    kExitBadUsage = 2,       // bad command line, value or profile; nothing was sent
    kExitPortFailure = 3,    // the port cannot be opened or used
    kExitWriteFailure = 1,   // standard output or error could not be written (when nothing graver failed)
    kExitInterrupted = 130,  // stopped by SIGINT or SIGTERM
};

class CliError : public std::runtime_error {
public:
    // `usage`: for a bad command line, the one usage line printed below the message.
    CliError(int exitCode, const std::string& message, std::string usage = {})
        : std::runtime_error(message)
        , m_code(exitCode)
        , m_usageLine(std::move(usage))
    { }
    int Code() const { return m_code; }
    const std::string& Usage() const { return m_usageLine; }

private:
    int m_code;
    std::string m_usageLine;
};

}  // namespace cli
