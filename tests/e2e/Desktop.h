// Driving the real programs on the test display: starting them, finding their windows,
// keys, clicks, message-box answers, close requests and screenshots.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace e2e {

class Program {
  public:
    // Starts path with args in folder cwd, with extra environment variables (an empty value
    // removes the variable); its standard output and error go to cwd/stdout.txt. The
    // destructor kills it and what it started.
    Program(const std::string& path, const std::vector<std::string>& args, const std::string& cwd,
            const std::map<std::string, std::string>& env);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool running();
    // Exit code, or -1000 when it is still running after timeoutMs, -2000 for a signal.
    int waitExit(int timeoutMs);

  private:
    int pid = -1;
    bool reaped = false;
    int status = 0;
};

// Standard output of a shell command line (trailing newlines and blanks removed).
std::string commandOutput(const std::string& command);
// Output of xdotool with these arguments (trailing newline removed).
std::string xdotool(const std::string& args);
// First window whose name matches the regular expression, waiting up to timeoutMs; "" if none.
std::string waitForWindow(const std::string& nameRegex, int timeoutMs);
bool windowExists(const std::string& nameRegex);
// Puts the pointer over the window, gives it the focus and presses the key for 100 ms.
void pressKey(const std::string& window, const std::string& key);
// Answers the message box captioned caption: Return for its first button (OK / Yes), Escape
// for its last (OK / No). False when no such box shows up.
bool answerMessageBox(const std::string& caption, bool firstButton, int timeoutMs = 5000);
// Asks the window to close as the desktop's close button does (WM_DELETE_WINDOW).
bool requestClose(const std::string& window);
// Saves the screen to a PNG file.
bool screenshot(const std::string& pngPath);

// What a window shows, 8-bit RGB rows from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[(y * width + x) * 3]; }
};
// Reads the window's area of the screen; false when the window is not there or not mapped.
bool grabWindow(const std::string& window, Picture& out);
// Waits until the window shows something other than black: its program has drawn a frame.
bool waitForDrawing(const std::string& window, int timeoutMs);
// Waits until the file exists and contains text.
bool waitForFileText(const std::string& path, const std::string& text, int timeoutMs);

} // namespace e2e
