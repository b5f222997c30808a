#include "platform/com/Com.h"
#include "platform/module/Module.h"
#include "platform/registry/Registry.h"
#include "tests/platform/com/FakeServer.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <string>

#ifndef TC_FAKE_SERVER
#error "TC_FAKE_SERVER must name the test server library"
#endif

namespace {

class ComRuntimeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        plat::setRegistryRoot(scratch.path());
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
    }
    void TearDown() override {
        CoFreeUnusedLibraries();
        CoUninitialize();
        plat::setRegistryRoot("");
    }

    void registerServer(const std::string& path) {
        std::string key = "CLSID\\" + plat::guidToString(CLSID_FakeCounter) + "\\InprocServer32";
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                 static_cast<DWORD>(path.size() + 1)),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }

    testsupport::ScratchDir scratch;
};

TEST_F(ComRuntimeTest, CreatesARegisteredClassThroughItsLibraryAndUnloadsItWhenUnused) {
    registerServer(TC_FAKE_SERVER);
    IFakeCounter* counter = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_FakeCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IFakeCounter,
                               reinterpret_cast<void**>(&counter)),
              S_OK);
    ASSERT_NE(counter, nullptr);
    LONG value = 0;
    EXPECT_EQ(counter->Increment(&value), S_OK);
    EXPECT_EQ(counter->Increment(&value), S_OK);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(plat::comLoadedLibraryCount(), 1);

    // The object holds its library.
    CoFreeUnusedLibraries();
    EXPECT_EQ(plat::comLoadedLibraryCount(), 1);

    IUnknown* unknown = nullptr;
    EXPECT_EQ(counter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    IDispatch* dispatch = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(counter->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)),
              E_NOINTERFACE);
    EXPECT_EQ(dispatch, nullptr);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(counter->Release(), 0u);

    CoFreeUnusedLibraries();
    EXPECT_EQ(plat::comLoadedLibraryCount(), 0);
}

TEST_F(ComRuntimeTest, AClassFactoryLockKeepsTheLibraryLoaded) {
    registerServer(TC_FAKE_SERVER);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(CoGetClassObject(CLSID_FakeCounter, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(&factory)),
              S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    CoFreeUnusedLibraries();
    EXPECT_EQ(plat::comLoadedLibraryCount(), 1);

    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_FakeCounter, reinterpret_cast<IUnknown*>(factory),
                               CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    CoFreeUnusedLibraries();
    EXPECT_EQ(plat::comLoadedLibraryCount(), 0);
}

TEST_F(ComRuntimeTest, FailuresGiveClearResultsAndANullObject) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(
        CoCreateInstance(CLSID_FakeCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
        REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);

    registerServer(scratch.file("gone/TCwavetap2.so"));
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(
        CoCreateInstance(CLSID_FakeCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
        HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(object, nullptr);

    testsupport::writeFile(scratch.file("junk.so"), "not a library");
    registerServer(scratch.file("junk.so"));
    EXPECT_EQ(
        CoCreateInstance(CLSID_FakeCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
        HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT));

    registerServer(TC_FAKE_SERVER);
    const CLSID other = plat::guid("{00000000-1111-2222-3333-444444444444}");
    std::string key = "CLSID\\" + plat::guidToString(other) + "\\InprocServer32";
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(TC_FAKE_SERVER),
                   sizeof TC_FAKE_SERVER);
    RegCloseKey(k);
    EXPECT_EQ(CoCreateInstance(other, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(
        CoCreateInstance(CLSID_FakeCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr),
        E_POINTER);
}

TEST_F(ComRuntimeTest, AThreadMustInitialiseComFirst) {
    registerServer(TC_FAKE_SERVER);
    CoUninitialize();
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(
        CoCreateInstance(CLSID_FakeCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
        CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
}

TEST(ModuleTest, LoadsByPathReportsItsFileAndFindsTheModuleOfAnAddress) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("/nonexistent/TCwavetap2.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    HMODULE m = LoadLibraryA(TC_FAKE_SERVER);
    ASSERT_NE(m, nullptr);
    char path[4096];
    DWORD n = GetModuleFileNameA(m, path, sizeof path);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(std::string(path, n).find('/'), 0u);
    EXPECT_NE(std::string(path).find("fake_com_server"), std::string::npos);
    char tiny[4];
    EXPECT_EQ(GetModuleFileNameA(m, tiny, sizeof tiny), 4u);
    EXPECT_EQ(tiny[3], '\0');

    FARPROC proc = GetProcAddress(m, "DllCanUnloadNow");
    ASSERT_NE(proc, nullptr);
    EXPECT_EQ(GetProcAddress(m, "NoSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    HMODULE owner = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCSTR>(proc), &owner));
    EXPECT_EQ(owner, m);
    EXPECT_TRUE(FreeLibrary(m));
}

} // namespace
