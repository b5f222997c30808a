#include "platform/window/MessageBox.h"
#include "platform/window/StartupPicture.h"
#include "platform/window/WindowInternal.h"

#include <cstdio>

namespace plat {

std::string wrapMessageText(const std::string& text, size_t columns) {
    std::string out;
    size_t lineStart = 0;
    while (lineStart <= text.size()) {
        size_t end = text.find('\n', lineStart);
        std::string line =
            text.substr(lineStart, end == std::string::npos ? std::string::npos : end - lineStart);
        while (line.size() > columns) {
            size_t cut = line.rfind(' ', columns);
            if (cut == std::string::npos || cut == 0) {
                out += line.substr(0, columns) + "\n";
                line.erase(0, columns);
            } else {
                out += line.substr(0, cut) + "\n";
                line.erase(0, cut + 1);
            }
        }
        out += line;
        if (end == std::string::npos) {
            break;
        }
        out += '\n';
        lineStart = end + 1;
    }
    return out;
}

} // namespace plat

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    CloseStartupPicture(); // a box must not open behind it
    const char* unwrapped = text ? text : "";
    std::string wrapped = plat::wrapMessageText(unwrapped);
    const char* body = wrapped.c_str();
    const char* title = caption ? caption : "Error";
    SDL_MessageBoxButtonData buttons[2];
    int count = 1;
    switch (type & 0xF) {
    case MB_YESNO:
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
        buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
        count = 2;
        break;
    case MB_OKCANCEL:
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
        buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"};
        count = 2;
        break;
    default:
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                          SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                      IDOK, "OK"};
        break;
    }
    Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (type & 0xF0) {
    case MB_ICONERROR:
        flags |= SDL_MESSAGEBOX_ERROR;
        break;
    case MB_ICONEXCLAMATION:
        flags |= SDL_MESSAGEBOX_WARNING;
        break;
    default:
        flags |= SDL_MESSAGEBOX_INFORMATION;
        break;
    }
    SDL_Window* parent = IsWindow(owner) ? owner->sdl : nullptr;
    SDL_MessageBoxData box{flags, parent, title, body, count, buttons, nullptr};
    int chosen = 0;
    if (SDL_ShowMessageBox(&box, &chosen) != 0) {
        std::fprintf(stderr, "%s: %s (no message box: %s)\n", title, unwrapped, SDL_GetError());
        return 0;
    }
    // Closing the box without a button counts as its escape choice.
    return chosen < 0 ? buttons[count - 1].buttonid : chosen;
}
