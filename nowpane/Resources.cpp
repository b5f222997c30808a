#include "nowpane/Resources.h"

namespace nowpane {

namespace {

constexpr int kBaseX = 6;
constexpr int kBaseY = 13;

int scale(int v, int base, int div) {
    return (v * base + div / 2) / div;
}

} // namespace

const DialogTemplate& mainDialog() {
    using K = DialogControl::Kind;
    static const DialogTemplate dialog{
        IDD_MAINDLG,
        "Media Library ",
        187,
        135,
        "MS Shell Dlg",
        8,
        IDR_MAINFRAME,
        {
            {IDC_PLAYER_PLACEHOLDER, K::StaticFrame, "", 3, 0, 179, 113},
            {IDC_GOTO_LIBRARY, K::PushButton, "Go To Media Library", 3, 113, 74, 14},
            {IDOK, K::DefaultPushButton, "Close", 89, 114, 50, 14},
        }};
    return dialog;
}

const char* loadString(int id) {
    return id == IDS_PROJNAME ? "LibraryDesk" : nullptr;
}

RECT dialogUnitsToPixels(int x, int y, int cx, int cy) {
    RECT r;
    r.left = scale(x, kBaseX, 4);
    r.top = scale(y, kBaseY, 8);
    r.right = r.left + scale(cx, kBaseX, 4);
    r.bottom = r.top + scale(cy, kBaseY, 8);
    return r;
}

} // namespace nowpane
