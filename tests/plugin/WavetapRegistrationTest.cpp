// Registration with COM and the player, and the rescan broadcast.
#include "platform/com/TypeLib.h"
#include "platform/message/Broadcast.h"
#include "tests/plugin/FakeHost.h"

#include <climits>
#include <cstdlib>

namespace {

using fakehost::PluginTest;

const char kClassKey[] = "CLSID\\{F0B862AC-CEA2-4980-802F-C63FCB03F074}";
const char kEffects[] = "SOFTWARE\\Microsoft\\MediaPlayer\\Objects\\Effects";
const char kEffectKey[] = "SOFTWARE\\Microsoft\\MediaPlayer\\Objects\\Effects\\Wavetap1";

bool exists(HKEY root, const std::string& path) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(k);
    return true;
}

std::string stringValue(HKEY root, const std::string& path, const char* name) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
        return "<missing key>";
    }
    char buffer[4096] = {};
    DWORD size = sizeof buffer - 1;
    LONG rc = RegQueryValueExA(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS ? std::string(buffer) : "<missing value>";
}

std::string realPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? resolved : path;
}

TEST_F(PluginTest, RegistrationDescribesTheClassAndTheVisualization) {
    const std::string server = std::string(kClassKey) + "\\InprocServer32";
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, kClassKey, nullptr), "Wavetap1 Class");
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, kClassKey, "TypeLib"),
              "{92F4E648-D6A1-49D0-BDDB-E0D888C07514}");
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, server, nullptr), realPath(fakehost::kPlugin));
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, server, "ThreadingModel"), "Apartment");
    const std::string props = std::string(kEffectKey) + "\\Properties";
    EXPECT_EQ(stringValue(HKEY_LOCAL_MACHINE, props, "classid"),
              "{F0B862AC-CEA2-4980-802F-C63FCB03F074}");
    EXPECT_EQ(stringValue(HKEY_LOCAL_MACHINE, props, "name"), "res://wavetap1.dll/RT_STRING/#101");
    EXPECT_EQ(stringValue(HKEY_LOCAL_MACHINE, props, "description"),
              "res://wavetap1.dll/RT_STRING/#105");
    std::string typeLib;
    EXPECT_EQ(plat::queryTypeLibPath(LIBID_WAVETAP1Lib, 1, 0, &typeLib), S_OK);
    EXPECT_EQ(typeLib, realPath(fakehost::kPlugin));
}

TEST_F(PluginTest, RegisteringTwiceLeavesOneFreshEffectsKey) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kEffectKey) + "\\Stale").c_str(), 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(k);
    ASSERT_EQ(callEntry("DllRegisterServer"), S_OK);
    EXPECT_FALSE(exists(HKEY_LOCAL_MACHINE, std::string(kEffectKey) + "\\Stale"));
    EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, std::string(kEffectKey) + "\\Properties"));
}

TEST_F(PluginTest, UnregisteringRemovesTheClassAndEffectsKeysButKeepsTheirParents) {
    // Another visualization beside ours.
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kEffects) + "\\Other").c_str(), 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(k);
    ASSERT_EQ(callEntry("DllUnregisterServer"), S_OK);
    EXPECT_FALSE(exists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(exists(HKEY_LOCAL_MACHINE, kEffectKey));
    EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, kEffects));
    EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, std::string(kEffects) + "\\Other"));
    EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\MediaPlayer\\Objects"));
    EXPECT_TRUE(exists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_FALSE(exists(HKEY_CLASSES_ROOT, "TypeLib\\{92F4E648-D6A1-49D0-BDDB-E0D888C07514}"));
    EXPECT_FALSE(exists(HKEY_CLASSES_ROOT, "Interface\\{A32D849B-C320-4E63-9B86-12719C6910A9}"));

    // The Effects key stays even when ours was its only subkey.
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kEffects) + "\\Other").c_str()),
              ERROR_SUCCESS);
    ASSERT_EQ(callEntry("DllRegisterServer"), S_OK);
    ASSERT_EQ(callEntry("DllUnregisterServer"), S_OK);
    EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, kEffects));

    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(
        CoCreateInstance(CLSID_Wavetap1, nullptr, CLSCTX_INPROC_SERVER, IID_IWMPEffects2, &object),
        REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
}

TEST_F(PluginTest, RegistrationAndRemovalTellListeningPlayersToRescan) {
    plat::BroadcastListener player;
    ASSERT_TRUE(player.listening());
    UINT rescan = RegisterWindowMessageA("WMPlayer_PluginAddRemove");
    ASSERT_NE(rescan, 0u);
    plat::BroadcastMessage m;
    ASSERT_EQ(callEntry("DllRegisterServer"), S_OK);
    ASSERT_TRUE(player.receive(&m, 2000));
    EXPECT_EQ(m.message, rescan);
    EXPECT_EQ(m.wParam, 0u);
    EXPECT_EQ(m.lParam, 0);
    ASSERT_EQ(callEntry("DllUnregisterServer"), S_OK);
    ASSERT_TRUE(player.receive(&m, 2000));
    EXPECT_EQ(m.message, rescan);
    EXPECT_FALSE(player.receive(&m, 0));
}

TEST_F(PluginTest, ARegisteredPathThatIsGoneFailsClearly) {
    const std::string server = std::string(kClassKey) + "\\InprocServer32";
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, server.c_str(), 0, KEY_ALL_ACCESS, &k),
              ERROR_SUCCESS);
    const std::string gone = scratch.file("moved away/TCwavetap2.so");
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(gone.c_str()),
                   static_cast<DWORD>(gone.size() + 1));
    RegCloseKey(k);
    // The library already loaded stays in use for its path; a new path must be loaded.
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(
        CoCreateInstance(CLSID_Wavetap1, nullptr, CLSCTX_INPROC_SERVER, IID_IWMPEffects2, &object),
        HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(object, nullptr);
    // The instance made before is unharmed.
    LONG count = 0;
    EXPECT_EQ(effects->GetPresetCount(&count), S_OK);
}

} // namespace
