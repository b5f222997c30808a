// The player control library as NowPane meets it: registered in a private registry, created
// through COM in remote mode, driving a player on the remote socket.
#include "nowpane/AxHost.h"
#include "nowpane/MainDlg.h"
#include "nowpane/ModalDialog.h"
#include "nowpane/RemoteHost.h"
#include "nowpane/Resources.h"
#include "platform/com/Com.h"
#include "platform/module/Module.h"
#include "platform/registry/Registry.h"
#include "player/host/ControlRegistration.h"
#include "player/remote/RemoteServer.h"
#include "tests/support/RemotePump.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

#ifndef TC_CONTROL_LIBRARY
#error "TC_CONTROL_LIBRARY must name the player control library"
#endif

using namespace std::chrono_literals;

namespace {

const char16_t* const kClassId = u"{6BF52A52-394A-11d3-B153-00C04F79FAA6}";

std::string registryValue(const std::string& key, const char* name) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
        return "<no key>";
    }
    char data[4096] = "";
    DWORD size = sizeof data, type = 0;
    LONG r = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(k);
    return r == ERROR_SUCCESS ? std::string(data) : "<no value>";
}

class PlayerControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        config = dir.file("config");
        plat::setRegistryRoot(config + "/tonecrest/registry");
        setenv("TONECREST_RUNTIME_DIR", dir.file("run").c_str(), 1);
        setenv("TONECREST_PLAYER", dir.file("no-player-here").c_str(), 1);
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        library = LoadLibraryA(TC_CONTROL_LIBRARY);
        ASSERT_NE(library, nullptr);
        auto reg = reinterpret_cast<HRESULT (*)()>(GetProcAddress(library, "DllRegisterServer"));
        ASSERT_NE(reg, nullptr);
        ASSERT_EQ(reg(), S_OK);
    }
    void TearDown() override {
        CoFreeUnusedLibraries();
        if (library) {
            FreeLibrary(library);
        }
        CoUninitialize();
        unsetenv("TONECREST_PLAYER");
        unsetenv("TONECREST_RUNTIME_DIR");
        plat::setRegistryRoot("");
    }

    // A host sited with the remote host object, as NowPane prepares it.
    CAxHostWindow* remoteHost() {
        CAxHostWindow* host = CAxHostWindow::create(RECT{0, 0, 10, 10});
        CRemoteHost* site = CRemoteHost::create();
        host->SetSite(static_cast<IServiceProvider*>(site));
        site->Release();
        return host;
    }

    testsupport::ScratchDir dir;
    std::string config;
    HMODULE library = nullptr;
};

} // namespace

TEST_F(PlayerControlTest, RegistrationNamesTheLibraryAndUnregistrationRemovesIt) {
    std::string key = "CLSID\\{6BF52A52-394A-11D3-B153-00C04F79FAA6}\\InprocServer32";
    EXPECT_EQ(registryValue(key, nullptr), TC_CONTROL_LIBRARY);
    EXPECT_EQ(registryValue(key, "ThreadingModel"), "Apartment");
    auto unreg = reinterpret_cast<HRESULT (*)()>(GetProcAddress(library, "DllUnregisterServer"));
    ASSERT_EQ(unreg(), S_OK);
    EXPECT_EQ(registryValue(key, nullptr), "<no key>");
    EXPECT_NE(registryValue("CLSID", nullptr), "<no key>"); // NoRemove
}

TEST_F(PlayerControlTest, InRemoteModeTheControlDrivesTheRunningPlayer) {
    RemoteServer player;
    std::string error;
    ASSERT_EQ(player.listen(remote::defaultSocketPath(), error), RemoteServer::Result::Listening)
        << error;
    testsupport::RemotePump pump(player);

    CAxHostWindow* host = remoteHost();
    ASSERT_EQ(host->CreateControl(kClassId), S_OK);
    IWMPPlayer4* wmp = nullptr;
    ASSERT_EQ(host->QueryControl(IID_IWMPPlayer4, reinterpret_cast<void**>(&wmp)), S_OK);
    VARIANT_BOOL remote = VARIANT_FALSE;
    EXPECT_EQ(wmp->get_isRemote(&remote), S_OK);
    EXPECT_EQ(remote, VARIANT_TRUE);

    IWMPPlayerServices* services = nullptr;
    ASSERT_EQ(wmp->QueryInterface(IID_IWMPPlayerServices, reinterpret_cast<void**>(&services)),
              S_OK);
    BSTR pane = plat::bstrFromUtf8("NowPlaying");
    EXPECT_EQ(services->setTaskPane(pane), S_OK);
    SysFreeString(pane);
    services->Release();
    IWMPPlayerApplication* app = nullptr;
    ASSERT_EQ(wmp->get_playerApplication(&app), S_OK);
    EXPECT_EQ(app->switchToPlayerApplication(), S_OK);

    // The player goes away: the calls fail instead of hanging.
    pump.stop();
    player.close();
    EXPECT_EQ(app->switchToPlayerApplication(), E_FAIL);
    app->Release();
    wmp->Release();
    host->Release();
    // Everything the control made is gone with the host: nothing keeps the library busy.
    auto canUnload = reinterpret_cast<HRESULT (*)()>(GetProcAddress(library, "DllCanUnloadNow"));
    EXPECT_EQ(canUnload(), S_OK);

    auto got = pump.requests();
    ASSERT_GE(got.size(), 3u);
    EXPECT_TRUE(got[0] == RemoteRequest::ping());
    EXPECT_TRUE(got[got.size() - 2] == RemoteRequest::showPane("NowPlaying"));
    EXPECT_TRUE(got.back() == RemoteRequest::foreground());
}

TEST_F(PlayerControlTest, ANowPaneDialogShowsThePaneBringsThePlayerForwardAndEnds) {
    RemoteServer player;
    std::string error;
    ASSERT_EQ(player.listen(remote::defaultSocketPath(), error), RemoteServer::Result::Listening);
    testsupport::RemotePump pump(player);
    {
        CMainDlg dlg(true);
        ModalDialog dialog(nowpane::mainDialog());
        EXPECT_EQ(dialog.run(dlg), 0);
        EXPECT_EQ(dlg.initResult(), S_OK);
        EXPECT_TRUE(dialog.enabled(nowpane::IDC_GOTO_LIBRARY));
    }
    auto got = pump.requests(3);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_TRUE(got[1] == RemoteRequest::showPane("NowPlaying"));
    EXPECT_TRUE(got[2] == RemoteRequest::foreground());
}

TEST_F(PlayerControlTest, AControlThatCannotReachAPlayerIsNotCreated) {
    CAxHostWindow* host = remoteHost();
    auto begin = std::chrono::steady_clock::now();
    EXPECT_TRUE(FAILED(host->CreateControl(kClassId)));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 3s);
    IWMPPlayer4* wmp = nullptr;
    EXPECT_EQ(host->QueryControl(IID_IWMPPlayer4, reinterpret_cast<void**>(&wmp)), E_UNEXPECTED);
    host->Release();

    CMainDlg dlg(true);
    ModalDialog dialog(nowpane::mainDialog());
    EXPECT_EQ(dialog.run(dlg), 0);
    EXPECT_TRUE(FAILED(dlg.initResult()));
}

TEST_F(PlayerControlTest, TheControlStartsThePlayerWhenNoneRuns) {
    setenv("TONECREST_PLAYER", TC_FAKE_PLAYER, 1);
    std::string log = dir.file("player.log");
    setenv("TONECREST_FAKE_PLAYER_LOG", log.c_str(), 1);
    {
        CMainDlg dlg(true);
        ModalDialog dialog(nowpane::mainDialog());
        EXPECT_EQ(dialog.run(dlg), 0);
        EXPECT_EQ(dlg.initResult(), S_OK);
    }
    unsetenv("TONECREST_FAKE_PLAYER_LOG");
    EXPECT_TRUE(testsupport::waitFor(
        [&] { return testsupport::readFile(log).find("FOREGROUND") != std::string::npos; }));
    EXPECT_NE(testsupport::readFile(log).find("SHOW-PANE NowPlaying\n"), std::string::npos);
}

TEST_F(PlayerControlTest, WithoutARemoteSiteTheControlIsNotRemoteAndDrivesNothing) {
    IWMPPlayer4* wmp = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_WindowsMediaPlayer, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IWMPPlayer4, reinterpret_cast<void**>(&wmp)),
              S_OK);
    VARIANT_BOOL remote = VARIANT_TRUE;
    EXPECT_EQ(wmp->get_isRemote(&remote), S_OK);
    EXPECT_EQ(remote, VARIANT_FALSE);
    IWMPPlayerApplication* app = nullptr;
    EXPECT_EQ(wmp->get_playerApplication(&app), E_UNEXPECTED);
    EXPECT_EQ(app, nullptr);
    IWMPPlayerServices* services = nullptr;
    ASSERT_EQ(wmp->QueryInterface(IID_IWMPPlayerServices, reinterpret_cast<void**>(&services)),
              S_OK);
    BSTR pane = plat::bstrFromUtf8("NowPlaying");
    EXPECT_EQ(services->setTaskPane(pane), E_UNEXPECTED);
    SysFreeString(pane);
    services->Release();
    IWMPMediaCollection* media = nullptr;
    EXPECT_EQ(wmp->get_mediaCollection(&media), S_OK);
    ASSERT_NE(media, nullptr);
    media->Release();
    wmp->Release();
}

TEST_F(PlayerControlTest, TheNowPaneProgramEndsAtOnceWithTheRequestsMade) {
    RemoteServer player;
    std::string error;
    ASSERT_EQ(player.listen(remote::defaultSocketPath(), error), RemoteServer::Result::Listening);
    testsupport::RemotePump pump(player);
    std::string cmd = "XDG_CONFIG_HOME='" + config + "' '" + TC_NOWPANE + "'";
    auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
    auto got = pump.requests(3);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_TRUE(got[1] == RemoteRequest::showPane("NowPlaying"));
    EXPECT_TRUE(got[2] == RemoteRequest::foreground());

    // Without a player, it still ends at once, with 0.
    pump.stop();
    player.close();
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}

namespace {

TEST_F(PlayerControlTest, ARegistrationThatDoesNotLoadIsReportedByNowPaneAndRepairedByTcplayer) {
    const std::string key = "CLSID\\{6BF52A52-394A-11d3-B153-00C04F79FAA6}\\InprocServer32";
    std::string notALibrary = dir.file("tcplayerctl.so");
    testsupport::writeFile(notALibrary, "this is no library\n");
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k, nullptr, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(notALibrary.c_str()),
                             DWORD(notALibrary.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(k);
    // Without a display the box's text goes to standard error as well.
    std::string output = dir.file("nowpane.txt");
    auto nowPane = [&](const std::string& configHome) {
        std::string cmd = "env -u DISPLAY XDG_CONFIG_HOME='" + configHome + "' '" + TC_NOWPANE +
                          "' >'" + output + "' 2>&1";
        int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(nowPane(config), 1);
    std::string said = testsupport::readFile(output);
    EXPECT_NE(said.find("NowPane: The player control cannot be created: its registered library " +
                        notALibrary + " does not load"),
              std::string::npos)
        << said;

    // A read-only, empty registry: nothing is registered.
    std::string empty = dir.file("empty-config");
    mkdir(empty.c_str(), 0555);
    EXPECT_EQ(nowPane(empty), 1);
    said = testsupport::readFile(output);
    EXPECT_NE(said.find("NowPane: The player control is not registered"), std::string::npos)
        << said;

    // tcplayer puts its own control in place of the one that does not load.
    std::string error;
    EXPECT_TRUE(ensurePlayerControlRegistered(TC_CONTROL_LIBRARY, error)) << error;
    EXPECT_EQ(registryValue(key, nullptr), TC_CONTROL_LIBRARY);
    EXPECT_TRUE(ensurePlayerControlRegistered(dir.file("no-such.so"), error)) << error;
    EXPECT_EQ(registryValue(key, nullptr), TC_CONTROL_LIBRARY); // a working one is kept
    EXPECT_EQ(nowPane(config), 0); // no player to reach is no registration problem
}

} // namespace
