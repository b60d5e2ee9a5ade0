// orvane-cli over many modules at once: a fleet of 32 simulators written and read back in one run,
// a module that never answers named in the summary, JSON Lines, and a search over several ports that
// tells each port's result as soon as it is known; a stop that prints what is done.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "common/ModuleStarter.h"
#include "model/PtyModule.h"
#include "platform/PortNamespace.h"
#include "support/CliTestKit.h"

using clitest::CliResult;
using clitest::RunCli;

namespace {

class Fleet : public ::testing::Test {
protected:
    // Starts orvane-modsim --count `count` and returns the ports it took, in its order.
    std::vector<int> StartFleet(int count, std::vector<std::string> more = {})
    {
        std::vector<std::string> args{"--count", std::to_string(count)};
        args.insert(args.end(), more.begin(), more.end());
        simulators = std::make_unique<clitest::BackgroundProgram>("orvane-modsim", args);
        std::vector<int> ports;
        for (const std::string& line : simulators->Lines(static_cast<std::size_t>(count))) {
            int port = 0;
            EXPECT_EQ(std::sscanf(line.c_str(), "module simulator on COM%d", &port), 1) << line;
            ports.push_back(port);
        }
        EXPECT_EQ(ports.size(), static_cast<std::size_t>(count));
        return ports;
    }

    // A fleet of `count`, then one module on COM40 that drops every request; COM40 comes last.
    std::vector<int> StartFleetAndASilentModule(int count)
    {
        std::vector<int> ports = StartFleet(count);
        modsim::PtyModuleOptions silentOptions;
        silentOptions.port = 40;
        silentOptions.dropProbability = 1.0;
        silent = testcommon::StartModule(silentOptions);
        ports.push_back(40);
        return ports;
    }

    static std::vector<std::string> PortArgs(const std::vector<int>& ports)
    {
        std::vector<std::string> args;
        for (int port : ports) {
            args.push_back("--port");
            args.push_back("COM" + std::to_string(port));
        }
        return args;
    }

    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        for (std::size_t from = 0, nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1)
            lines.push_back(text.substr(from, nl - from));
        return lines;
    }

    // Each line of JSON Lines output as an object; a line that is no object fails the test.
    static std::vector<QJsonObject> JsonLines(const std::string& text)
    {
        std::vector<QJsonObject> objects;
        for (const std::string& line : Lines(text)) {
            const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line));
            EXPECT_TRUE(doc.isObject()) << line;
            objects.push_back(doc.object());
        }
        return objects;
    }

    clitest::TempConfigHome home;
    std::unique_ptr<clitest::BackgroundProgram> simulators;
    std::unique_ptr<modsim::PtyModule> silent;
};

TEST_F(Fleet, ThirtyTwoModulesAreWrittenAtOnceAndEachReadsBackWhatWasWritten)
{
    const std::vector<int> ports = StartFleet(32, {"--id-start", "1000"});
    ASSERT_EQ(ports.size(), 32u);
    clitest::RunOptions profile;
    profile.input = "{\"format\":1,\"channel\":9,\"air\":19200,\"serial\":{\"baud\":19200,\"parity\":\"odd\"}}";
    std::vector<std::string> args = PortArgs(ports);
    for (const char* a : {"--json", "--timeout", "2000", "apply", "-"})
        args.push_back(a);
    CliResult applied = RunCli(args, profile);
    EXPECT_EQ(applied.code, 0) << applied.err;
    EXPECT_EQ(applied.err, "32 done, 0 no answer, 0 could not open\n");
    std::set<QString> seen;
    for (const QJsonObject& o : JsonLines(applied.out)) {
        seen.insert(o["port"].toString());
        EXPECT_EQ(o["exit"].toInt(-1), 0);
        EXPECT_EQ(o["channel"].toInt(), 9);
        EXPECT_EQ(o["serial"].toObject()["parity"].toString(), "odd");
    }
    EXPECT_EQ(seen.size(), 32u);

    // Read again by another run: every module holds the profile, and its own ID from --id-start.
    args = PortArgs(ports);
    for (const char* a : {"--json", "--baud", "19200", "--parity", "odd", "info"})
        args.push_back(a);
    CliResult info = RunCli(args);
    EXPECT_EQ(info.code, 0) << info.err;
    std::set<int> ids;
    for (const QJsonObject& o : JsonLines(info.out)) {
        EXPECT_EQ(o["channel"].toInt(), 9);
        EXPECT_EQ(o["air"].toInt(), 19200);
        EXPECT_EQ(o["serial"].toObject()["baud"].toInt(), 19200);
        ids.insert(o["id"].toInt());
    }
    EXPECT_EQ(ids.size(), 32u);
    EXPECT_EQ(*ids.begin(), 1000);
    EXPECT_EQ(*ids.rbegin(), 1031);

    // The simulator ends cleanly and takes every link with it.
    EXPECT_EQ(simulators->Stop(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(platform::PortsDirectory()));
}

TEST_F(Fleet, AModuleThatNeverAnswersIsNamedAndTheOthersAreDone)
{
    const std::vector<int> ports = StartFleetAndASilentModule(31);

    std::vector<std::string> args = PortArgs(ports);
    for (const char* a : {"--timeout", "300", "apply", "-"})
        args.push_back(a);
    clitest::RunOptions profile;
    profile.input = "{\"format\":1,\"channel\":9}";
    CliResult plain = RunCli(args, profile);
    EXPECT_EQ(plain.code, 1);
    // Every line starts with its port: two lines for each of the 31 others.
    const std::vector<std::string> lines = Lines(plain.out);
    EXPECT_EQ(lines.size(), 62u) << plain.out;
    for (const std::string& line : lines)
        EXPECT_TRUE(line.starts_with("COM") && !line.starts_with("COM40")) << line;
    EXPECT_EQ(plain.err,
              "orvane-cli: no answer to search (code 0) on COM40 at 9600 No within 300 ms\n"
              "31 done, 1 no answer (COM40), 0 could not open\n");

    args.insert(args.begin(), "--json");
    CliResult json = RunCli(args, profile);
    EXPECT_EQ(json.code, 1);
    int failed = 0;
    for (const QJsonObject& o : JsonLines(json.out)) {
        if (o["port"].toString() != "COM40") {
            EXPECT_EQ(o["channel"].toInt(), 9);
            continue;
        }
        ++failed;
        EXPECT_EQ(o["exit"].toInt(), 1);
        EXPECT_TRUE(o["error"].toString().startsWith("no answer to search")) << o["error"].toString().toStdString();
    }
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(Lines(json.out).size(), 32u);
    EXPECT_EQ(json.err, "31 done, 1 no answer (COM40), 0 could not open\n");
}

TEST_F(Fleet, ASearchTellsTheFoundPortBeforeTheEmptyOneGivesUp)
{
    modsim::PtyModuleOptions empty;
    empty.port = 7;
    empty.dropProbability = 1.0;
    auto nothing = testcommon::StartModule(empty);
    modsim::PtyModuleOptions found;
    found.port = 8;
    auto module = testcommon::StartModule(found);
    // The empty port is named first: told at the end, it would come first.
    CliResult r = RunCli({"--json", "search", "--port", "7", "--port", "8", "--interval", "150"});
    EXPECT_EQ(r.code, 1);
    const std::vector<QJsonObject> told = JsonLines(r.out);
    ASSERT_EQ(told.size(), 2u) << r.out;
    EXPECT_EQ(told[0]["port"].toString(), "COM8");
    EXPECT_EQ(told[0]["baud"].toInt(), 9600);
    EXPECT_EQ(told[0]["exit"].toInt(-1), 0);
    EXPECT_EQ(told[1]["port"].toString(), "COM7");
    EXPECT_EQ(told[1]["exit"].toInt(), 1);
    EXPECT_EQ(r.err, "1 done, 1 no answer (COM7), 0 could not open\n");
}

TEST_F(Fleet, AStopPrintsWhatIsDoneAndNamesThePortsStillAtWork)
{
    const std::vector<int> ports = StartFleetAndASilentModule(2);
    std::vector<std::string> args = PortArgs(ports);
    for (const char* a : {"--timeout", "60000", "read", "id"})
        args.push_back(a);
    clitest::BackgroundProgram cli("orvane-cli", args);
    // The two that answer are told while COM40 still waits; then the stop comes.
    ASSERT_EQ(cli.Lines(2).size(), 2u);
    EXPECT_EQ(cli.Stop(), 130);
    const std::vector<std::string> lines = cli.Lines(5);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[0].ends_with(" id 0") && lines[1].ends_with(" id 0")) << lines[0] << lines[1];
    EXPECT_EQ(lines[2], "orvane-cli: stopped on COM40");
    EXPECT_EQ(lines[3], "2 done, 0 no answer, 0 could not open, 1 stopped (COM40)");
}

}  // namespace
