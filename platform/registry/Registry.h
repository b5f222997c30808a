// Hierarchical registry keys with string and binary values, under the two predefined roots
// the system uses. Keys are folders below one root folder; each key keeps its values in one
// file. Key and value names compare without regard to letter case, as on Windows.
#pragma once

#include "platform/base/WinTypes.h"

#include <string>

using REGSAM = DWORD;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens an existing key; never creates one. ERROR_FILE_NOT_FOUND when any part is missing.
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result);
// Opens the key, creating it and every missing parent first.
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM access, void* security, HKEY* result, DWORD* disposition);
// Stores a value (null or "" name = the key's default value). Needs KEY_SET_VALUE.
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);
// Reads a value. With data null only the size is reported. A buffer smaller than the value
// gives ERROR_MORE_DATA with *size set to the size needed and the buffer left unchanged.
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* size);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
// Deletes the subkey (or, with a null subkey, everything below the key) with all its subkeys.
LONG RegDeleteTreeA(HKEY key, LPCSTR subKey);
// Deletes the subkey with its values; ERROR_ACCESS_DENIED (and nothing deleted) while it has
// subkeys of its own.
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
LONG RegCloseKey(HKEY key);

namespace plat {

// The folder that holds the registry. Defaults to $XDG_CONFIG_HOME/tonecrest/registry, else
// ~/.config/tonecrest/registry. Tests point it at a folder of their own.
void setRegistryRoot(const std::string& folder);
std::string registryRoot();

} // namespace plat
