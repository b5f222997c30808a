// NowPane: brings the running player forward on its now-playing pane, then ends.
#include "nowpane/MainDlg.h"
#include "nowpane/ModalDialog.h"
#include "nowpane/Resources.h"
#include "platform/com/Com.h"
#include "platform/window/Entry.h"
#include "platform/window/MessageBox.h"

#include <cctype>
#include <cstdio>
#include <sstream>
#include <string>

namespace {

bool sameText(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

} // namespace

int WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    CoInitialize(nullptr);

    // Options start with '-' or '/'. "Local" is recognised, but the player is always driven
    // remotely: the control has no player of its own to play in here.
    bool remote = true;
    std::istringstream tokens(commandLine ? commandLine : "");
    std::string token;
    while (tokens >> token) {
        if ((token[0] == '-' || token[0] == '/') && sameText(token.substr(1), "Local")) {
            remote = true;
        }
    }

    std::string problem;
    {
        CMainDlg dlg(remote);
        ModalDialog dialog(nowpane::mainDialog());
        dialog.run(dlg);
        problem = dlg.controlProblem();
    }
    CoUninitialize();
    if (!problem.empty()) {
        // Otherwise the user's connect-to-player action would end without a trace.
        std::fprintf(stderr, "NowPane: %s\n", problem.c_str());
        MessageBoxA(nullptr, problem.c_str(), "NowPane", MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}
