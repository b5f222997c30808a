#include "platform/help/HtmlHelp.h"

#include "platform/base/PathMap.h"
#include "platform/registry/Registry.h"
#include "platform/shell/Shell.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

std::string viewer;

bool isExecutable(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string registeredViewer() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHtmlHelpServerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::string();
    }
    char path[1024] = {};
    DWORD size = sizeof path - 1;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ) {
        return std::string();
    }
    std::string p = plat::mapPath(path);
    return isExecutable(p) ? p : std::string();
}

std::string opener() {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? end : end - start);
        if (!dir.empty() && isExecutable(dir + "/xdg-open")) {
            return dir + "/xdg-open";
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return std::string();
}

HWND openHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR) {
    if (viewer.empty() || (command != HH_DISPLAY_TOC && command != HH_DISPLAY_TOPIC)) {
        return nullptr;
    }
    std::string pages = plat::helpPagesFor(file);
    if (pages.empty()) {
        return nullptr;
    }
    std::string quoted = "\"" + pages + "\"";
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = caller;
    info.lpVerb = "open";
    info.lpFile = viewer.c_str();
    info.lpParameters = quoted.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) {
        return nullptr;
    }
    // Stands for the help window; the caller only tests it against null.
    return caller != nullptr ? caller : reinterpret_cast<HWND>(static_cast<uintptr_t>(1));
}

} // namespace

namespace plat {

HTMLHELPPROC loadHtmlHelp() {
    viewer = registeredViewer();
    if (viewer.empty()) {
        viewer = opener();
    }
    return viewer.empty() ? nullptr : &openHelp;
}

std::string helpPagesFor(const char* file) {
    if (file == nullptr || *file == '\0') {
        return std::string();
    }
    std::string path = mapPath(file);
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string index = folder + "help/index.html";
    char* resolved = realpath(index.c_str(), nullptr);
    if (resolved == nullptr) {
        return std::string();
    }
    std::string out = resolved;
    std::free(resolved);
    struct stat st {};
    return stat(out.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? out : std::string();
}

} // namespace plat
