// The real program on a virtual X display: started by scripts/run.sh with the simulator, its port
// opened in the dialog, closed with "Exit". See smoke.sh.

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "OrvaneVersion.h"

#include <cstdlib>

namespace {

TEST(Smoke, ProgramOpensThePortAndClosesCleanly)
{
    const char* binDir = std::getenv("ORVANE_BIN_DIR");
    if (!binDir) GTEST_SKIP() << "ORVANE_BIN_DIR is not set";
    for (const char* tool : {"xvfb-run", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " is not installed";
    // From the source tree CTest names, not __FILE__: a compiler cache may make that path relative.
    const char* sourceDir = std::getenv("ORVANE_SOURCE_DIR");
    if (!sourceDir) GTEST_SKIP() << "ORVANE_SOURCE_DIR is not set";
    const QString script = QString::fromLocal8Bit(sourceDir) + QStringLiteral("/tests/app/smoke.sh");

    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    // The program must use the X display: the tests' offscreen platform would hide it.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // Under the sanitizers: the X platform's D-Bus client keeps an allocation for the life of the
    // process. Leaks of our own code are checked by the off-screen tests.
    if (env.contains(QStringLiteral("ASAN_OPTIONS")))
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
    run.setProcessEnvironment(env);
    bool finished = false;
    QString output;
    // xvfb-run starts its client even when its X server did not come up; only that is tried again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        run.start(QStringLiteral("xvfb-run"),
                  {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1024x768x24"),
                   QStringLiteral("bash"), script, QString::fromLocal8Bit(binDir)});
        ASSERT_TRUE(run.waitForStarted());
        finished = run.waitForFinished(180000);
        if (!finished) run.kill();
        output = QString::fromLocal8Bit(run.readAll());
        if (!finished || !output.contains(QStringLiteral("could not connect to display"))) break;
    }
    ASSERT_TRUE(finished) << output.toStdString();
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("smoke: ok"))) << output.toStdString();
}

// --help and --version answer without a display: no platform plugin, no X server.
TEST(Smoke, HelpAndVersionPrintAndExitWithoutAWindow)
{
    const char* binDir = std::getenv("ORVANE_BIN_DIR");
    if (!binDir) GTEST_SKIP() << "ORVANE_BIN_DIR is not set";
    const struct {
        const char* arg;
        QString expected;
    } cases[] = {
        {"--version", QStringLiteral("orvane %1\n").arg(QLatin1String(kOrvaneVersion))},
        {"-V", QStringLiteral("orvane %1\n").arg(QLatin1String(kOrvaneVersion))},
        {"--help", QStringLiteral("usage: orvane [--help] [--version] [Qt options]\n")},
        {"-h", QStringLiteral("usage: orvane [--help] [--version] [Qt options]\n")},
    };
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    for (const auto& c : cases) {
        QProcess run;
        run.setProcessEnvironment(env);
        run.start(QString::fromLocal8Bit(binDir) + QStringLiteral("/orvane"), {QLatin1String(c.arg)});
        ASSERT_TRUE(run.waitForFinished(60000)) << c.arg;
        const QString out = QString::fromLocal8Bit(run.readAllStandardOutput());
        EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << c.arg;
        EXPECT_EQ(run.exitCode(), 0) << c.arg << ": " << run.readAllStandardError().toStdString();
        EXPECT_TRUE(out.startsWith(c.expected)) << c.arg << ": " << out.toStdString();
    }
}

}  // namespace
