// orvane-cli apply: a profile taken with `info --json` from one module written onto another, read
// back and compared; profiles refused before anything is sent; read-backs that differ.

#include <gtest/gtest.h>

#include <memory>

#include "common/ModuleStarter.h"
#include "model/PtyModule.h"
#include "support/CliTestKit.h"

using clitest::CliResult;
using clitest::RunCli;

namespace {

class Apply : public ::testing::Test {
protected:
  std::unique_ptr<modsim::PtyModule> Start(int port, modsim::ModuleSettings settings) {
    modsim::PtyModuleOptions options;
    options.port = port;
    options.settings = settings;
    return testcommon::StartModule(options);
  }

  static modsim::ModuleSettings Source() {
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

TEST_F(Apply, CopiesOneModulesSettingsToAnother) {
  auto source = Start(1, Source());
  auto target = Start(2, modsim::ModuleSettings{});  // 9600 No, channel 1, ID 0, power 7
  CliResult profile = RunCli({"--port", "1", "--baud", "38400", "--parity", "odd", "--json", "info"});
  ASSERT_EQ(profile.code, 0) << profile.err;

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

TEST_F(Apply, WritesPowerButSaysItCannotBeReadBack) {
  auto target = Start(2, modsim::ModuleSettings{});
  const std::string path = (home.Path() / "profile.json").string();
  {
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("{\"power\": 3, \"id\": 77}\n", f);
    std::fclose(f);
  }
  CliResult r = RunCli({"--port", "2", "--json", "apply", path});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "{\"module\":\"433MHz\",\"id\":77,\"power\":3}\n");
  EXPECT_NE(r.err.find("power 3 was written; the module cannot report its power, so it was not read back"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(target->Settings().power, 3);
  EXPECT_EQ(target->Settings().guestId, 77);
}

TEST_F(Apply, RefusesABadProfileBeforeSendingAnything) {
  auto target = Start(2, modsim::ModuleSettings{});
  const struct {
    const char* profile;
    const char* said;
  } cases[] = {
      {"{\"channel\":5,\"colour\":\"red\"}", "unknown key 'colour'"},
      {"{\"channel\":0}", "channel must be 1 to 32, not '0'"},
      {"{\"channel\":5.5}", "channel must be 1 to 32, not '5.5'"},
      {"{\"channel\":\"5\"}", "channel must be a number 1 to 32"},
      {"{\"id\":65536}", "id must be 0 to 65535, not '65536'"},
      {"{\"air\":1000}", "air must be one of 1200"},
      {"{\"power\":0}", "power must be 1 to 7"},
      {"{\"serial\":{\"baud\":9600,\"parity\":\"mark\"}}", "parity must be no, odd or even, not 'mark'"},
      {"{\"serial\":{\"baud\":9600}}", "serial needs both baud and parity"},
      {"{\"serial\":{\"baud\":9600,\"parity\":\"No\",\"stop\":2}}", "unknown key 'serial.stop'"},
      {"{\"module\":\"868MHz\",\"channel\":1}", "module must be 433MHz or 490MHz"},
      {"{\"module\":\"433MHz\",\"channel\":5,\"frequency\":\"433.0782MHz\"}", "is not channel 5 of a 433MHz module"},
      {"{\"module\":\"433MHz\"}", "the profile holds no setting to write"},
      {"[1,2]", "a profile is one JSON object"},
      {"{\"channel\":5", "not valid JSON"},
  };
  for (const auto& c : cases) {
    clitest::RunOptions options;
    options.input = c.profile;
    CliResult r = RunCli({"--port", "2", "apply", "-"}, options);
    EXPECT_EQ(r.code, 2) << c.profile;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("standard input: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
  }
  CliResult r = RunCli({"--port", "2", "read", "id"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(clitest::WaitUntil([&] { return target->AnswersSent() >= 1; }));
  EXPECT_EQ(target->AnswersSent(), 1u);
  EXPECT_EQ(target->RequestsIgnored(), 0u);
}

TEST_F(Apply, AReadBackThatDiffersExitsOneNamingTheSetting) {
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

TEST_F(Apply, AProfileForTheOtherBandIsNotWritten) {
  auto target = Start(2, modsim::ModuleSettings{});
  clitest::RunOptions options;
  options.input = "{\"module\":\"490MHz\",\"channel\":3,\"frequency\":\"489.2329MHz\"}";
  CliResult r = RunCli({"--port", "2", "apply", "-"}, options);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("the profile is for a 490MHz module, COM2 has a 433MHz module; nothing was written"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(target->Settings(), modsim::ModuleSettings{});
}

}  // namespace
