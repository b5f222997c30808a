#include "nowpane/ModalDialog.h"

#include "platform/window/Window.h"

#include <chrono>
#include <thread>

ModalDialog::ModalDialog(const nowpane::DialogTemplate& dialog) {
    for (const nowpane::DialogControl& c : dialog.controls) {
        controls[c.id] = {nowpane::dialogUnitsToPixels(c.x, c.y, c.cx, c.cy), true};
    }
}

int ModalDialog::run(CMainDlg& dlg) {
    dlg.onInitDialog(*this);
    while (!ended) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (msg.message == WM_QUIT) {
            result = static_cast<int>(msg.wParam);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    dlg.onDestroy();
    return result;
}

bool ModalDialog::enabled(int id) const {
    auto it = controls.find(id);
    return it != controls.end() && it->second.enabled;
}

bool ModalDialog::controlRect(int id, RECT* rect) {
    auto it = controls.find(id);
    if (it == controls.end() || rect == nullptr) {
        return false;
    }
    *rect = it->second.rect;
    return true;
}

IAxWinHostWindow* ModalDialog::createHostWindow(const RECT& rect) {
    return CAxHostWindow::create(rect);
}

void ModalDialog::enableControl(int id, bool enable) {
    auto it = controls.find(id);
    if (it != controls.end()) {
        it->second.enabled = enable;
    }
}

void ModalDialog::endDialog(int code) {
    ended = true;
    result = code;
}

void ModalDialog::postQuit() {
    PostQuitMessage(0);
}
