// regsvr32 [/s] [/u] LIB: loads the library and calls its DllRegisterServer (or, with /u, its
// DllUnregisterServer). Every outcome is shown in a message box unless /s is given; the exit
// code tells a script what happened:
//   0 done, 1 bad command line, 2 COM could not start, 3 the library did not load,
//   4 it has no such entry point, 5 the entry point reported failure.
#include "platform/com/Com.h"
#include "platform/module/Module.h"
#include "platform/window/MessageBox.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

namespace {

enum ExitCode { kDone = 0, kBadArgs = 1, kNoCom = 2, kNoLoad = 3, kNoEntry = 4, kFailed = 5 };

const char kCaption[] = "RegSvr32";
const char kUsage[] = "Usage: regsvr32 [/s] [/u] LIB\n\n"
                      "/s  silent: show no message box\n"
                      "/u  unregister the library instead of registering it";

struct Options {
    bool silent = false;
    bool unregister = false;
    std::string library;
};

bool isSwitch(const char* arg, const char* letter) {
    return (arg[0] == '/' || arg[0] == '-') && strcasecmp(arg + 1, letter) == 0;
}

bool parse(int argc, char** argv, Options* out) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (isSwitch(arg, "s")) {
            out->silent = true;
        } else if (isSwitch(arg, "u")) {
            out->unregister = true;
        } else if (arg[0] == '-' || (arg[0] == '/' && std::strchr(arg + 1, '/') == nullptr)) {
            // An unknown switch; an absolute path (/folder/lib.so) is the library.
            return false;
        } else if (out->library.empty() && arg[0] != '\0') {
            out->library = arg;
        } else {
            return false;
        }
    }
    return !out->library.empty();
}

int report(const Options& o, int code, const std::string& text) {
    if (!o.silent) {
        MessageBoxA(nullptr, text.c_str(), kCaption,
                    MB_OK | (code == kDone ? MB_ICONINFORMATION : MB_ICONERROR));
    } else if (code != kDone) {
        std::fprintf(stderr, "regsvr32: %s\n", text.c_str());
    }
    return code;
}

std::string hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, &o)) {
        return report(o, kBadArgs, kUsage);
    }
    if (FAILED(CoInitialize(nullptr))) {
        return report(o, kNoCom, "COM could not be started.");
    }
    const char* entry = o.unregister ? "DllUnregisterServer" : "DllRegisterServer";
    int code = kDone;
    HMODULE library = LoadLibraryA(o.library.c_str());
    if (library == nullptr) {
        DWORD error = GetLastError();
        code = report(o, kNoLoad,
                      "The module \"" + o.library + "\" failed to load.\n\n" +
                          (error == static_cast<DWORD>(ERROR_MOD_NOT_FOUND)
                               ? "The specified module could not be found."
                               : "It is not a library this system can load."));
    } else {
        using Entry = HRESULT (*)();
        auto call = reinterpret_cast<Entry>(GetProcAddress(library, entry));
        if (call == nullptr) {
            code = report(o, kNoEntry,
                          "The module \"" + o.library + "\" was loaded but the entry-point " +
                              entry + " was not found.");
        } else {
            HRESULT hr = call();
            code = FAILED(hr)
                       ? report(o, kFailed,
                                "The module \"" + o.library + "\" was loaded but the call to " +
                                    entry + " failed with error code " + hex(hr) + ".")
                       : report(o, kDone, std::string(entry) + " in " + o.library + " succeeded.");
        }
        FreeLibrary(library);
    }
    CoUninitialize();
    return code;
}
