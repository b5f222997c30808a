#include "game/menu/MenuInput.h"
#include "game/shell/Controls.h"
#include "game/shell/GameWindow.h"
#include "game/shell/SceneDirector.h"
#include "game/shell/ViewSetup.h"
#include "platform/window/Cursor.h"
#include "platform/window/VirtualKeys.h"
#include "platform/window/Window.h"

namespace {

IMenuInput* menu() {
    return sceneDirector != nullptr ? &sceneDirector->menuInput() : nullptr;
}

WindowRecord* recordOf(HWND window) {
    return reinterpret_cast<WindowRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void setKey(HWND window, WPARAM key, bool down) {
    WindowRecord* record = recordOf(window);
    if (record != nullptr && record->keyTable != nullptr) {
        record->keyTable->keys[key] = down ? TRUE : FALSE;
    }
    controls->setKeyDown(static_cast<unsigned>(key), down);
}

int pointerX(LPARAM l) {
    return LOWORD(static_cast<uintptr_t>(l));
}
int pointerY(LPARAM l) {
    return HIWORD(static_cast<uintptr_t>(l));
}

} // namespace

LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        return 0;
    }
    case WM_SIZE: {
        WindowRecord* record = recordOf(window);
        if (wParam == SIZE_MINIMIZED) {
            if (record != nullptr) {
                record->visible = FALSE;
            }
            return 0;
        }
        if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
            if (record != nullptr) {
                record->visible = TRUE;
            }
            reshapeView(LOWORD(static_cast<uintptr_t>(lParam)),
                        HIWORD(static_cast<uintptr_t>(lParam)));
            return 0;
        }
        break;
    }
    case WM_CLOSE: {
        if (askExitQuestion(window)) {
            WindowRecord* record = recordOf(window);
            if (record != nullptr) {
                requestQuit(record);
            }
        }
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER) {
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (wParam > 255) {
            break;
        }
        setKey(window, wParam, true);
        if (wParam == VK_F1 && menu() != nullptr) {
            menu()->open();
        }
        if (wParam == VK_F2) {
            showFps = !showFps;
        }
        if (wParam == VK_F11) {
            // The projection follows through the WM_SIZE the change sends.
            plat::setFullScreen(window, !plat::isFullScreen(window));
        }
        return 0;
    case WM_KEYUP:
        if (wParam > 255) {
            break;
        }
        setKey(window, wParam, false);
        return 0;
    case WM_MOUSEMOVE:
        if (menu() != nullptr) {
            menu()->pointerTest(pointerX(lParam), pointerY(lParam));
        }
        return 0;
    case WM_LBUTTONDOWN:
        if (menu() != nullptr) {
            menu()->pointerTest(pointerX(lParam), pointerY(lParam));
            menu()->setClicked();
        }
        SetCapture(window);
        break;
    case WM_LBUTTONUP:
        ReleaseCapture();
        if (menu() != nullptr) {
            menu()->buttonReleased();
        }
        break;
    case WM_SETCURSOR: {
        int state = menu() != nullptr ? menu()->cursorState() : 0;
        bool hand = state == 1 || state == 3;
        SetCursor(LoadCursorA(nullptr, hand ? IDC_HAND : IDC_ARROW));
        if (menu() != nullptr) {
            menu()->setCursorState(hand ? 1 : 0);
        }
        return 1;
    }
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
