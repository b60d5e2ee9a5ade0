// orvane-cli: the module's settings from the command line.

#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

#include "CliError.h"
#include "CommandLine.h"
#include "Commands.h"

int main(int argc, char** argv)
{
    // The serial object posts its notices to the event loop that waits for each answer.
    QCoreApplication app(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return cli::RunCommand(cli::ParseCommandLine(args), std::cout, std::cerr, std::cin);
    } catch (const cli::CliError& e) {
        std::cout.flush();
        cli::PrintError(e, cli::AsksForJson(args), std::cerr);
        return e.Code();
    }
}
