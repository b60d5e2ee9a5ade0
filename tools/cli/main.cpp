// orvane-cli: the module's settings from the command line.

#include <QCoreApplication>

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "CliError.h"
#include "CommandLine.h"
#include "Commands.h"
#include "Fleet.h"
#include "StandardStreams.h"

namespace {

int Run(const std::vector<std::string>& args)
{
    try {
        // Ctrl-C during any command ends its waits: the port closes, giving back its line settings.
        const cli::InterruptGuard interrupts;
        return cli::RunCommand(cli::ParseCommandLine(args), std::cout, std::cerr);
    } catch (const cli::CliError& e) {
        std::cout.flush();
        cli::PrintError(e, cli::AsksForJson(args), std::cerr);
        return e.Code();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    cmdline::KeepStandardDescriptors();
    // Every write to standard output and error goes through buffers that keep their first error.
    cmdline::CheckedOutput out(STDOUT_FILENO);
    cmdline::CheckedOutput err(STDERR_FILENO, true);
    std::streambuf* const coutBuffer = std::cout.rdbuf(&out);
    std::streambuf* const cerrBuffer = std::cerr.rdbuf(&err);
    // Whole lines: one write each, not one per piece of a line.
    std::cerr.unsetf(std::ios_base::unitbuf);

    // The serial object posts its notices to the event loop that waits for each answer.
    QCoreApplication app(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    int code = Run(args);
    if (const int error = out.Finish()) {
        const cli::CliError failure(cli::kExitWriteFailure, cmdline::WriteFailure("standard output", error));
        cli::PrintError(failure, cli::AsksForJson(args), std::cerr);
        code = std::max(code, static_cast<int>(cli::kExitWriteFailure));
    }
    // A failure to write standard error cannot be told; the exit code still says it.
    if (err.Finish() != 0) code = std::max(code, static_cast<int>(cli::kExitWriteFailure));
    std::cout.rdbuf(coutBuffer);
    std::cerr.rdbuf(cerrBuffer);
    return code;
}
