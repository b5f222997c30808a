// tcplayer's window: the now-playing pane above, the ordinary player below (title, time, seek
// bar, buttons, volume, loudness, the chosen visualization, the last message), a queue view
// and a list of the keys. Resizable; files dropped onto it are queued.
//
// run() is the user interface thread's loop: about 30 frames a second it takes the remote
// requests, ticks the player, drives the pane and shows what changed. It sleeps in between,
// so a playing player costs little.
#pragma once

#include "platform/window/FullScreenSdl.h"
#include "player/pane/NowPlayingPane.h"
#include "player/ui/Canvas.h"
#include "player/ui/Player.h"
#include "player/ui/Requests.h"

#include <functional>
#include <string>
#include <vector>

struct SDL_Window;
class DesktopSource;

class PlayerWindow {
  public:
    static constexpr int kPanelHeight = 150;
    // The pane (and so the plug-in) is drawn 60 times a second; each frame's levels are aimed
    // half a frame ahead, at the middle of the time the frame stays up.
    static constexpr int kFramesPerSecond = 60;

    PlayerWindow(Player& player, NowPlayingPane& pane, PlayerRequests& requests);
    ~PlayerWindow();
    PlayerWindow(const PlayerWindow&) = delete;
    PlayerWindow& operator=(const PlayerWindow&) = delete;

    // Opens the window ("tcplayer"); false with the reason.
    bool open(std::string& error);
    // Runs until the window is closed or quit() is called; then stops the visualization.
    void run();
    void quit() { running = false; }

    // The source the "Desktop" button and the D key switch to; none: the button does nothing.
    void setDesktopSource(DesktopSource* source) { desktop = source; }
    // Listens to the desktop (on) or goes back to the queue's songs (off, paused where they
    // were). Playing anything from the queue also ends listening.
    void listen(bool on);
    bool listeningToDesktop() const;

    // Called on the window's thread once a frame, before the frame's requests are handled:
    // where other event sources (the session bus) are served.
    void setFrameHook(std::function<void()> hook) { frameHook = std::move(hook); }
    // Full screen at the desktop's resolution, or back to the window (F11 toggles it). The
    // layout follows the new size, as it does when a window manager changes it on its own.
    void setFullScreen(bool on);
    bool fullScreen() const;

  private:
    enum class View { NowPlaying, Queue, Help };
    struct Button {
        Rect area;
        std::string label;
        void (PlayerWindow::*action)();
    };

    void handleEvents(int waitMs);
    void handleRequests();
    void key(int sym, bool ctrl);
    void click(int x, int y);
    void layout();
    void draw(bool panelToo);
    void drawPanel(Canvas& c);
    void drawQueue(Canvas& c);
    void drawHelp(Canvas& c);
    void present(bool panelToo);

    void doPrevious();
    void doPlayPause();
    void doStop();
    void doNext();
    void doLoudness();
    void doRide();
    void doVisualization();
    void doDesktop();
    void leaveListening();

    Player& player;
    NowPlayingPane& pane;
    PlayerRequests& requests;
    DesktopSource* desktop = nullptr;
    SDL_Window* window = nullptr;
    Font font{14};
    Font big{18};
    std::vector<uint32_t> pixels;
    int width = 800, height = 600;
    Rect paneArea, seekBar, volumeBar;
    std::vector<Button> buttons;
    View view = View::NowPlaying;
    bool running = true;
    std::function<void()> frameHook;
    plat::WindowedPlace windowedPlace; // kept while full screen
    unsigned wakeEvent = 0;
    std::vector<std::string> dropped;
    std::string panelSeen; // what the panel showed last, to redraw it only on change
    int queueTop = 0;
};
