#include "game/menu/HelpViewer.h"

#include "platform/shell/Shell.h"

bool HelpViewer::show(HWND owner) {
    if (failed) {
        return false;
    }
    if (htmlHelp == nullptr) {
        htmlHelp = plat::loadHtmlHelp();
        if (htmlHelp == nullptr) {
            failed = true;
            return false;
        }
    }
    return htmlHelp(owner, kHelpFile, HH_DISPLAY_TOC, 0) != nullptr;
}

namespace {

void startProgram(const char* file, const char* parameters) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_DEFAULT;
    info.lpVerb = "open";
    info.lpFile = file;
    info.lpParameters = parameters;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

} // namespace

void connectToPlayer() {
    startProgram("regsvr32.exe", "/s TCwavetap2.dll");
    startProgram("NowPane.exe", nullptr);
}
