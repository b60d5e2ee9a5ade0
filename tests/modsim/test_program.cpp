// orvane-modsim as a program: its command line, its start line and its clean exit.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "OrvaneVersion.h"

namespace fs = std::filesystem;

namespace {

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/orvane-modsim-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        home = tmpl;
        ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        const char* bin = std::getenv("ORVANE_BIN_DIR");
        ASSERT_NE(bin, nullptr);
        program = fs::path(bin) / "orvane-modsim";
    }
    void TearDown() override
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        if (out >= 0) ::close(out);
        fs::remove_all(home);
    }

    // `output`: standard output to this file instead of the pipe that takes standard error.
    void Spawn(std::vector<std::string> args, const char* output = nullptr)
    {
        int fds[2];
        ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::dup2(output != nullptr ? ::open(output, O_WRONLY) : fds[1], 1);
            ::dup2(fds[1], 2);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        out = fds[0];
    }

    // Output until the first newline (or end of output), waiting up to 20 s.
    std::string FirstLine()
    {
        const std::string text = Output(true);
        return text.substr(0, text.find('\n'));
    }

    // Output until the end (or the first newline), waiting up to 20 s.
    std::string Output(bool firstLineOnly = false)
    {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!(firstLineOnly && text.find('\n') != std::string::npos)
               && std::chrono::steady_clock::now() < deadline) {
            pollfd p{out, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char buf[256];
            const ssize_t n = ::read(out, buf, sizeof buf);
            if (n <= 0) break;
            text.append(buf, static_cast<std::size_t>(n));
        }
        return text;
    }

    int Wait()
    {
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path home;
    fs::path program;
    pid_t pid = -1;
    int out = -1;
};

TEST_F(Program, BadArgumentsExitWithTwoAndOneUsageLine)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--port", "0"},
        {"--port", "64"},
        {"--port", "x"},
        {"--port="},
        {"--type", "868"},
        {"--baud", "14400"},
        {"--parity", "mark"},
        {"-p", "oddly"},
        {"--air", "300"},
        {"--channel", "33"},
        {"--id", "65536"},
        {"--power", "0"},
        {"--delay-ms", "-1"},
        {"--drop", "1.5"},
        {"--drop", "x"},
        {"--count", "0"},
        {"--count", "64"},
        {"--count", "3", "--id-start", "65534"},
        {"--bogus"},
        {"--port"},
        {"--noise=1"},
        {"12"},
        {"--serve", "telnet"},
        {"--serve", "rfc2217:0"},
        {"--serve", "rfc2217:65536"},
    };
    for (const auto& args : bad) {
        Spawn(args);
        const std::string text = Output();
        EXPECT_EQ(Wait(), 2) << args[0];
        EXPECT_TRUE(text.starts_with("orvane-modsim: ")) << text;
        EXPECT_TRUE(text.ends_with("\nusage: orvane-modsim [OPTIONS]; see 'orvane-modsim --help'\n")) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
        ::close(out);
        out = -1;
    }
}

// The same spellings as orvane-cli: COMn, comn or n; parity words in any case; --name=value, -b, -p.
TEST_F(Program, TakesTheCommandLineToolsSpellings)
{
    const struct {
        std::vector<std::string> args;
        const char* settings;
    } cases[] = {
        {{"--port=COM12", "-b", "19200", "-p", "E"}, "): 19200 Even, 433 MHz"},
        {{"--port", "com12", "--parity=ODD", "--type=490"}, "): 9600 ODD, 490 MHz"},
        {{"--port", "12", "-b115200", "-pnone"}, "): 115200 No, 433 MHz"},
    };
    for (const auto& c : cases) {
        Spawn(c.args);
        const std::string line = FirstLine();
        EXPECT_TRUE(line.starts_with("module simulator on COM12 (/dev/pts/")) << line;
        EXPECT_TRUE(line.ends_with(c.settings)) << line;
        ::kill(pid, SIGTERM);
        EXPECT_EQ(Wait(), 0);
        ::close(out);
        out = -1;
    }
}

TEST_F(Program, PrintsItsPortAndRemovesTheLinkOnTerm)
{
    Spawn({"--port", "12", "--type", "490", "--baud", "19200", "--parity", "even"});
    const std::string line = FirstLine();
    EXPECT_TRUE(line.starts_with("module simulator on COM12 (/dev/pts/")) << line;
    EXPECT_TRUE(line.ends_with("): 19200 Even, 490 MHz")) << line;
    const fs::path link = home / "orvane/ports/com12";
    EXPECT_TRUE(fs::is_symlink(link));
    ::kill(pid, SIGTERM);
    EXPECT_EQ(Wait(), 0);
    EXPECT_FALSE(fs::is_symlink(link));
}

// --serve: the URL on the second line, and Telnet with COM-PORT-OPTION behind it.
TEST_F(Program, ServesTheModuleOverTheNetwork)
{
    Spawn({"--port", "12", "--serve", "rfc2217"});
    std::string text;
    while (std::count(text.begin(), text.end(), '\n') < 2) {
        const std::string more = Output(true);
        if (more.empty()) break;
        text += more;
    }
    const std::string prefix = "serving rfc2217://127.0.0.1:";
    const std::size_t at = text.find(prefix);
    ASSERT_NE(at, std::string::npos) << text;
    const int port = std::stoi(text.substr(at + prefix.size()));
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // WILL and DO BINARY, WILL and DO SUPPRESS-GO-AHEAD, DO COM-PORT-OPTION.
    const std::string opening("\xFF\xFB\x00\xFF\xFD\x00\xFF\xFB\x03\xFF\xFD\x03\xFF\xFD\x2C", 15);
    std::string got;
    while (got.size() < opening.size()) {
        pollfd p{fd, POLLIN, 0};
        char buf[64];
        if (::poll(&p, 1, 20000) <= 0) break;
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        got.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    EXPECT_EQ(got, opening);
    ::kill(pid, SIGTERM);
    EXPECT_EQ(Wait(), 0);
}

TEST_F(Program, MakesNoLinkWhereAnotherUserCouldChangeIt)
{
    const fs::path ports = home / "orvane" / "ports";
    const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    const struct {
        const char* name;
        std::function<bool()> arrange;  // false: not possible here
        std::string said;
    } cases[] = {
        {"no home",
         [] {
             ::unsetenv("XDG_CONFIG_HOME");
             ::unsetenv("HOME");
             return true;
         },
         "orvane-modsim: no ports directory: neither XDG_CONFIG_HOME nor HOME is set to an absolute path\n"},
        {"writable by others",
         [&] {
             fs::create_directories(ports);
             fs::permissions(ports, fs::perms::all);
             return true;
         },
         "orvane-modsim: " + ports.string() + " is writable by others; links to the simulator are not made there\n"},
        {"another user's link",
         [&] {
             fs::create_directories(home / "elsewhere");
             fs::create_directories(ports.parent_path());
             fs::create_directory_symlink(home / "elsewhere", ports);
             return ::geteuid() == 0 && ::lchown(ports.c_str(), 65534, 65534) == 0;
         },
         "orvane-modsim: " + ports.string() + " is a link owned by another user; not followed\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(home / "orvane");
        fs::remove_all(home / "elsewhere");
        std::error_code ec;
        if (c.arrange()) {
            Spawn({"--port", "9"});
            EXPECT_EQ(Output(), c.said);
            EXPECT_EQ(Wait(), 1);
            ::close(out);
            out = -1;
            EXPECT_FALSE(fs::exists(ports / "com9", ec)) << ports;
            EXPECT_FALSE(fs::exists(home / "elsewhere" / "com9", ec));
        }
        ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        ::setenv("HOME", savedHome.c_str(), 1);
    }
}

TEST_F(Program, HelpAndVersionThatCannotBeWrittenExitWithOne)
{
    for (const char* option : {"--help", "-V"}) {
        Spawn({option}, "/dev/full");
        EXPECT_EQ(Output(), "orvane-modsim: cannot write to standard output: No space left on device\n");
        EXPECT_EQ(Wait(), 1);
        ::close(out);
        out = -1;
    }
}

TEST_F(Program, HelpAndVersionExitWithZero)
{
    Spawn({"-h"});
    EXPECT_TRUE(FirstLine().starts_with("usage: orvane-modsim"));
    EXPECT_EQ(Wait(), 0);
    ::close(out);
    Spawn({"--version"});
    EXPECT_EQ(FirstLine(), "orvane-modsim " ORVANE_VERSION);
    EXPECT_EQ(Wait(), 0);
}

}  // namespace
