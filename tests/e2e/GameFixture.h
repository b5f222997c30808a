// The game started in a scratch folder of its own, with the built data beside it, its own
// registry and its own music block name, so that a feeder can play to it.
#pragma once

#include "platform/registry/Registry.h"
#include "tests/e2e/Desktop.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

inline const char* const kGameWindow = "^Tone Crest!  $";

class GameE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        registryRoot = scratch.file("config/tonecrest/registry");
        plat::setRegistryRoot(registryRoot);
        // The game runs in its own folder, with data/ beside it.
        std::filesystem::create_directory_symlink(std::string(TC_DIST_DIR) + "/data",
                                                  scratch.file("data"));
        env = {{"XDG_CONFIG_HOME", scratch.file("config")},
               {"TONECREST_SHM_NAMESPACE",
                "tce2e" + std::to_string(getpid()) + "_" + std::to_string(++counter)}};
    }
    void TearDown() override { plat::setRegistryRoot(""); }

    // Starts the game in the scratch folder and waits for its window.
    std::string start(const std::vector<std::string>& args = {}) {
        game = std::make_unique<Program>(std::string(TC_DIST_DIR) + "/Tonecrest", args,
                                         scratch.path(), env);
        std::string window = waitForWindow(kGameWindow, 15000);
        EXPECT_FALSE(window.empty()) << testsupport::readFile(scratch.file("stdout.txt"));
        return window;
    }

    // Starts tcfeed with these arguments on the game's music block, in a folder of its own.
    std::unique_ptr<Program> feed(const std::vector<std::string>& args) {
        std::string folder = scratch.file("feeder");
        std::filesystem::create_directories(folder);
        return std::make_unique<Program>(std::string(TC_DIST_DIR) + "/tcfeed", args, folder, env);
    }

    // Escape, then Yes: the orderly way out.
    int quitWithEscape(const std::string& window) {
        pressKey(window, "Escape");
        // The box comes once the world is built and a frame has run, which takes a while on a
        // busy machine.
        EXPECT_TRUE(answerMessageBox("Tone Crest", true, 20000));
        int code = game->waitExit(10000);
        if (code != 0) {
            std::printf("game output:\n%s\n",
                        testsupport::readFile(scratch.file("stdout.txt")).c_str());
        }
        return code;
    }

    testsupport::ScratchDir scratch;
    std::string registryRoot;
    std::map<std::string, std::string> env;
    std::unique_ptr<Program> game;
};

} // namespace e2e
