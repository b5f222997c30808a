// File layout behind the registry: <root>/<hive>/<key>/<subkey>/..., one folder a key, and in
// each key folder a file ".values" with one line per value: hex(name) type hex(bytes), where
// an empty name or empty data is written as "-". The file is replaced atomically on change.
#pragma once

#include "platform/base/WinTypes.h"

#include <string>

namespace plat {

struct RegValue {
    DWORD type = 0;
    std::string bytes;
};

// Folder of a predefined root ("HKEY_LOCAL_MACHINE"); empty when no root can be found.
std::string hiveFolder(const char* hive);

// Walks a backslash-separated key path below base, matching each name without regard to
// case; with create, makes the missing keys. False when a key is missing (or cannot be made).
bool resolveKeyFolder(const std::string& base, const std::string& subKey, bool create,
                      std::string* folder, bool* created);

bool loadValue(const std::string& folder, const std::string& name, RegValue* value);
// Stores the value; a null value deletes it.
bool storeValue(const std::string& folder, const std::string& name, const RegValue* value);

// Removes a key folder with everything below it; with whole false only its contents.
bool removeKeyFolder(const std::string& folder, bool whole);

} // namespace plat
