#include "platform/com/Com.h"

#include "platform/module/Module.h"
#include "platform/registry/Registry.h"

#include <mutex>
#include <string>
#include <vector>

namespace {

struct ServerLibrary {
    std::string path;
    HMODULE module;
    LPFNGETCLASSOBJECT getClassObject;
    LPFNCANUNLOADNOW canUnloadNow;
};

std::mutex& librariesLock() {
    static std::mutex m;
    return m;
}

std::vector<ServerLibrary>& libraries() {
    static std::vector<ServerLibrary> list;
    return list;
}

template <class F> F procOf(HMODULE module, const char* name) {
    return reinterpret_cast<F>(GetProcAddress(module, name));
}

// The loaded library of that path, loading it when needed.
HRESULT serverLibrary(const std::string& path, ServerLibrary* out) {
    std::lock_guard<std::mutex> lock(librariesLock());
    for (const ServerLibrary& lib : libraries()) {
        if (lib.path == path) {
            *out = lib;
            return S_OK;
        }
    }
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        return HRESULT_FROM_WIN32(static_cast<LONG>(GetLastError()));
    }
    ServerLibrary lib{path, module, procOf<LPFNGETCLASSOBJECT>(module, "DllGetClassObject"),
                      procOf<LPFNCANUNLOADNOW>(module, "DllCanUnloadNow")};
    if (lib.getClassObject == nullptr) {
        FreeLibrary(module);
        return CO_E_ERRORINDLL;
    }
    libraries().push_back(lib);
    *out = lib;
    return S_OK;
}

} // namespace

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (plat::comInitCount() == 0) {
        return CO_E_NOTINITIALIZED;
    }
    if ((context & CLSCTX_INPROC_SERVER) == 0) {
        return REGDB_E_CLASSNOTREG;
    }
    std::string path;
    HRESULT hr = plat::classServerPath(clsid, &path);
    if (FAILED(hr)) {
        return hr;
    }
    ServerLibrary lib{};
    hr = serverLibrary(path, &lib);
    if (FAILED(hr)) {
        return hr;
    }
    hr = lib.getClassObject(clsid, riid, object);
    if (FAILED(hr)) {
        *object = nullptr;
    }
    return hr;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid,
                         void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) {
        return hr;
    }
    if (factory == nullptr) {
        return E_UNEXPECTED;
    }
    hr = factory->CreateInstance(outer, riid, object);
    factory->Release();
    if (FAILED(hr)) {
        *object = nullptr;
    }
    return hr;
}

void CoFreeUnusedLibraries() {
    std::lock_guard<std::mutex> lock(librariesLock());
    std::vector<ServerLibrary>& list = libraries();
    for (size_t i = 0; i < list.size();) {
        if (list[i].canUnloadNow != nullptr && list[i].canUnloadNow() == S_OK) {
            FreeLibrary(list[i].module);
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

namespace plat {
int comLoadedLibraryCount() {
    std::lock_guard<std::mutex> lock(librariesLock());
    return static_cast<int>(libraries().size());
}
} // namespace plat

HRESULT plat::classServerPath(REFCLSID clsid, std::string* path) {
    std::string key = "CLSID\\" + plat::guidToString(clsid) + "\\InprocServer32";
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) {
        return REGDB_E_CLASSNOTREG;
    }
    char buffer[4096];
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(k, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS || type != REG_SZ || size == 0) {
        return REGDB_E_CLASSNOTREG;
    }
    buffer[size] = '\0';
    *path = buffer;
    return path->empty() ? REGDB_E_CLASSNOTREG : S_OK;
}
