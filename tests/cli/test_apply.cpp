// orvane-cli apply: a profile taken with `info --json` from one module written onto another, read
// back and compared; profiles refused before anything is sent; read-backs that differ.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "common/ModuleStarter.h"
#include "model/PtyModule.h"
#include "support/CliTestKit.h"

using clitest::CliResult;
using clitest::RunCli;

namespace {

class Apply : public ::testing::Test {
protected:
    std::unique_ptr<modsim::PtyModule> Start(int port, modsim::ModuleSettings settings)
    {
        modsim::PtyModuleOptions options;
        options.port = port;
        options.settings = settings;
        return testcommon::StartModule(options);
    }

    static modsim::ModuleSettings Source()
    {
        modsim::ModuleSettings s;
        s.baudIndex = 5;  // 38400 ODD
        s.parity = 1;
        s.airBaudIndex = 6;
        s.channel = 21;
        s.guestId = 40000;
        s.power = 2;
        return s;
    }

    clitest::TempConfigHome home;
};

TEST_F(Apply, CopiesOneModulesSettingsToAnother)
{
    auto source = Start(1, Source());
    auto target = Start(2, modsim::ModuleSettings{});  // 9600 No, channel 1, ID 0, power 7
    CliResult profile = RunCli({"--port", "1", "--baud", "38400", "--parity", "odd", "--json", "info"});
    ASSERT_EQ(profile.code, 0) << profile.err;
    EXPECT_EQ(clitest::SchemaErrors(profile.out), "");

    clitest::RunOptions stdinProfile;
    stdinProfile.input = profile.out;
    CliResult applied = RunCli({"--port", "2", "apply", "-"}, stdinProfile);
    EXPECT_EQ(applied.code, 0) << applied.err;
    EXPECT_EQ(applied.out, "module 433MHz\nchannel 21 428.5088MHz\nair 57600\nserial 38400 ODD\nid 40000\n");

    modsim::ModuleSettings expected = Source();
    expected.power = 7;  // not in the profile: info cannot read it
    EXPECT_EQ(target->Settings(), expected);

    CliResult again = RunCli({"--port", "2", "--baud", "38400", "--parity", "odd", "--json", "info"});
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(again.out, profile.out);
}

TEST_F(Apply, WritesPowerButSaysItCannotBeReadBack)
{
    auto target = Start(2, modsim::ModuleSettings{});
    const std::string path = (home.Path() / "profile.json").string();
    const char* const kProfile = "{\"power\": 3, \"id\": 77}\n";
    EXPECT_EQ(clitest::SchemaErrors(kProfile), "");
    {
        std::FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(kProfile, f);
        std::fclose(f);
    }
    CliResult r = RunCli({"--port", "2", "--json", "apply", path});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "{\"format\":1,\"module\":\"433MHz\",\"band_mhz\":433,\"id\":77,\"power\":3}\n");
    EXPECT_NE(r.err.find("power 3 was written; the module cannot report its power, so it was not read back"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(target->Settings().power, 3);
    EXPECT_EQ(target->Settings().guestId, 77);
}

TEST_F(Apply, RefusesABadProfileBeforeSendingAnything)
{
    auto target = Start(2, modsim::ModuleSettings{});
    const std::string longKey(60000, 'k');
    const struct {
        std::string profile;
        std::string said;
        bool schemaSeesIt = true;  // false: only the program can tell
    } cases[] = {
        {"{\"channel\":5,\"colour\":\"red\"}", "unknown key 'colour'"},
        {"{\"channel\":0}", "channel must be 1 to 32, not '0'"},
        {"{\"channel\":5.5}", "channel must be a whole number 1 to 32, not '5.5'"},
        {"{\"id\":12345.96}", "id must be a whole number 0 to 65535, not '12345.96'"},
        {"{\"channel\":\"5\"}", "channel must be a number 1 to 32"},
        {"{\"id\":65536}", "id must be 0 to 65535, not '65536'"},
        {"{\"air\":1000}", "air must be one of 1200"},
        {"{\"power\":0}", "power must be 1 to 7"},
        {"{\"serial\":{\"baud\":9600,\"parity\":\"mark\"}}", "serial.parity must be none, odd or even, not 'mark'"},
        {"{\"serial\":{\"baud\":9600}}", "serial needs both baud and parity"},
        {"{\"serial\":{\"baud\":9600,\"parity\":\"No\",\"stop\":2}}", "unknown key 'serial.stop'"},
        {"{\"module\":\"868MHz\",\"channel\":1}", "module must be 433MHz or 490MHz"},
        {"{\"format\":2,\"id\":1}", "format 2 is not known"},
        {"{\"module\":\"433MHz\",\"channel\":5,\"frequency\":\"433.0782MHz\"}", "is not channel 5 of a 433MHz module",
         false},
        {"{\"module\":\"433MHz\",\"channel\":5,\"frequency_mhz\":433.0782}", "is not channel 5 of a 433MHz module",
         false},
        {"{\"module\":\"433MHz\",\"band_mhz\":490,\"id\":1}", "band_mhz 490 is not module 433MHz", false},
        {"{\"channel\":99,\"channel\":5}", "the key 'channel' stands twice", false},
        {"{\"serial\":{\"baud\":9600,\"parity\":\"odd\",\"bau\\u0064\":1200}}", "the key 'serial.baud' stands twice",
         false},
        {"{\"module\":\"433MHz\"}", "the profile holds no setting to write"},
        {"[1,2]", "a profile is one JSON object"},
        {"5", "a profile is one JSON object"},
        {"{\"channel\":5", "not valid JSON"},
        // Keys as the user wrote them: control characters escaped, long ones cut.
        {"{\"chan\\u0001nel\":5}", "unknown key 'chan\\x01nel'"},
        {"{\"" + longKey + "\":5}", "unknown key '" + longKey.substr(0, 61) + "...'"},
    };
    std::vector<std::string> profiles;
    for (const auto& c : cases) {
        clitest::RunOptions options;
        options.input = c.profile;
        CliResult r = RunCli({"--port", "2", "apply", "-"}, options);
        EXPECT_EQ(r.code, 2) << c.profile;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.find("orvane-cli: standard input: "), 0u) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_LT(r.err.size(), 400u);
        profiles.push_back(c.profile);
    }
    // The schema refuses what it can express.
    const std::vector<std::string> errors = clitest::SchemaErrors(profiles);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(errors[i].empty(), !cases[i].schemaSeesIt) << cases[i].profile << ": " << errors[i];
    }

    // Larger than 64 KiB, from a file, a device and an endless pipe: refused without reading on.
    const std::string big = (home.Path() / "big.json").string();
    const std::string atLimit = (home.Path() / "limit.json").string();
    {
        std::string text = "{\"id\":1}";
        text.resize(64 * 1024, ' ');
        std::FILE* f = std::fopen(atLimit.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        text += ' ';
        f = std::fopen(big.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    const char* bin = std::getenv("ORVANE_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    const std::string pipeline = std::string("yes | '") + bin + "/orvane-cli' --port 2 apply -";
    for (const CliResult& r : {RunCli({"--port", "2", "apply", big}), RunCli({"--port", "2", "apply", "/dev/zero"}),
                               clitest::RunProgram("/bin/sh", {"-c", pipeline})}) {
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_NE(r.err.find("larger than 64 KiB"), std::string::npos) << r.err;
    }
    EXPECT_EQ(target->AnswersSent(), 0u);
    CliResult r = RunCli({"--port", "2", "apply", atLimit});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(target->Settings().guestId, 1);
}

TEST_F(Apply, ASourceThatWouldKeepItWaitingIsRefusedSayingWhy)
{
    auto target = Start(2, modsim::ModuleSettings{});
    const std::string fifo = (home.Path() / "profile.fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    const std::string tty = ::ptsname(terminal);
    const struct {
        std::string source;
        bool inputClosed;
        std::string said;
    } cases[] = {
        {fifo, false, fifo + ": a FIFO that no program writes to (waited 5 seconds)"},
        {tty, false, tty + ": a terminal, not a profile file; give - to read standard input"},
        {"-", true, "cannot read standard input: Bad file descriptor"},
    };
    for (const auto& c : cases) {
        clitest::RunOptions options;
        options.inputClosed = c.inputClosed;
        CliResult r = RunCli({"--port", "2", "apply", c.source}, options);
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_EQ(r.err, "orvane-cli: " + c.said + "\n");
    }
    ::close(terminal);
    EXPECT_EQ(target->AnswersSent(), 0u);

    // A FIFO is read once a program writes to it.
    std::thread writer([&] { std::ofstream(fifo) << "{\"channel\":7}"; });
    CliResult r = RunCli({"--port", "2", "apply", fifo});
    writer.join();
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(target->Settings().channel, 7);
}

TEST_F(Apply, AReadBackThatDiffersExitsOneNamingTheSetting)
{
    modsim::ModuleSettings s;
    s.channel = 4;
    clitest::ForgetfulModule forgetful(2, s, true);
    ASSERT_TRUE(forgetful.Ok());
    clitest::RunOptions options;
    options.input = "{\"channel\":9,\"id\":500}";
    CliResult r = RunCli({"--port", "2", "apply", "-"}, options);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("read back differs: channel is 4, the profile has 9"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("id is"), std::string::npos) << r.err;
    EXPECT_EQ(forgetful.Settings().guestId, 500);
}

TEST_F(Apply, AProfileForTheOtherBandExitsTwoWithNothingWritten)
{
    auto target = Start(2, modsim::ModuleSettings{});
    clitest::RunOptions options;
    options.input = "{\"module\":\"490MHz\",\"channel\":3,\"frequency\":\"489.2329MHz\"}";
    CliResult r = RunCli({"--port", "2", "apply", "-"}, options);
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("the profile is for a 490MHz module, COM2 has a 433MHz module; nothing was written"),
              std::string::npos)
        << r.err;
    // Only the question for its band reached the module.
    EXPECT_TRUE(testcommon::WaitWithoutEvents([&] { return target->AnswersSent() >= 1; }));
    EXPECT_EQ(target->AnswersSent(), 1u);
    EXPECT_EQ(target->Settings(), modsim::ModuleSettings{});
}

TEST_F(Apply, OnlyAndSkipChooseTheSettingsWritten)
{
    // A profile printed before the format field: parity as the window names it.
    const std::string oldProfile = "{\"module\":\"433MHz\",\"channel\":21,\"frequency\":\"428.5088MHz\",\"air\":57600,"
                                   "\"serial\":{\"baud\":38400,\"parity\":\"ODD\"},\"id\":40000,\"power\":2}";
    EXPECT_EQ(clitest::SchemaErrors(oldProfile), "");
    const struct {
        std::vector<std::string> choice;
        const char* printed;
        std::function<void(modsim::ModuleSettings&)> expect;
    } cases[] = {
        {{"--only", "channel,air"},
         "module 433MHz\nchannel 21 428.5088MHz\nair 57600\n",
         [](auto& s) {
             s.channel = 21;
             s.airBaudIndex = 6;
         }},
        {{"--skip=id,serial"},
         "module 433MHz\nchannel 21 428.5088MHz\nair 57600\npower 2\n",
         [](auto& s) {
             s.channel = 21;
             s.airBaudIndex = 6;
             s.power = 2;
         }},
        {{},
         "module 433MHz\nchannel 21 428.5088MHz\nair 57600\nserial 38400 ODD\nid 40000\npower 2\n",
         [](auto& s) { s = Source(); }},
    };
    for (const auto& c : cases) {
        auto target = Start(2, modsim::ModuleSettings{});
        clitest::RunOptions options;
        options.input = oldProfile;
        std::vector<std::string> args{"--port", "2", "apply", "-"};
        args.insert(args.end(), c.choice.begin(), c.choice.end());
        CliResult r = RunCli(args, options);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, c.printed);
        modsim::ModuleSettings expected;
        c.expect(expected);
        EXPECT_EQ(target->Settings(), expected);
    }
}

TEST_F(Apply, SeveralPortsAreWrittenAtOnceAndEachReported)
{
    auto first = Start(2, modsim::ModuleSettings{});
    auto third = Start(4, modsim::ModuleSettings{});
    modsim::ModuleSettings elsewhere;
    elsewhere.baudIndex = 7;  // answers at 115200 only
    auto silent = Start(3, elsewhere);
    clitest::RunOptions options;
    options.input = "{\"format\":1,\"channel\":9}";
    CliResult r = RunCli({"--port", "2", "--port", "3", "--port", "4", "--timeout", "300", "apply", "-"}, options);
    EXPECT_EQ(r.code, 1);
    // Each port's lines together, in the order the ports finished.
    const std::string com2 = "COM2 module 433MHz\nCOM2 channel 9 432.5667MHz\n";
    const std::string com4 = "COM4 module 433MHz\nCOM4 channel 9 432.5667MHz\n";
    EXPECT_TRUE(r.out == com2 + com4 || r.out == com4 + com2) << r.out;
    EXPECT_EQ(r.err,
              "orvane-cli: no answer to search (code 0) on COM3 at 9600 No within 300 ms\n"
              "2 done, 1 no answer (COM3), 0 could not open\n");
    EXPECT_EQ(first->Settings().channel, 9);
    EXPECT_EQ(silent->Settings().channel, 1);
    EXPECT_EQ(third->Settings().channel, 9);
}

}  // namespace
