// NowPane's resources: the main dialog's template, its control ids, the strings and the menu.
#pragma once

#include "platform/base/WinTypes.h"

#include <vector>

namespace nowpane {

constexpr int IDD_MAINDLG = 101;
constexpr int IDR_MAINFRAME = 201; // the menu attached to the dialog
constexpr int IDS_PROJNAME = 100;  // "LibraryDesk"
constexpr int IDC_PLAYER_PLACEHOLDER = 211;
constexpr int IDC_GOTO_LIBRARY = 215;
constexpr int IDOK = 1; // "Close"
constexpr int IDCANCEL = 2;
constexpr int ID_APP_EXIT_QUIT = 32777; // posts the quit message

struct DialogControl {
    enum class Kind { StaticFrame, PushButton, DefaultPushButton };
    int id;
    Kind kind;
    const char* text;
    int x, y, cx, cy; // dialog units
};

struct DialogTemplate {
    int id;
    const char* title;
    int cx, cy; // dialog units
    const char* font;
    int pointSize;
    int menu;
    std::vector<DialogControl> controls;
};

const DialogTemplate& mainDialog();

// String resources; null for an id without a string.
const char* loadString(int id);

// Dialog units to pixels for the dialog's font ("MS Shell Dlg" 8: 6 x 13 pixel base units).
RECT dialogUnitsToPixels(int x, int y, int cx, int cy);

} // namespace nowpane
