// main() of test programs that open windows: points DISPLAY at the run's virtual display named
// by TC_TEST_DISPLAY (the test run sets it; xvfb, the desktop, when unset).
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const char* name = std::getenv("TC_TEST_DISPLAY");
    std::ifstream in(std::string(TC_TEST_STATE_DIR) + "/" + (name != nullptr ? name : "xvfb") +
                     ".display");
    std::string number;
    if (in >> number) {
        setenv("DISPLAY", (":" + number).c_str(), 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
