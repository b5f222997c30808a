#include "platform/com/Registrar.h"

#include "platform/com/RegistryScript.h"
#include "platform/registry/Registry.h"

#include <vector>

namespace plat {
namespace {

std::string childPath(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "\\" + name;
}

bool registerKey(HKEY root, const std::string& parent, const ScriptKey& key, std::string* error) {
    std::string path = childPath(parent, key.name);
    if (key.flag == ScriptKey::Flag::Delete) {
        RegDeleteTreeA(root, path.c_str());
        return true;
    }
    if (key.flag == ScriptKey::Flag::ForceRemove) {
        RegDeleteTreeA(root, path.c_str());
    }
    HKEY k = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &k, nullptr) != ERROR_SUCCESS) {
        *error = "cannot create key " + path;
        return false;
    }
    for (const ScriptValue& v : key.values) {
        std::string data = v.data;
        DWORD size = static_cast<DWORD>(data.size());
        if (v.type == REG_SZ) {
            ++size; // with its NUL
        }
        if (RegSetValueExA(k, v.name.c_str(), 0, v.type,
                           reinterpret_cast<const BYTE*>(data.c_str()), size) != ERROR_SUCCESS) {
            RegCloseKey(k);
            *error = "cannot set value '" + v.name + "' of " + path;
            return false;
        }
    }
    RegCloseKey(k);
    for (const ScriptKey& sub : key.subkeys) {
        if (!registerKey(root, path, sub, error)) {
            return false;
        }
    }
    return true;
}

void unregisterKey(HKEY root, const std::string& parent, const ScriptKey& key) {
    std::string path = childPath(parent, key.name);
    switch (key.flag) {
    case ScriptKey::Flag::ForceRemove:
        RegDeleteTreeA(root, path.c_str());
        return;
    case ScriptKey::Flag::Delete:
        return;
    default:
        break;
    }
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
        return;
    }
    RegCloseKey(k);
    for (const ScriptKey& sub : key.subkeys) {
        unregisterKey(root, path, sub);
    }
    if (key.flag != ScriptKey::Flag::NoRemove) {
        RegDeleteKeyA(root, path.c_str()); // refused while other subkeys remain
    }
}

} // namespace

void Registrar::addReplacement(const std::string& name, const std::string& value) {
    replacements[name] = value;
}

HRESULT Registrar::registerScript(const std::string& script) {
    return apply(script, true);
}

HRESULT Registrar::unregisterScript(const std::string& script) {
    return apply(script, false);
}

HRESULT Registrar::apply(const std::string& script, bool registering) {
    error.clear();
    std::vector<ScriptRoot> roots;
    if (!parseRegistryScript(script, replacements, &roots, &error)) {
        return E_INVALIDARG;
    }
    for (const ScriptRoot& r : roots) {
        for (const ScriptKey& key : r.keys) {
            if (registering) {
                if (!registerKey(r.root, "", key, &error)) {
                    return REGDB_E_WRITEREGDB;
                }
            } else {
                unregisterKey(r.root, "", key);
            }
        }
    }
    return S_OK;
}

} // namespace plat
