// The tests run under the application object, as the program does.
#include "app/Application.h"

#include "skin/JpegImage.h"
#include "ui/Fonts.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

int g_argc = 1;
char g_name[] = "orvane";
char* g_argv[] = {g_name, nullptr};

class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        configHome = new QTemporaryDir;
        setenv("XDG_CONFIG_HOME", configHome->path().toLocal8Bit().constData(), 1);
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
        new Application(g_argc, g_argv);
        InitSkinResources();
        RegisterFontSubstitutions();
    }
    void TearDown() override
    {
        delete qApp;
        delete configHome;
    }

private:
    QTemporaryDir* configHome = nullptr;
};

[[maybe_unused]] const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace
