// The player hosting visualization plug-ins through the COM stand-in, against a plug-in that
// records every call: the order and count of the calls, the title's encoding, the drawing
// path into the pane, release on a change and at the end, a plug-in that cannot load, and the
// rescan broadcast.
#include "player/host/PluginHost.h"
#include "platform/com/Com.h"
#include "platform/media/Effects.h"
#include "platform/message/Broadcast.h"
#include "platform/registry/Registry.h"
#include "player/host/PlayerCore.h"
#include "player/pane/NowPlayingPane.h"
#include "tests/support/AudioFiles.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

const char* const kClassA = "{11111111-2222-3333-4444-555555555555}";
const char* const kClassB = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

void setString(HKEY root, const std::string& key, const char* name, const std::string& value) {
    HKEY k = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD(value.size() + 1));
    RegCloseKey(k);
}

void registerEffect(const std::string& key, const std::string& clsid, const std::string& library,
                    const std::string& name) {
    setString(HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\InprocServer32", nullptr, library);
    std::string props = std::string(kEffectsRegistryKey) + "\\" + key + "\\Properties";
    setString(HKEY_LOCAL_MACHINE, props, "classid", clsid);
    setString(HKEY_LOCAL_MACHINE, props, "name", name);
}

double now() {
    return HeardAudio::nowSeconds();
}

class PluginHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        plat::setRegistryRoot(dir.file("registry"));
        setenv("FAKE_EFFECTS_LOG", dir.file("calls.txt").c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        CoInitialize(nullptr);
        core = new PlayerCore([this] { return state; }, [] { return std::string("song.flac"); });
    }
    void TearDown() override {
        core->Release();
        CoUninitialize();
    }
    std::vector<std::string> calls() {
        std::ifstream in(dir.file("calls.txt"));
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) {
            out.push_back(line);
        }
        return out;
    }
    testsupport::ScratchDir dir;
    PlayerCore* core = nullptr;
    WMPPlayState state = wmppsPlaying;
};

TEST_F(PluginHostTest, PlugInsAreDrivenInThePlayersOrderAndReleasedOnChangeAndAtTheEnd) {
    registerEffect("FakeA", kClassA, TC_FAKE_EFFECTS, "Fake A");
    registerEffect("FakeB", kClassB, TC_FAKE_EFFECTS, "res://fake.dll/RT_STRING/#101");
    std::string song = dir.file("song.flac");
    testsupport::EncodeFormat format{"flac",
                                     "flac",
                                     48000,
                                     1,
                                     2.0,
                                     "\xC3\x84rger \xC3\xBC"
                                     "ber \xE6\x97\xA5"};
    ASSERT_EQ(testsupport::encodeAudio(song, format, testsupport::sineSignal(60, 0.5)), "");
    PlayerSettings settings;
    settings.normalise = false;
    Player player(settings);
    std::string error;
    ASSERT_TRUE(player.start(error)) << error;
    player.openFiles({song}, true);
    for (double deadline = now() + 3; now() < deadline && player.mediaSerial() == 0;) {
        player.tick(now());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_NE(player.mediaSerial(), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // sound reaches the levels
    {
        PluginCatalog catalog(core);
        std::vector<VisualizationEntry> list = catalog.list();
        ASSERT_EQ(list.size(), 2u);
        EXPECT_EQ(list[0].name, "Fake A");
        EXPECT_EQ(list[1].name, "FakeB"); // a resource address is not shown
        NowPlayingPane pane(catalog);
        Font font(14);
        pane.resize(320, 200);
        pane.load("FakeB");
        EXPECT_EQ(pane.chosenKey(), "FakeB");
        EXPECT_EQ(pane.chosenName(), "Fake Picture");
        EXPECT_EQ(core->references(), 3u); // the test, the catalog, the plug-in
        for (int i = 0; i < 3; ++i) {
            player.tick(now());
            pane.frame(player, 320, 200, font);
        }
        // The plug-in drew into the pane: green 200, red from the lowest cell.
        const PaneSurface& s = pane.surface();
        ASSERT_EQ(s.pixels.size(), 320u * 200u);
        uint32_t p = s.pixels[100 * 320 + 100];
        EXPECT_EQ((p >> 8) & 0xFF, 200u);
        EXPECT_EQ(p >> 16, player.levels().frequency[0][0]);
        EXPECT_GT(p >> 16, 50u); // 60 Hz at half scale reaches the lowest cells
        pane.mouse(PaneMouse::LeftDown, 10, 130);
        pane.chooseNext(); // wraps round to the first
        EXPECT_EQ(pane.chosenKey(), "FakeA");
        player.tick(now());
        pane.frame(player, 400, 250, font);
        pane.shutdown();
        EXPECT_EQ(core->references(), 2u);
    }
    const std::vector<std::string> expected = {
        "CreateInstance",
        "SetCore core state 3",
        "Create 320x200",
        "MediaInfo 1 48000 <C4>rger <FC>ber ?",
        "RenderWindowed state 2",
        "RenderWindowed state 2",
        "RenderWindowed state 2",
        "OnWindowMessage 513 1 10 130",
        "Destroy",
        "SetCore null",
        "Release final",
        "CreateInstance",
        "SetCore core state 3",
        "Create 320x200",
        "MediaInfo 1 48000 <C4>rger <FC>ber ?",
        "RenderWindowed state 2",
        "Destroy",
        "SetCore null",
        "Release final",
    };
    EXPECT_EQ(calls(), expected);
}

TEST_F(PluginHostTest, APlugInThatCannotLoadIsReportedAndThePaneShowsThePlayersOwnBars) {
    registerEffect("Gone", kClassA, dir.file("missing.so"), "Gone Away");
    PluginCatalog catalog(core);
    NowPlayingPane pane(catalog);
    Player player(PlayerSettings{});
    Font font(14);
    testing::internal::CaptureStderr();
    pane.load("");
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(pane.problem().find("\"Gone Away\" could not be loaded"), std::string::npos)
        << pane.problem();
    EXPECT_NE(said.find("tcplayer: " + pane.problem()), std::string::npos) << said;
    pane.frame(player, 200, 100, font);
    // The message is written in light text on the dark pane.
    const PaneSurface& s = pane.surface();
    int light = 0;
    for (uint32_t p : s.pixels) {
        light += (p & 0xFF) > 0xA0;
    }
    EXPECT_GT(light, 20);
    EXPECT_EQ(core->references(), 2u);
}

TEST_F(PluginHostTest, TheRescanBroadcastMakesThePaneReadTheListAgain) {
    PluginCatalog catalog(core);
    NowPlayingPane pane(catalog);
    Player player(PlayerSettings{});
    Font font(14);
    pane.load("");
    EXPECT_TRUE(pane.entries().empty());
    registerEffect("FakeA", kClassA, TC_FAKE_EFFECTS, "Fake A");
    ASSERT_TRUE(plat::postBroadcast(RegisterWindowMessageA("WMPlayer_PluginAddRemove"), 0, 0));
    for (double deadline = now() + 2; now() < deadline && pane.chosenKey().empty();) {
        pane.frame(player, 100, 100, font);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(pane.chosenKey(), "FakeA");
    EXPECT_FALSE(catalog.rescanRequested()); // taken once
    pane.shutdown();
}

TEST(PluginTitleTest, LatinOneCharactersPassAndOthersBecomeQuestionMarks) {
    BSTR t = pluginTitle("A\xC3\x84\xE2\x82\xAC\xF0\x9F\x8E\xB5z");
    ASSERT_EQ(SysStringLen(t), 5u);
    EXPECT_EQ(t[0], u'A');
    EXPECT_EQ(t[1], char16_t(0xC4));
    EXPECT_EQ(t[2], u'?');
    EXPECT_EQ(t[3], u'?');
    EXPECT_EQ(t[4], u'z');
    SysFreeString(t);
}

} // namespace
