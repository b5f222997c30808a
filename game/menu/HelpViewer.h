// The help file "Tonecrest2.chm" opened through HTML Help. The viewer is resolved on the first
// request and kept; when it cannot be found, every later request does nothing.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/help/HtmlHelp.h"

class HelpViewer {
  public:
    static constexpr const char* kHelpFile = "Tonecrest2.chm";

    // Shows the table of contents owned by owner; false when nothing was opened.
    bool show(HWND owner);
    bool unavailable() const { return failed; }

  private:
    HTMLHELPPROC htmlHelp = nullptr;
    bool failed = false;
};

// Starts "regsvr32.exe /s TCwavetap2.dll", then "NowPane.exe", through the shell without
// waiting; a program that fails to start is ignored.
void connectToPlayer();
