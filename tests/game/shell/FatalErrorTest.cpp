#include "game/shell/FatalError.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

// Without a display the message box falls back to standard error, which the death test reads.
void throwing(int kind) {
    unsetenv("DISPLAY");
    runGuarded([kind] {
        if (kind == 0) {
            throw "Couldn't load track's texture";
        }
        if (kind == 1) {
            throw std::string("CBoneModel::loadTextures() can't load texture: x.png");
        }
        throw std::runtime_error("out of memory");
    });
    std::exit(0); // not reached when the error is reported
}

TEST(FatalError, ThrownTextEndsTheGameAsAFailureWithOneMessage) {
    EXPECT_EXIT(throwing(0), ::testing::ExitedWithCode(kFatalExitCode),
                "Exception Caught: Couldn't load track's texture");
    EXPECT_EXIT(throwing(1), ::testing::ExitedWithCode(kFatalExitCode),
                "Exception Caught: CBoneModel::loadTextures\\(\\) can't load texture: x.png");
    EXPECT_EXIT(throwing(2), ::testing::ExitedWithCode(kFatalExitCode),
                "Exception Caught: out of memory");
}

TEST(FatalError, NothingThrownRunsTheBodyOnly) {
    int ran = 0;
    runGuarded([&] { ++ran; });
    EXPECT_EQ(ran, 1);
}

} // namespace
