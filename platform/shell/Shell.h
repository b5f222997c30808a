// Starting programs through the shell, and the process's current directory.
#pragma once

#include "platform/base/WinTypes.h"

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

constexpr DWORD SEE_MASK_DEFAULT = 0;

struct SHELLEXECUTEINFOA {
    DWORD cbSize;
    DWORD fMask;
    HWND hwnd;
    LPCSTR lpVerb;
    LPCSTR lpFile;
    LPCSTR lpParameters;
    LPCSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp; // > 32 on success, as the shell reports it
};

// Starts lpFile with the verb "open" (or no verb) and does not wait for it. The program name
// goes through the path mapping ("NowPane.exe" -> NowPane); a bare name is looked for in the
// current directory, then beside the running program, then on PATH. Parameters are split at
// blanks, with double quotes grouping. TRUE once the program has been started.
BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info);

// Current directory of the process, as GetCurrentDirectoryA reports it: the length written
// without the NUL, or the size needed (with the NUL) when the buffer is too small, 0 on error.
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR path);
