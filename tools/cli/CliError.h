#pragma once
// A failure that ends orvane-cli with an exit code and a message for standard error.

#include <stdexcept>
#include <string>

namespace cli {

enum ExitCode : int {
  kExitDone = 0,
  kExitNoAnswer = 1,      // no answer within the timeout, or a read-back that differs
  kExitBadUsage = 2,      // bad command line or value; nothing was sent
  kExitPortFailure = 3,   // the port cannot be opened or used
};

class CliError : public std::runtime_error {
public:
  CliError(int exitCode, const std::string& message) : std::runtime_error(message), code(exitCode) {}
  int Code() const { return code; }

private:
  int code;
};

}  // namespace cli
