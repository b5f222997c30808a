#include "player/host/ControlRegistration.h"

#include "platform/com/Com.h"
#include "platform/media/Player.h"
#include "platform/module/Module.h"

#include <filesystem>

namespace {

// Whether the library loads and offers class objects: a registration naming anything else
// (a missing file, a text file, a library of something else) leaves NowPane without a control.
bool loadsAsComServer(const std::string& library) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(library, ignored)) {
        return false;
    }
    HMODULE module = LoadLibraryA(library.c_str());
    if (module == nullptr) {
        return false;
    }
    bool offers = GetProcAddress(module, "DllGetClassObject") != nullptr;
    FreeLibrary(module);
    return offers;
}

} // namespace

bool ensurePlayerControlRegistered(const std::string& library, std::string& error) {
    std::string current;
    if (plat::classServerPath(CLSID_WindowsMediaPlayer, &current) == S_OK &&
        loadsAsComServer(current)) {
        return true;
    }
    HMODULE module = LoadLibraryA(library.c_str());
    if (module == nullptr) {
        error = "cannot load the player control " + library;
        return false;
    }
    auto registerServer =
        reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllRegisterServer"));
    HRESULT hr = registerServer != nullptr ? registerServer() : E_FAIL;
    FreeLibrary(module);
    if (hr < 0) {
        error = "cannot register the player control " + library;
        return false;
    }
    return true;
}

std::string playerControlBesideProgram() {
    char self[4096] = "";
    if (GetModuleFileNameA(nullptr, self, sizeof self) == 0) {
        return "tcplayerctl.so";
    }
    return (std::filesystem::path(self).parent_path() / "tcplayerctl.so").string();
}
