#include "platform/com/TypeLib.h"

#include "platform/registry/Registry.h"

#include <cstdio>

namespace plat {
namespace {

// The proxy of automation-compatible interfaces.
const char kAutomationMarshaller[] = "{00020424-0000-0000-C000-000000000046}";

std::string versionText(WORD major, WORD minor) {
    char text[32];
    std::snprintf(text, sizeof text, "%x.%x", major, minor);
    return text;
}

std::string libKey(REFGUID libid) {
    return "TypeLib\\" + guidToString(libid);
}

bool setString(const std::string& key, const char* name, const std::string& value) {
    HKEY k = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    LONG rc = RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
    return rc == ERROR_SUCCESS;
}

} // namespace

HRESULT registerTypeLib(const TypeLibDescription& lib, const std::string& modulePath) {
    std::string versionKey = libKey(lib.libid) + "\\" + versionText(lib.major, lib.minor);
    size_t slash = modulePath.find_last_of('/');
    std::string folder =
        slash == std::string::npos ? std::string(".") : modulePath.substr(0, slash);
    bool ok = setString(versionKey, nullptr, lib.helpText) &&
              setString(versionKey + "\\0\\linux", nullptr, modulePath) &&
              setString(versionKey + "\\FLAGS", nullptr, "0") &&
              setString(versionKey + "\\HELPDIR", nullptr, folder);
    for (const TypeLibInterface& i : lib.interfaces) {
        std::string key = "Interface\\" + guidToString(i.iid);
        ok = ok && setString(key, nullptr, i.name) &&
             setString(key + "\\ProxyStubClsid32", nullptr, kAutomationMarshaller) &&
             setString(key + "\\TypeLib", nullptr, guidToString(lib.libid)) &&
             setString(key + "\\TypeLib", "Version", versionText(lib.major, lib.minor));
    }
    return ok ? S_OK : TYPE_E_REGISTRYACCESS;
}

HRESULT unregisterTypeLib(const TypeLibDescription& lib) {
    std::string key = libKey(lib.libid);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, (key + "\\" + versionText(lib.major, lib.minor)).c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str()); // stays while other versions remain
    for (const TypeLibInterface& i : lib.interfaces) {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ("Interface\\" + guidToString(i.iid)).c_str());
    }
    return S_OK;
}

HRESULT queryTypeLibPath(REFGUID libid, WORD major, WORD minor, std::string* path) {
    std::string key = libKey(libid) + "\\" + versionText(major, minor) + "\\0\\linux";
    HKEY k = nullptr;
    if (path == nullptr ||
        RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) {
        return TYPE_E_LIBNOTREGISTERED;
    }
    char buffer[4096];
    DWORD size = sizeof buffer - 1;
    LONG rc =
        RegQueryValueExA(k, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) {
        return TYPE_E_LIBNOTREGISTERED;
    }
    buffer[size] = '\0';
    *path = buffer;
    return S_OK;
}

} // namespace plat
