#include "tests/e2e/Desktop.h"

#include "tests/support/TestPaths.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <regex>
#include <thread>

namespace e2e {

namespace {

void pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Asks done() every 20 ms until it says yes (true) or timeoutMs have passed (false).
template <class Done> bool pollUntil(int timeoutMs, Done done) {
    for (int waited = 0;; waited += 20) {
        if (done()) {
            return true;
        }
        if (waited >= timeoutMs) {
            return false;
        }
        pause(20);
    }
}

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

} // namespace

Program::Program(const std::string& path, const std::vector<std::string>& args,
                 const std::string& cwd, const std::map<std::string, std::string>& env) {
    pid = fork();
    if (pid == 0) {
        // A group of its own, so that anything it forks (a message box) goes with it.
        setpgid(0, 0);
        if (chdir(cwd.c_str()) != 0) {
            _exit(126);
        }
        int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        for (const auto& kv : env) {
            if (kv.second.empty()) {
                unsetenv(kv.first.c_str());
            } else {
                setenv(kv.first.c_str(), kv.second.c_str(), 1);
            }
        }
        std::vector<char*> argv{const_cast<char*>(path.c_str())};
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
}

Program::~Program() {
    if (pid > 0) {
        kill(-pid, SIGKILL);
        if (!reaped) {
            waitpid(pid, &status, 0);
        }
    }
}

bool Program::running() {
    if (reaped) {
        return false;
    }
    if (waitpid(pid, &status, WNOHANG) == pid) {
        reaped = true;
        return false;
    }
    return true;
}

int Program::waitExit(int timeoutMs) {
    if (!pollUntil(timeoutMs, [this] { return !running(); })) {
        return -1000;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2000;
}

std::string xdotool(const std::string& args) {
    return commandOutput("xdotool " + args + " 2>/dev/null");
}

std::string commandOutput(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) {
        return out;
    }
    char buf[256];
    while (fgets(buf, sizeof buf, p) != nullptr) {
        out += buf;
    }
    pclose(p);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) {
        out.pop_back();
    }
    return out;
}

namespace {

std::atomic<unsigned long> xErrors{0};

// Windows come and go while the tests look at them (a message box closes, a program ends):
// a request about a window that has just gone fails with BadWindow or BadMatch. Xlib's own
// handler ends the process on any error; this one counts it, and the call reports failure.
int countXError(Display*, XErrorEvent*) {
    ++xErrors;
    return 0;
}

// A connection to the test display with the forgiving error handler in place; null when
// there is no display.
Display* openDisplay() {
    static std::once_flag installed;
    std::call_once(installed, [] { XSetErrorHandler(countXError); });
    return XOpenDisplay(nullptr);
}

// Name of a window: _NET_WM_NAME (UTF-8) when set, else WM_NAME.
std::string windowName(Display* d, Window w) {
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    for (Atom property : {netName, static_cast<Atom>(XA_WM_NAME)}) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d, w, property, 0, 1024, False, AnyPropertyType, &type, &format,
                               &count, &after, &data) == Success &&
            data != nullptr) {
            std::string name(reinterpret_cast<char*>(data), count);
            XFree(data);
            if (type == utf8 || type == XA_STRING || !name.empty()) {
                return name;
            }
        }
    }
    return std::string();
}

void collect(Display* d, Window w, const std::regex& pattern, std::vector<Window>* found) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(d, w, &attributes) && attributes.map_state == IsViewable &&
        std::regex_search(windowName(d, w), pattern)) {
        found->push_back(w);
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n; ++i) {
            collect(d, children[i], pattern, found);
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
}

// Shown windows whose name matches, as decimal ids.
std::vector<std::string> findWindows(const std::string& nameRegex) {
    std::vector<std::string> ids;
    Display* d = openDisplay();
    if (d == nullptr) {
        return ids;
    }
    std::vector<Window> found;
    collect(d, DefaultRootWindow(d), std::regex(nameRegex), &found);
    XCloseDisplay(d);
    for (Window w : found) {
        ids.push_back(std::to_string(w));
    }
    return ids;
}

} // namespace

std::string waitForWindow(const std::string& nameRegex, int timeoutMs) {
    std::vector<std::string> ids;
    pollUntil(timeoutMs, [&] { return !(ids = findWindows(nameRegex)).empty(); });
    return ids.empty() ? std::string() : ids.front();
}

bool windowExists(const std::string& nameRegex) {
    return !findWindows(nameRegex).empty();
}

namespace {

void pointAtCentre(const std::string& window) {
    std::string geometry = xdotool("getwindowgeometry --shell " + window);
    int x = 0, y = 0, w = 0, h = 0;
    for (size_t start = 0; start < geometry.size();) {
        size_t end = geometry.find('\n', start);
        std::string line = geometry.substr(start, end - start);
        std::sscanf(line.c_str(), "X=%d", &x);
        std::sscanf(line.c_str(), "Y=%d", &y);
        std::sscanf(line.c_str(), "WIDTH=%d", &w);
        std::sscanf(line.c_str(), "HEIGHT=%d", &h);
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    xdotool("mousemove " + std::to_string(x + w / 2) + " " + std::to_string(y + h / 2));
    // Message boxes only take keys once they hold the input focus.
    xdotool("windowfocus " + window);
    pause(100);
}

} // namespace

void pressKey(const std::string& window, const std::string& key) {
    pointAtCentre(window);
    // Held for a quarter of a second, as a hand does: the game reads keys once a frame, and
    // on a busy machine with software GL a frame can take longer than a tenth of a second.
    xdotool("keydown " + key);
    pause(250);
    xdotool("keyup " + key);
}

bool waitForDrawing(const std::string& window, int timeoutMs) {
    return pollUntil(timeoutMs, [&] {
        Picture p;
        if (!grabWindow(window, p)) {
            return false;
        }
        for (size_t i = 0; i + 2 < p.rgb.size(); i += 3) {
            if (p.rgb[i] + p.rgb[i + 1] + p.rgb[i + 2] > 60) {
                return true;
            }
        }
        return false;
    });
}

bool answerMessageBox(const std::string& caption, bool firstButton, int timeoutMs) {
    std::string box = waitForWindow("^" + caption + "$", timeoutMs);
    if (box.empty()) {
        return false;
    }
    pause(200);
    pressKey(box, firstButton ? "Return" : "Escape");
    return pollUntil(3000, [&] { return !windowExists("^" + caption + "$"); });
}

bool requestClose(const std::string& window) {
    Display* d = openDisplay();
    if (d == nullptr) {
        return false;
    }
    Window w = static_cast<Window>(std::strtoul(window.c_str(), nullptr, 10));
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    unsigned long errorsBefore = xErrors;
    Status ok = XSendEvent(d, w, False, NoEventMask, &e);
    // Waits for the server's answer, so that a window that has gone counts as a failure.
    XSync(d, False);
    bool delivered = ok != 0 && xErrors == errorsBefore;
    XCloseDisplay(d);
    return delivered;
}

bool screenshot(const std::string& pngPath) {
    std::string cmd = "import -window root " + shellQuote(pngPath) + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

bool grabWindow(const std::string& window, Picture& out) {
    Display* d = openDisplay();
    if (d == nullptr) {
        return false;
    }
    Window w = static_cast<Window>(std::strtoul(window.c_str(), nullptr, 10));
    Window root = DefaultRootWindow(d);
    XWindowAttributes a{};
    int x = 0, y = 0;
    Window child = 0;
    // Only a window on the screen: at an unmapped one's place the screen shows other windows
    // (the game's start-up picture, before its GL window's first frame).
    bool ok = XGetWindowAttributes(d, w, &a) != 0 && a.map_state == IsViewable &&
              XTranslateCoordinates(d, w, root, 0, 0, &x, &y, &child) != 0;
    // The screen's pixels rather than the window's own, which a GL window may not keep.
    XImage* image = ok ? XGetImage(d, root, x, y, static_cast<unsigned>(a.width),
                                   static_cast<unsigned>(a.height), AllPlanes, ZPixmap)
                       : nullptr;
    bool grabbed = image != nullptr;
    if (grabbed) {
        out.width = a.width;
        out.height = a.height;
        out.rgb.resize(static_cast<size_t>(a.width) * a.height * 3);
        for (int j = 0; j < a.height; ++j) {
            for (int i = 0; i < a.width; ++i) {
                unsigned long p = XGetPixel(image, i, j);
                unsigned char* q = &out.rgb[(static_cast<size_t>(j) * a.width + i) * 3];
                q[0] = static_cast<unsigned char>((p & image->red_mask) >> 16);
                q[1] = static_cast<unsigned char>((p & image->green_mask) >> 8);
                q[2] = static_cast<unsigned char>(p & image->blue_mask);
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(d);
    return grabbed;
}

bool waitForFileText(const std::string& path, const std::string& text, int timeoutMs) {
    return pollUntil(timeoutMs,
                     [&] { return testsupport::readFile(path).find(text) != std::string::npos; });
}

} // namespace e2e
