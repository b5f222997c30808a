#include "game/shell/FatalError.h"

#include "game/shell/WindowRecord.h"
#include "platform/window/MessageBox.h"

#include <cstdlib>

void reportFatalError(const char* text) {
    MessageBoxA(mainWindowHandle, text != nullptr ? text : "", "Exception Caught", MB_OK);
    std::exit(kFatalExitCode);
}
