// The end of the game on an error thrown as text: one message box captioned
// "Exception Caught" owned by the main window, then the process ends with a failure code.
#pragma once

#include <exception>
#include <string>

constexpr int kFatalExitCode = 1;

[[noreturn]] void reportFatalError(const char* text);

// Runs body, turning an error thrown as a C string, a std::string or a standard exception
// into reportFatalError.
template <class Body> void runGuarded(Body&& body) {
    try {
        body();
    } catch (const char* text) {
        reportFatalError(text);
    } catch (const std::string& text) {
        reportFatalError(text.c_str());
    } catch (const std::exception& e) {
        reportFatalError(e.what());
    }
}
