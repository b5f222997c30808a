#include "game/shell/FatalError.h"
#include "game/shell/GameWindow.h"
#include "game/shell/SceneDirector.h"
#include "game/shell/StartPicture.h"
#include "game/shell/ViewSetup.h"
#include "platform/registry/Registry.h"
#include "platform/shell/Shell.h"
#include "platform/window/Entry.h"
#include "platform/window/GLContext.h"
#include "platform/window/MessageBox.h"
#include "platform/window/Window.h"

#include <cstring>

namespace {

constexpr const char* kInstallKey = "SOFTWARE\\Brightfold Software\\Tonecrest 2.0";
constexpr DWORD kPathBufferSize = 349;
// A window that cannot be created ends the run as a failure.
constexpr int kNoWindowExitCode = 1;

// Records the game's folder for the player plug-in, only where the key exists already.
void writeExePath() {
    char path[kPathBufferSize] = {};
    DWORD length = GetCurrentDirectoryA(kPathBufferSize, path);
    if (length == 0 || length >= kPathBufferSize) {
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_READ | KEY_WRITE, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, "ExePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                   static_cast<DWORD>(std::strlen(path) + 1));
    RegCloseKey(key);
}

// Pumps messages until WM_QUIT; with an empty queue, runs one frame. The first frame drawn is
// kept for the next start's picture.
void pumpMessages(KeyDownTable* keys, CStartPicture* startPicture) {
    MSG msg{};
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            confirmExitOnEscape(&windowRecord, keys);
            sceneDirector->frame();
            startPicture->keepFirstFrame();
            SwapBuffers(windowRecord.deviceContext);
        }
    }
}

} // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // A first start decodes the splash's backdrop while the window's settings are read.
    CBackdropAhead backdrop;
    KeyDownTable keys{};
    AppInstanceInfo appInfo{};
    int exitCode = 0;

    prepareWindowRecord(&keys, &appInfo, instance);
    backdrop.stretchTo(windowRecord.setup.width, windowRecord.setup.height);
    writeExePath();

    if (!registerWindowClass(&appInfo)) {
        MessageBoxA(nullptr, "Error Registering Window Class!", "Error",
                    MB_OK | MB_ICONEXCLAMATION);
        return -1;
    }

    // The last start's first frame (or the splash's backdrop), on the screen while the GL
    // window is made.
    CStartPicture startPicture(windowRecord.setup.width, windowRecord.setup.height);
    startPicture.show(0, 0, &backdrop);

    sceneDirector = new CSceneDirector;
    programLooping = TRUE;

    runGuarded([&] {
        while (programLooping && sceneDirector != nullptr) {
            if (!createGameWindow(&windowRecord)) {
                MessageBoxA(nullptr, "Error Creating OpenGL Window", "Error",
                            MB_OK | MB_ICONEXCLAMATION);
                programLooping = FALSE;
                exitCode = kNoWindowExitCode;
                break;
            }
            mainWindowHandle = windowRecord.window;
            RECT client{};
            GetClientRect(windowRecord.window, &client);
            reshapeView(client.right - client.left, client.bottom - client.top);
            sceneDirector->initialize(CSceneDirector::WorldBuild::WhileSplashShows);
            pumpMessages(&keys, &startPicture);
            delete sceneDirector;
            sceneDirector = nullptr;
            destroyGameWindow(&windowRecord);
            mainWindowHandle = nullptr;
        }
    });

    delete sceneDirector;
    sceneDirector = nullptr;
    UnregisterClassA(kWindowClassName, instance);
    return exitCode;
}
