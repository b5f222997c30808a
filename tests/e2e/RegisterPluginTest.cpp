// The game's way of registering the plug-in: regsvr32 started in the game folder with
// "/s TCwavetap2.dll" finds the library beside it and registers it where players look.
#include "platform/com/Com.h"
#include "platform/media/Effects.h"
#include "platform/registry/Registry.h"
#include "plugin/IWavetap1.h"
#include "tests/e2e/Desktop.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <filesystem>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

class RegisterPluginE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        // An installed game folder of its own: the registrar, the plug-in and their libraries.
        fs::create_directories(game);
        for (const auto& e : fs::directory_iterator(TC_DIST_DIR)) {
            std::string name = e.path().filename().string();
            if (name == "regsvr32" || name == "TCwavetap2.so" || name.rfind("lib", 0) == 0) {
                fs::copy_file(e.path(), game + "/" + name);
            }
        }
        plat::setRegistryRoot(scratch.file("config/tonecrest/registry"));
        env = {{"XDG_CONFIG_HOME", scratch.file("config")},
               {"TONECREST_RUNTIME_DIR", scratch.path()}};
    }
    void TearDown() override { plat::setRegistryRoot(""); }

    int regsvr32(const std::vector<std::string>& args) {
        e2e::Program p(game + "/regsvr32", args, game, env);
        return p.waitExit(10000);
    }

    std::string serverPath() {
        std::string key = "CLSID\\{F0B862AC-CEA2-4980-802F-C63FCB03F074}\\InprocServer32";
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
            return "<not registered>";
        }
        char buffer[4096] = {};
        DWORD size = sizeof buffer - 1;
        RegQueryValueExA(k, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(k);
        return buffer;
    }

    bool effectRegistered() {
        HKEY k = nullptr;
        std::string key = std::string(kEffectsRegistryKey) + "\\Wavetap1\\Properties";
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(k);
        return true;
    }

    testsupport::ScratchDir scratch;
    std::string game = scratch.file("Tonecrest 2.0");
    std::map<std::string, std::string> env;
};

TEST_F(RegisterPluginE2e, SilentRegistrationFromTheGameFolderRegistersTheLibraryBesideIt) {
    ASSERT_EQ(regsvr32({"/s", "TCwavetap2.dll"}), 0) << testsupport::readFile(game + "/stdout.txt");
    EXPECT_EQ(serverPath(), fs::canonical(game + "/TCwavetap2.so").string());
    EXPECT_TRUE(effectRegistered());

    // A player finds the class through the registry.
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    IWMPEffects2* effects = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_Wavetap1, nullptr, CLSCTX_INPROC_SERVER, IID_IWMPEffects2,
                               reinterpret_cast<void**>(&effects)),
              S_OK);
    ASSERT_NE(effects, nullptr);
    BSTR title = nullptr;
    EXPECT_EQ(effects->GetTitle(&title), S_OK);
    EXPECT_EQ(plat::utf8FromBstr(title), "Tone Crest");
    SysFreeString(title);
    effects->Release();
    CoFreeUnusedLibraries();
    CoUninitialize();

    ASSERT_EQ(regsvr32({"/s", "/u", "TCwavetap2.dll"}), 0);
    EXPECT_EQ(serverPath(), "<not registered>");
    EXPECT_FALSE(effectRegistered());
}

TEST_F(RegisterPluginE2e, ExitCodesTellAScriptWhatWentWrong) {
    EXPECT_EQ(regsvr32({"/s"}), 1);
    EXPECT_EQ(regsvr32({"/s", "/q", "TCwavetap2.dll"}), 1);
    EXPECT_EQ(regsvr32({"/s", "Missing.dll"}), 3);
    testsupport::writeFile(game + "/Broken.so", "not a library");
    EXPECT_EQ(regsvr32({"/s", "Broken.dll"}), 3);
    EXPECT_EQ(regsvr32({"/s", "libplatform_core.so"}), 4);
    EXPECT_EQ(serverPath(), "<not registered>");
}

TEST_F(RegisterPluginE2e, AnAbsolutePathIsTheLibraryNotASwitch) {
    EXPECT_EQ(regsvr32({"/s", game + "/TCwavetap2.so"}), 0);
    EXPECT_TRUE(effectRegistered());
    EXPECT_EQ(regsvr32({"/s", "/u", game + "/TCwavetap2.so"}), 0);
    EXPECT_FALSE(effectRegistered());
}

TEST_F(RegisterPluginE2e, WithoutSlashSTheOutcomeIsShownInABox) {
    e2e::Program p(game + "/regsvr32", {"TCwavetap2.dll"}, game, env);
    EXPECT_TRUE(e2e::answerMessageBox("RegSvr32", true, 10000));
    EXPECT_EQ(p.waitExit(10000), 0);
    EXPECT_TRUE(effectRegistered());

    // A long text (here a long library name) wraps: the box fits a 1024-pixel screen.
    std::string longName = game + "/";
    for (int i = 0; i < 12; ++i) {
        longName += "a-folder-with-a-long-name-" + std::to_string(i) + "/";
    }
    longName += "TCwavetap2.dll";
    e2e::Program failing(game + "/regsvr32", {longName}, game, env);
    std::string box = e2e::waitForWindow("^RegSvr32$", 10000);
    ASSERT_FALSE(box.empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // mapped at its full size
    std::string geometry = e2e::xdotool("getwindowgeometry " + box);
    size_t at = geometry.find("Geometry: ");
    ASSERT_NE(at, std::string::npos) << geometry;
    int width = std::atoi(geometry.c_str() + at + 10);
    EXPECT_GT(width, 100) << geometry;
    EXPECT_LE(width, 1024) << geometry;
    e2e::screenshot(std::string(TC_TEST_STATE_DIR) + "/e2e-regsvr32-long-text.png");
    EXPECT_TRUE(e2e::answerMessageBox("RegSvr32", true, 10000));
    EXPECT_EQ(failing.waitExit(10000), 3);
}

} // namespace
