// A stand-in for the player: its own registry, music block name and runtime folder; the
// plug-in registered from the built game folder and created through CoCreateInstance; a pane
// window whose device context draws into a pixel surface; and a core object that counts its
// references.
#pragma once

#include "platform/com/Com.h"
#include "platform/gdi/Gdi.h"
#include "platform/media/Effects.h"
#include "platform/module/Module.h"
#include "platform/registry/Registry.h"
#include "platform/window/Window.h"
#include "plugin/IWavetap1.h"
#include "shared/musicblock/CSharedMusicBlock.h"
#include "tests/support/TestPaths.h"
#include "tests/support/UnimplementedCore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace fakehost {

inline const std::string kPlugin = std::string(TC_DIST_DIR) + "/TCwavetap2.so";

class FakeCore final : public testsupport::UnimplementedCore<IWMPCore> {
  public:
    long refs = 1;
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IWMPCore) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG Release() override { return static_cast<ULONG>(--refs); }
};

class PluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(isolation.ok());
        plat::setRegistryRoot(scratch.file("registry"));
        setenv("TONECREST_RUNTIME_DIR", scratch.path().c_str(), 1);
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        library = LoadLibraryA(kPlugin.c_str());
        ASSERT_NE(library, nullptr) << kPlugin;
        ASSERT_EQ(callEntry("DllRegisterServer"), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_Wavetap1, nullptr, CLSCTX_INPROC_SERVER, IID_IWMPEffects2,
                                   reinterpret_cast<void**>(&effects)),
                  S_OK);
        ASSERT_TRUE(reader.Open());
    }

    void TearDown() override {
        if (effects != nullptr) {
            effects->Release();
        }
        closePane();
        reader.Close();
        CoFreeUnusedLibraries();
        if (library != nullptr) {
            FreeLibrary(library);
        }
        CoUninitialize();
        unsetenv("TONECREST_RUNTIME_DIR");
        plat::setRegistryRoot("");
    }

    HRESULT callEntry(const char* name) {
        auto entry = reinterpret_cast<HRESULT (*)()>(GetProcAddress(library, name));
        return entry != nullptr ? entry() : E_FAIL;
    }

    // A pane window of the player, width x height, drawn into a surface.
    HWND openPane(int width, int height) {
        static bool registered = false;
        if (!registered) {
            WNDCLASSEXA wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = DefWindowProcA;
            wc.lpszClassName = "FakePlayerPane";
            registered = RegisterClassExA(&wc) != 0;
        }
        pane = CreateWindowExA(0, "FakePlayerPane", "pane", 0, 0, 0, width, height, nullptr,
                               nullptr, nullptr, nullptr);
        surface = std::make_unique<plat::PixelSurface>(width, height, 0x123456);
        if (pane != nullptr) {
            plat::bindWindowSurface(pane, surface.get());
        }
        return pane;
    }

    void closePane() {
        if (pane != nullptr) {
            plat::bindWindowSurface(pane, nullptr);
            DestroyWindow(pane);
            pane = nullptr;
        }
    }

    struct Block {
        unsigned char spectrum[2][1024];
        char title[200];
    };
    Block readBlock() {
        Block b{};
        EXPECT_TRUE(reader.Read(b.spectrum, b.title));
        return b;
    }

    testsupport::ScratchDir scratch;
    testsupport::IsolatedMusicBlock isolation{scratch};
    CSharedMusicBlock reader;
    HMODULE library = nullptr;
    IWMPEffects2* effects = nullptr;
    HWND pane = nullptr;
    std::unique_ptr<plat::PixelSurface> surface;
};

inline TimedLevel levelsOf(unsigned char left, unsigned char right) {
    TimedLevel l{};
    for (int i = 0; i < SA_BUFFER_SIZE; ++i) {
        l.frequency[0][i] = left;
        l.frequency[1][i] = right;
        l.waveform[0][i] = 128;
        l.waveform[1][i] = 128;
    }
    return l;
}

inline BSTR bstr(const std::u16string& s) {
    return SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
}

} // namespace fakehost
