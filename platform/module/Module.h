// Loading libraries at run time, with the Win32 names: LoadLibraryA, GetProcAddress,
// FreeLibrary, the file name of a loaded module and the module that holds an address.
#pragma once

#include "platform/base/WinTypes.h"

using HMODULE = HINSTANCE;
using FARPROC = void (*)();

// Errors that loading a library reports through GetLastError.
constexpr LONG ERROR_MOD_NOT_FOUND = 126;
constexpr LONG ERROR_PROC_NOT_FOUND = 127;
constexpr LONG ERROR_BAD_EXE_FORMAT = 193;

constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT = 0x2;
constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS = 0x4;

// Loads the library (Windows names map through the path mapping: "TCwavetap2.dll" ->
// "TCwavetap2.so"). A name without a folder is looked for beside the running program, then in
// the current directory. Every reference the library needs is bound at once. Null on failure,
// with GetLastError ERROR_MOD_NOT_FOUND (no such file) or ERROR_BAD_EXE_FORMAT (not a library
// this process can load). Each successful call is matched by one FreeLibrary.
HMODULE LoadLibraryA(LPCSTR name);
BOOL FreeLibrary(HMODULE module);
// An exported function of the library; null (ERROR_PROC_NOT_FOUND) when it has none.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
// Full path of the library (a null module: the running program). Returns the characters
// written without the NUL; when the buffer is too small the path is cut, NUL-terminated, and
// size is returned. 0 on failure.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
// With GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS the name is an address inside the module.
// Without GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT the caller must FreeLibrary it.
BOOL GetModuleHandleExA(DWORD flags, LPCSTR name, HMODULE* module);
