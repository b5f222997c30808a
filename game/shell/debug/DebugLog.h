// The developers' diagnostics log, "TestThis.txt" in the current directory, rewritten from
// empty on every start. Write to it like any stream and end each entry with std::endl.
#pragma once

#include "platform/base/WinTypes.h"

#include <fstream>

class CDebugLog {
  public:
    explicit CDebugLog(const char* fileName);

    // Checks that the file opened. When it did not (a read-only folder, say) it says so on
    // standard output and the game goes on without a log: everything written is dropped.
    bool openLogFile();

    template <class T> std::ostream& operator<<(const T& value) { return stream << value; }
    std::ostream& out() { return stream; }
    bool isOpen() const { return stream.is_open(); }

  private:
    int32_t flag = 0;
    HWND ownerWindow = nullptr;
    std::ofstream stream;
};

// The game's one log, constructed before WinMain runs.
extern CDebugLog debugLog;
