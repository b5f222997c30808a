#include "plugin/CWavetap1.h"

#include "platform/registry/Registry.h"
#include "platform/shell/Shell.h"
#include "platform/window/MessageBox.h"
#include "platform/window/Window.h"

#include <string>

namespace {

// The "Click Here" text, both edges included, in client coordinates.
constexpr unsigned kHotLeft = 9;
constexpr unsigned kHotRight = 80;
constexpr unsigned kHotTop = 128;
constexpr unsigned kHotBottom = 145;

constexpr const char* kGameKey = "SOFTWARE\\Brightfold Software\\Tonecrest 2.0";
// Room for any Linux folder (a 99-byte buffer would refuse ordinary install folders).
constexpr DWORD kExePathBytes = 4096;

bool inHotArea(LPARAM position) {
    unsigned x = LOWORD(static_cast<uintptr_t>(position));
    unsigned y = HIWORD(static_cast<uintptr_t>(position));
    return x >= kHotLeft && x <= kHotRight && y >= kHotTop && y <= kHotBottom;
}

} // namespace

HRESULT CWavetap1::OnWindowMessage(UINT message, WPARAM, LPARAM lParam, LRESULT*) {
    bool inside = inHotArea(lParam);
    if (message == WM_LBUTTONDOWN && inside) {
        launchGame();
    } else if (message == WM_MOUSEMOVE) {
        if (inside && !hotAreaCaptured) {
            hotAreaCaptured = true;
            SetCapture(window);
            savedCursor = GetCursor();
            handCursor = LoadCursorA(nullptr, IDC_HAND);
            SetCursor(handCursor);
        } else if (!inside && hotAreaCaptured) {
            hotAreaCaptured = false;
            SetCursor(savedCursor);
            ReleaseCapture();
        }
    }
    // The player handles every message as well.
    return S_FALSE;
}

void CWavetap1::launchGame() {
    // The folder the game recorded at its last start; empty when it never ran.
    char exePath[kExePathBytes] = {};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0,
                      KEY_QUERY_VALUE | KEY_CREATE_SUB_KEY | KEY_SET_VALUE,
                      &key) == ERROR_SUCCESS) {
        DWORD type = 0;
        DWORD size = kExePathBytes;
        if (RegQueryValueExA(key, "ExePath", nullptr, &type, reinterpret_cast<BYTE*>(exePath),
                             &size) != ERROR_SUCCESS ||
            type != REG_SZ) {
            exePath[0] = '\0';
        }
        exePath[kExePathBytes - 1] = '\0';
    }

    // Backslashes are written twice; the platform's path mapping makes each a slash, and a
    // doubled slash names the same folder.
    std::string path;
    for (const char* p = exePath; *p != '\0'; ++p) {
        path += *p;
        if (*p == '\\') {
            path += '\\';
        }
    }
    SetCurrentDirectoryA(path.c_str());
    path += "\\Tonecrest.exe";

    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_DEFAULT;
    info.hwnd = window;
    info.lpVerb = "open";
    info.lpFile = path.c_str();
    info.lpParameters = "wmp";
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) {
        MessageBoxA(window, "Note: Must Run Tone Crest 2.0 Once For This Link To Work",
                    "Tone Crest 2.0", MB_OK);
    }
    if (key != nullptr) {
        RegCloseKey(key);
    }
}
