#include "platform/registry/Registry.h"

#include "platform/registry/RegistryStore.h"

#include <cstring>
#include <exception>
#include <filesystem>
#include <new>

struct HKEY__ {
    std::string folder;
    REGSAM access;
};

namespace {

bool isPredefined(HKEY key) {
    return key == HKEY_CLASSES_ROOT || key == HKEY_LOCAL_MACHINE;
}

// Folder of an open or predefined key; empty for an invalid handle.
std::string keyFolder(HKEY key) {
    if (key == HKEY_CLASSES_ROOT) {
        return plat::hiveFolder("HKEY_CLASSES_ROOT");
    }
    if (key == HKEY_LOCAL_MACHINE) {
        return plat::hiveFolder("HKEY_LOCAL_MACHINE");
    }
    return key == nullptr ? std::string() : key->folder;
}

REGSAM keyAccess(HKEY key) {
    return isPredefined(key) ? KEY_ALL_ACCESS : key->access;
}

// Folder of a key whose handle grants the access needed; ERROR_SUCCESS or the error.
LONG valueFolder(HKEY key, REGSAM needed, std::string* folder) {
    *folder = keyFolder(key);
    if (folder->empty()) {
        return ERROR_INVALID_HANDLE;
    }
    return (keyAccess(key) & needed) == 0 ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

// Runs a registry operation; trouble in the folders behind the keys (an entry that cannot be
// examined, no memory) becomes an error code, never an exception.
template <class Body> LONG guarded(Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (const std::exception&) {
        return ERROR_ACCESS_DENIED;
    }
}

LONG openOrCreate(HKEY key, LPCSTR subKey, REGSAM access, bool create, HKEY* result,
                  DWORD* disposition) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    std::string base = keyFolder(key);
    if (base.empty()) {
        return ERROR_INVALID_HANDLE;
    }
    bool created = false;
    std::string folder;
    if (!plat::resolveKeyFolder(base, subKey ? subKey : "", create, &folder, &created)) {
        return create ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
    }
    if (disposition != nullptr) {
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    *result = new (std::nothrow) HKEY__{folder, access};
    return *result ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

} // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, HKEY* result) {
    return guarded(
        [&]() -> LONG { return openOrCreate(key, subKey, access, false, result, nullptr); });
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access, void*,
                     HKEY* result, DWORD* disposition) {
    return guarded(
        [&]() -> LONG { return openOrCreate(key, subKey, access, true, result, disposition); });
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
    return guarded([&]() -> LONG {
        std::string folder;
        if (LONG error = valueFolder(key, KEY_SET_VALUE, &folder)) {
            return error;
        }
        if (data == nullptr && size != 0) {
            return ERROR_INVALID_PARAMETER;
        }
        plat::RegValue v{type, std::string(data ? reinterpret_cast<const char*>(data) : "", size)};
        return plat::storeValue(folder, valueName ? valueName : "", &v) ? ERROR_SUCCESS
                                                                        : ERROR_ACCESS_DENIED;
    });
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
    return guarded([&]() -> LONG {
        std::string folder;
        if (LONG error = valueFolder(key, KEY_QUERY_VALUE, &folder)) {
            return error;
        }
        plat::RegValue v;
        if (!plat::loadValue(folder, valueName ? valueName : "", &v)) {
            return ERROR_FILE_NOT_FOUND;
        }
        if (type != nullptr) {
            *type = v.type;
        }
        if (data != nullptr) {
            if (size == nullptr) {
                return ERROR_INVALID_PARAMETER;
            }
            if (*size < v.bytes.size()) {
                *size = static_cast<DWORD>(v.bytes.size());
                return ERROR_MORE_DATA;
            }
            std::memcpy(data, v.bytes.data(), v.bytes.size());
        }
        if (size != nullptr) {
            *size = static_cast<DWORD>(v.bytes.size());
        }
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
    return guarded([&]() -> LONG {
        std::string folder;
        if (LONG error = valueFolder(key, KEY_SET_VALUE, &folder)) {
            return error;
        }
        plat::RegValue v;
        if (!plat::loadValue(folder, valueName ? valueName : "", &v)) {
            return ERROR_FILE_NOT_FOUND;
        }
        return plat::storeValue(folder, valueName ? valueName : "", nullptr) ? ERROR_SUCCESS
                                                                             : ERROR_ACCESS_DENIED;
    });
}

LONG RegDeleteTreeA(HKEY key, LPCSTR subKey) {
    return guarded([&]() -> LONG {
        std::string base = keyFolder(key);
        if (base.empty()) {
            return ERROR_INVALID_HANDLE;
        }
        std::string folder;
        bool created = false;
        if (!plat::resolveKeyFolder(base, subKey ? subKey : "", false, &folder, &created)) {
            return ERROR_FILE_NOT_FOUND;
        }
        bool whole = subKey != nullptr && *subKey != '\0';
        return plat::removeKeyFolder(folder, whole) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    });
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    return guarded([&]() -> LONG {
        std::string base = keyFolder(key);
        if (base.empty()) {
            return ERROR_INVALID_HANDLE;
        }
        if (subKey == nullptr || *subKey == '\0') {
            return ERROR_INVALID_PARAMETER;
        }
        std::string folder;
        bool created = false;
        if (!plat::resolveKeyFolder(base, subKey, false, &folder, &created)) {
            return ERROR_FILE_NOT_FOUND;
        }
        std::error_code ec;
        for (const std::filesystem::directory_entry& e :
             std::filesystem::directory_iterator(folder, ec)) {
            if (e.is_directory(ec)) {
                return ERROR_ACCESS_DENIED;
            }
        }
        return plat::removeKeyFolder(folder, true) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    });
}

LONG RegCloseKey(HKEY key) {
    if (key == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (!isPredefined(key)) {
        delete key;
    }
    return ERROR_SUCCESS;
}
