#include "platform/com/Registrar.h"
#include "platform/com/TypeLib.h"
#include "platform/registry/Registry.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class RegistrarTest : public ::testing::Test {
  protected:
    void SetUp() override { plat::setRegistryRoot(scratch.path()); }
    void TearDown() override { plat::setRegistryRoot(""); }

    static bool exists(HKEY root, const std::string& path) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(k);
        return true;
    }

    // The value's bytes (a string with its NUL), or "<missing>".
    static std::string value(HKEY root, const std::string& path, const char* name,
                             DWORD* type = nullptr) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
            return "<missing>";
        }
        char buffer[512] = {};
        DWORD size = sizeof buffer;
        LONG rc = RegQueryValueExA(k, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(k);
        return rc == ERROR_SUCCESS ? std::string(buffer, size) : "<missing>";
    }

    static std::string text(const char* s) { return std::string(s, std::strlen(s) + 1); }

    testsupport::ScratchDir scratch;
};

const char kScript[] = R"(HKCR
{
    NoRemove CLSID
    {
        ForceRemove {F0B862AC-CEA2-4980-802F-C63FCB03F074} = s 'Wavetap1 Class'
        {
            val TypeLib = s '{92F4E648-D6A1-49D0-BDDB-E0D888C07514}'
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Apartment'
            }
        }
    }
}
HKLM
{
    NoRemove SOFTWARE
    {
        Plain
        {
            val Count = d '0x10'
            val Bytes = b '00ff7F'
            'It''s quoted' = s '100%% sure'
        }
    }
}
)";

const char kClassKey[] = "CLSID\\{F0B862AC-CEA2-4980-802F-C63FCB03F074}";

TEST_F(RegistrarTest, RegistrationWritesKeysValuesAndReplacements) {
    plat::Registrar r;
    r.addReplacement("MODULE", "/games/Tonecrest/TCwavetap2.so");
    ASSERT_EQ(r.registerScript(kScript), S_OK) << r.lastError();
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, kClassKey, nullptr), text("Wavetap1 Class"));
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, kClassKey, "TypeLib"),
              text("{92F4E648-D6A1-49D0-BDDB-E0D888C07514}"));
    std::string server = std::string(kClassKey) + "\\InprocServer32";
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, server, nullptr), text("/games/Tonecrest/TCwavetap2.so"));
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, server, "ThreadingModel"), text("Apartment"));

    DWORD type = 0;
    EXPECT_EQ(value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Plain", "Count", &type),
              std::string("\x10\0\0\0", 4));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Plain", "Bytes", &type),
              std::string("\x00\xff\x7f", 3));
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Plain\\It's quoted", nullptr),
              text("100% sure"));
}

TEST_F(RegistrarTest, ForceRemoveReplacesAKeyWithEverythingBelowIt) {
    plat::Registrar r;
    r.addReplacement("module", "/a.so");
    ASSERT_EQ(r.registerScript(kScript), S_OK);
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\Stale").c_str(), 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(k);
    ASSERT_EQ(r.registerScript(kScript), S_OK);
    EXPECT_FALSE(exists(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\Stale"));
    EXPECT_TRUE(exists(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32"));
}

TEST_F(RegistrarTest, UnregistrationKeepsNoRemoveKeysAndKeysOthersStillUse) {
    plat::Registrar r;
    r.addReplacement("MODULE", "/a.so");
    ASSERT_EQ(r.registerScript(kScript), S_OK);
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Plain\\Foreign", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(k);

    ASSERT_EQ(r.unregisterScript(kScript), S_OK);
    EXPECT_FALSE(exists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_TRUE(exists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, "SOFTWARE"));
    EXPECT_FALSE(exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Plain\\It's quoted"));
    // Another owner's subkey keeps its parent.
    EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Plain\\Foreign"));

    // Unregistering what is not there is no error.
    EXPECT_EQ(r.unregisterScript(kScript), S_OK);
}

TEST_F(RegistrarTest, BadScriptsAreRefusedBeforeAnythingChanges) {
    plat::Registrar r;
    r.addReplacement("MODULE", "/a.so");
    struct Case {
        const char* script;
        const char* reason;
    } cases[] = {
        {"HKCU { Key }", "unknown root"},
        {"HKCR { Key ", "missing '}'"},
        {"HKCR { Key = s 'open", "unterminated"},
        {"HKCR { Key = x 'v' }", "unknown value type"},
        {"HKCR { Key = d 'ten' }", "bad number"},
        {"HKCR { Key = b 'abc' }", "odd number"},
        {"HKCR { Key = s '%NOPE%' }", "no replacement"},
        {"HKCR { A } HKCR { B = s '%MODULE' }", "unmatched %"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(r.registerScript(c.script), E_INVALIDARG) << c.script;
        EXPECT_NE(r.lastError().find(c.reason), std::string::npos)
            << c.script << ": " << r.lastError();
        EXPECT_EQ(r.unregisterScript(c.script), E_INVALIDARG) << c.script;
    }
    EXPECT_FALSE(exists(HKEY_CLASSES_ROOT, "A"));
}

TEST_F(RegistrarTest, TypeLibrariesAreRegistryData) {
    plat::TypeLibDescription lib;
    lib.libid = plat::guid("{92F4E648-D6A1-49D0-BDDB-E0D888C07514}");
    lib.name = "WAVETAP1Lib";
    lib.helpText = "Wavetap1 1.0 Type Library";
    lib.interfaces.push_back({plat::guid("{A32D849B-C320-4E63-9B86-12719C6910A9}"), "IWavetap1",
                              "IWavetap1 Interface", true});
    ASSERT_EQ(plat::registerTypeLib(lib, "/games/Tonecrest/TCwavetap2.so"), S_OK);

    const std::string libKey = "TypeLib\\{92F4E648-D6A1-49D0-BDDB-E0D888C07514}";
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, libKey + "\\1.0", nullptr),
              text("Wavetap1 1.0 Type Library"));
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, libKey + "\\1.0\\HELPDIR", nullptr),
              text("/games/Tonecrest"));
    std::string path;
    EXPECT_EQ(plat::queryTypeLibPath(lib.libid, 1, 0, &path), S_OK);
    EXPECT_EQ(path, "/games/Tonecrest/TCwavetap2.so");
    const std::string itf = "Interface\\{A32D849B-C320-4E63-9B86-12719C6910A9}";
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, itf, nullptr), text("IWavetap1"));
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, itf + "\\TypeLib", "Version"), text("1.0"));

    EXPECT_EQ(plat::unregisterTypeLib(lib), S_OK);
    EXPECT_FALSE(exists(HKEY_CLASSES_ROOT, libKey));
    EXPECT_FALSE(exists(HKEY_CLASSES_ROOT, itf));
    EXPECT_TRUE(exists(HKEY_CLASSES_ROOT, "TypeLib"));
    EXPECT_EQ(plat::queryTypeLibPath(lib.libid, 1, 0, &path), TYPE_E_LIBNOTREGISTERED);
}

} // namespace
