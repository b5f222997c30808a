// main() of test programs that open windows: points DISPLAY at the run's virtual display.
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    std::ifstream in(std::string(TC_TEST_STATE_DIR) + "/xvfb.display");
    std::string number;
    if (in >> number) {
        setenv("DISPLAY", (":" + number).c_str(), 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
