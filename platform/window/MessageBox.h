// Modal message boxes. MessageBoxA blocks the calling thread until the user answers; Return
// chooses the first button (OK or Yes), Escape the last (OK or No).
#pragma once

#include "platform/base/WinTypes.h"

#include <cstddef>
#include <string>

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows text under caption with the buttons and icon of type, owned by owner (may be null).
// Lines longer than kMessageBoxColumns are wrapped (see wrapMessageText), so that the box fits
// a screen 1024 pixels wide. Returns the button chosen, or 0 when no box can be shown (the
// text then goes to stderr, unwrapped).
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

namespace plat {

constexpr size_t kMessageBoxColumns = 80;

// text with every line longer than columns broken at its last space within the limit; a word
// longer than the limit (a path) is cut at the limit. Line breaks of the text are kept.
std::string wrapMessageText(const std::string& text, size_t columns = kMessageBoxColumns);

} // namespace plat
