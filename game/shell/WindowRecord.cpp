#include "game/shell/WindowRecord.h"

#include "platform/window/MessageBox.h"
#include "platform/window/VirtualKeys.h"
#include "platform/window/Window.h"

#include <cstring>

WindowRecord windowRecord = {};
char titleText[256] = {};
BOOL programLooping = FALSE;
HWND mainWindowHandle = nullptr;
HINSTANCE appInstance = nullptr;
CSceneDirector* sceneDirector = nullptr;

void requestQuit(WindowRecord* record) {
    PostMessageA(record->window, WM_QUIT, 0, 0);
    programLooping = FALSE;
}

bool askExitQuestion(HWND owner) {
    return MessageBoxA(owner, "Do You Want To Exit Tone Crest?", "Tone Crest",
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void prepareWindowRecord(KeyDownTable* keys, AppInstanceInfo* appInfo, HINSTANCE instance) {
    std::memset(&windowRecord, 0, sizeof windowRecord);
    std::strncpy(titleText, kGameTitle, sizeof titleText - 1);
    appInfo->instance = instance;
    appInfo->className = kWindowClassName;
    appInstance = instance;
    windowRecord.keyTable = keys;
    windowRecord.setup.title = titleText;
    windowRecord.setup.appInfo = appInfo;
    windowRecord.setup.width = kClientWidth;
    windowRecord.setup.height = kClientHeight;
    windowRecord.setup.bitsPerPixel = kBitsPerPixel;
}

void confirmExitOnEscape(WindowRecord* record, KeyDownTable* keys) {
    if (keys->keys[VK_ESCAPE]) {
        if (askExitQuestion(mainWindowHandle)) {
            requestQuit(record);
        }
    }
    keys->keys[VK_ESCAPE] = FALSE;
}
