#include "platform/registry/Registry.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { plat::setRegistryRoot(scratch.path()); }
    void TearDown() override { plat::setRegistryRoot(""); }

    HKEY create(HKEY root, const char* path) {
        HKEY key = nullptr;
        EXPECT_EQ(
            RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        return key;
    }

    std::string queryString(HKEY key, const char* name) {
        char buf[256] = {};
        DWORD size = sizeof buf;
        DWORD type = 0;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) !=
            ERROR_SUCCESS) {
            return "<missing>";
        }
        EXPECT_EQ(type, REG_SZ);
        return std::string(buf, size);
    }

    testsupport::ScratchDir scratch;
};

TEST_F(RegistryTest, OpenNeverCreatesAMissingKey) {
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nobody", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    HKEY again = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &again),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, CreateMakesParentsAndReportsDisposition) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\A Maker\\Game 2.0", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\A Maker\\Game 2.0", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
    HKEY parent = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\A Maker", 0, KEY_READ, &parent),
              ERROR_SUCCESS);
    RegCloseKey(parent);
}

TEST_F(RegistryTest, KeysAndValuesIgnoreLetterCaseAndSurviveReopening) {
    HKEY key = create(HKEY_LOCAL_MACHINE, "Software\\Brightfold Software\\Tonecrest 2.0");
    const char path[] = "/home/rider/Tone Crest";
    ASSERT_EQ(
        RegSetValueExA(key, "ExePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path),
        ERROR_SUCCESS);
    RegCloseKey(key);

    HKEY other = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\BRIGHTFOLD software\\tonecrest 2.0", 0,
                            KEY_READ, &other),
              ERROR_SUCCESS);
    EXPECT_EQ(queryString(other, "exepath"), std::string(path, sizeof path));
    RegCloseKey(other);
}

TEST_F(RegistryTest, HivesAreSeparate) {
    HKEY key = create(HKEY_CLASSES_ROOT, "CLSID\\{1}");
    RegCloseKey(key);
    HKEY none = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "CLSID\\{1}", 0, KEY_READ, &none),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, QueryReportsSizeAndRefusesSmallBuffers) {
    HKEY key = create(HKEY_LOCAL_MACHINE, "K");
    const char text[] = "twelve chars";
    RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);

    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof text);

    char small[4] = {'x', 'x', 'x', 'x'};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof text);
    EXPECT_EQ(std::string(small, 4), "xxxx");

    EXPECT_EQ(RegQueryValueExA(key, "absent", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, BinaryDataDefaultValueAndOverwrite) {
    HKEY key = create(HKEY_CLASSES_ROOT, "Thing");
    const BYTE raw[] = {0, 1, 2, 0xFF, '\n', ' ', 0};
    ASSERT_EQ(RegSetValueExA(key, nullptr, 0, REG_BINARY, raw, sizeof raw), ERROR_SUCCESS);
    const char second[] = "name with spaces";
    ASSERT_EQ(RegSetValueExA(key, "a value", 0, REG_SZ, reinterpret_cast<const BYTE*>(second),
                             sizeof second),
              ERROR_SUCCESS);
    BYTE back[16] = {};
    DWORD size = sizeof back;
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExA(key, "", nullptr, &type, back, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    ASSERT_EQ(size, sizeof raw);
    EXPECT_EQ(std::memcmp(back, raw, sizeof raw), 0);

    const char third[] = "x";
    RegSetValueExA(key, "A VALUE", 0, REG_SZ, reinterpret_cast<const BYTE*>(third), sizeof third);
    EXPECT_EQ(queryString(key, "a value"), std::string(third, sizeof third));

    // A disk that fills midway fails the write and keeps every value as it was.
    std::string big(4000, 'b');
    EXPECT_EQ(testsupport::inChildWithFileSizeLimit(
                  200,
                  [&] {
                      return RegSetValueExA(key, "big", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(big.c_str()),
                                            DWORD(big.size() + 1)) == ERROR_SUCCESS;
                  }),
              1);
    EXPECT_EQ(queryString(key, "a value"), std::string(third, sizeof third));
    size = sizeof back;
    ASSERT_EQ(RegQueryValueExA(key, "", nullptr, &type, back, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof raw);
    RegCloseKey(key);
}

TEST_F(RegistryTest, AccessRightsOfTheHandleAreEnforced) {
    RegCloseKey(create(HKEY_LOCAL_MACHINE, "RO"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "RO", 0, KEY_READ, &key), ERROR_SUCCESS);
    const char v[] = "v";
    EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>(v), sizeof v),
              ERROR_ACCESS_DENIED);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DeleteTreeRemovesTheKeyAndEverythingBelow) {
    RegCloseKey(create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Objects\\Effects\\Tap\\Properties"));
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Objects\\Effects\\Tap"), ERROR_SUCCESS);
    HKEY key = nullptr;
    EXPECT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Objects\\Effects\\Tap", 0, KEY_READ, &key),
        ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Objects\\Effects", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Objects\\Effects\\Tap"),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, KeyNamesCannotEscapeTheRoot) {
    HKEY key = nullptr;
    EXPECT_NE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "..\\..\\outside", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_NE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "a/b", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
}

// Entries in the registry folders that cannot be examined: a link that points at itself, one
// that points nowhere and a plain file where a key would be. Every call answers with an error
// code or passes them by, and never throws.
TEST_F(RegistryTest, EntriesThatCannotBeExaminedGiveErrorCodes) {
    HKEY software = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Maker");
    ASSERT_NE(software, nullptr);
    RegCloseKey(software);
    std::string hive = scratch.file("HKEY_LOCAL_MACHINE/SOFTWARE");
    ASSERT_EQ(symlink("Loop", (hive + "/Loop").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (hive + "/Dangling").c_str()), 0);
    testsupport::writeFile(hive + "/Plain", "not a key");

    HKEY key = nullptr;
    // Looking up a name that is not there walks past every entry.
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    for (const char* bad :
         {"SOFTWARE\\Loop", "SOFTWARE\\Loop\\Below", "SOFTWARE\\Dangling", "SOFTWARE\\Plain"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, bad, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
        EXPECT_NE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, bad, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(key, nullptr);
        EXPECT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, bad), ERROR_FILE_NOT_FOUND);
    }
    // The good key beside them still works.
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\maker", 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    const char text[] = "C:\\Games";
    EXPECT_EQ(
        RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
        ERROR_SUCCESS);
    EXPECT_EQ(queryString(key, "Path"), std::string(text, sizeof text));
    RegCloseKey(key);

    // A key whose folder became a link loop after it was opened.
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(rmdir((hive + "/Gone").c_str()), 0);
    ASSERT_EQ(symlink("Gone", (hive + "/Gone").c_str()), 0);
    EXPECT_NE(
        RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
        ERROR_SUCCESS);
    EXPECT_EQ(queryString(key, "Path"), "<missing>");
    EXPECT_EQ(RegDeleteTreeA(key, nullptr), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    // Deleting the parent takes the links with it, without following them.
    EXPECT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE"), ERROR_SUCCESS);
    struct stat st {};
    EXPECT_NE(lstat(hive.c_str(), &st), 0);
}

} // namespace

namespace {

TEST_F(RegistryTest, SubkeysAreEnumeratedInNameOrderWithoutRegardToCase) {
    for (const char* k : {"SOFTWARE\\Effects\\beta\\Properties", "SOFTWARE\\Effects\\Alpha",
                          "SOFTWARE\\Effects\\gamma"}) {
        RegCloseKey(create(HKEY_LOCAL_MACHINE, k));
    }
    HKEY parent = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Effects");
    RegSetValueExA(parent, "value", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    std::vector<std::string> names;
    char name[64];
    DWORD size = sizeof name;
    for (DWORD i = 0;
         RegEnumKeyExA(parent, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof name) {
        EXPECT_EQ(size, std::string(name).size());
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "gamma"})); // values are not keys
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(parent, 3, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    size = 5; // "Alpha" and its NUL need 6
    EXPECT_EQ(RegEnumKeyExA(parent, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    RegCloseKey(parent);
    HKEY valuesOnly = nullptr;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Effects", 0, KEY_QUERY_VALUE, &valuesOnly),
        ERROR_SUCCESS);
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(valuesOnly, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
    RegCloseKey(valuesOnly);
}

} // namespace
