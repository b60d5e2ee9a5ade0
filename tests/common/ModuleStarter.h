#pragma once
// Starting the module simulator on a pty from a test. Header only: only the tests that link
// the simulator include it.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/PtyModule.h"

namespace testcommon {

// The simulator, started; a failure to start fails the test.
inline std::unique_ptr<modsim::PtyModule> StartModule(const modsim::PtyModuleOptions& options)
{
    auto module = std::make_unique<modsim::PtyModule>(options);
    std::string error;
    EXPECT_TRUE(module->Start(&error)) << error;
    return module;
}

}  // namespace testcommon
