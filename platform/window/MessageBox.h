// Modal message boxes. MessageBoxA blocks the calling thread until the user answers; Return
// chooses the first button (OK or Yes), Escape the last (OK or No).
#pragma once

#include "platform/base/WinTypes.h"

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
// Returns the button chosen, or 0 when no box can be shown (the text then goes to stderr).
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
