// The game's window record and the globals of the entry loop.
#pragma once

#include "platform/base/WinTypes.h"

struct AppInstanceInfo {
    HINSTANCE instance;
    const char* className;
};

// Down state of every virtual key, indexed by key code.
struct KeyDownTable {
    BOOL keys[256];
};

struct WindowSetup {
    AppInstanceInfo* appInfo;
    char* title;
    int width;
    int height;
    int bitsPerPixel;
};

struct WindowRecord {
    KeyDownTable* keyTable;
    HWND window;
    HDC deviceContext;
    HGLRC renderContext;
    WindowSetup setup;
    BOOL visible;
    DWORD createdTicks;
};

class CSceneDirector;

extern WindowRecord windowRecord;
// "Tone Crest!  ": the window title.
extern char titleText[256];
extern BOOL programLooping;
// Owner of message boxes raised away from the window procedure.
extern HWND mainWindowHandle;
extern HINSTANCE appInstance;
extern CSceneDirector* sceneDirector;

constexpr const char* kWindowClassName = "Tonecrest";
constexpr const char* kGameTitle = "Tone Crest!  ";
constexpr int kClientWidth = 800;
constexpr int kClientHeight = 600;
constexpr int kBitsPerPixel = 32;

// Empties the global window record and sets it up for the game's window: its title, class,
// client size and colour depth, the key table and the program instance.
void prepareWindowRecord(KeyDownTable* keys, AppInstanceInfo* appInfo, HINSTANCE instance);

// Posts WM_QUIT to the window and clears programLooping.
void requestQuit(WindowRecord* record);
// When Escape is down in the key table: asks "Do You Want To Exit Tone Crest?" and on Yes
// requests the quit. The Escape entry is cleared in every case.
void confirmExitOnEscape(WindowRecord* record, KeyDownTable* keys);
// Asks the exit question owned by the window; true when the answer is Yes.
bool askExitQuestion(HWND owner);
