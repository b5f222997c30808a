// The HTML Help stand-in. The help viewer is resolved the way the help control is found: the
// program registered as the in-process server of the help control's class under
// HKEY_CLASSES_ROOT (kHtmlHelpServerKey, default value), else the desktop's opener
// ("xdg-open") found on PATH. A help file "NAME.chm" stands for the folder of HTML pages
// "help/" beside it; HH_DISPLAY_TOC opens its table of contents, "help/index.html".
#pragma once

#include "platform/base/WinTypes.h"

#include <string>

using DWORD_PTR = uintptr_t;

constexpr UINT HH_DISPLAY_TOPIC = 0x0000;
constexpr UINT HH_DISPLAY_TOC = 0x0001;

constexpr const char* kHtmlHelpServerKey =
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

// Opens the help file's pages in the viewer without waiting for it. Returns a non-null
// handle when the viewer was started, null when the pages or the viewer are missing.
using HTMLHELPPROC = HWND (*)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

namespace plat {

// Resolves the viewer; null when none can be found. The viewer found is kept for the
// returned entry.
HTMLHELPPROC loadHtmlHelp();

// The pages that a help file stands for: "dir/NAME.chm" -> "dir/help/index.html", as an
// absolute path; "" when that page does not exist.
std::string helpPagesFor(const char* file);

} // namespace plat
