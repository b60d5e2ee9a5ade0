#include "QtApp.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

int g_argc = 1;
char g_name[] = "skin-test";
char* g_argv[] = {g_name, nullptr};

class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureQtApp(); }
    void TearDown() override { delete qApp; }
};

[[maybe_unused]] const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace

QApplication* EnsureQtApp()
{
    if (!qApp) {
        // The CTest environment sets offscreen; a test run by hand gets it too.
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
        new QApplication(g_argc, g_argv);
    }
    return qApp;
}
