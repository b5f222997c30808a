#include "player/ui/PlayerWindow.h"

#include "player/listen/DesktopSource.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

const uint32_t kPanel = 0x20232A, kText = 0xE8E8E8, kDim = 0x9098A0, kAccent = 0x3A8FE0,
               kButton = 0x343844, kWarn = 0xF0B040;

std::string clock(double seconds) {
    if (seconds < 0 || !std::isfinite(seconds)) {
        return "--:--";
    }
    long s = long(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

const char* const kHelp[] = {
    "Space      play / pause",
    "S          stop",
    "N / P      next / previous song",
    "Left/Right seek 5 seconds back / on",
    "Up/Down    volume",
    "L          loudness normalisation on / off",
    "C          ride calibration: each song's own / the fixed spectrum scale",
    "V          next visualization",
    "D          listen to what the desktop plays / back to the queue",
    "Q          queue (click a song to play it)",
    "F11        full screen / back to the window",
    "F1 or H    these keys",
    "Escape     back to the now-playing pane",
    "Ctrl+Q     quit",
    "",
    "Drop music files or folders onto the window to queue them.",
};

} // namespace

PlayerWindow::PlayerWindow(Player& p, NowPlayingPane& np, PlayerRequests& r)
    : player(p), pane(np), requests(r) {}

PlayerWindow::~PlayerWindow() {
    requests.setWaker(nullptr);
    if (window) {
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

bool PlayerWindow::open(std::string& error) {
    if (!font.ok()) {
        error = "no font found (install fonts-dejavu-core)";
        return false;
    }
    // The window's pixels go to the X server directly: no GL (software GL costs a core's worth).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    window = SDL_CreateWindow("tcplayer", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                              height, SDL_WINDOW_RESIZABLE);
    if (!window) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    SDL_SetWindowMinimumSize(window, 720, 400);
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    wakeEvent = SDL_RegisterEvents(1);
    unsigned wake = wakeEvent;
    requests.setWaker([wake] {
        SDL_Event e{};
        e.type = wake;
        SDL_PushEvent(&e);
    });
    layout();
    return true;
}

void PlayerWindow::layout() {
    SDL_GetWindowSize(window, &width, &height);
    pixels.assign(size_t(width) * size_t(height), kPanel);
    paneArea = {0, 0, width, std::max(1, height - kPanelHeight)};
    pane.resize(paneArea.w, paneArea.h);
    int top = paneArea.h;
    seekBar = {10, top + 40, width - 120, 10};
    int x = 10, y = top + 62;
    buttons.clear();
    auto add = [&](const char* label, void (PlayerWindow::*action)(), int w) {
        buttons.push_back({{x, y, w, 28}, label, action});
        x += w + 6;
    };
    add("Prev", &PlayerWindow::doPrevious, 52);
    add("Play", &PlayerWindow::doPlayPause, 60);
    add("Stop", &PlayerWindow::doStop, 52);
    add("Next", &PlayerWindow::doNext, 52);
    add("Desktop", &PlayerWindow::doDesktop, 76);
    add("Loudness", &PlayerWindow::doLoudness, 120);
    add("Ride", &PlayerWindow::doRide, 96);
    add("Visualization", &PlayerWindow::doVisualization, std::max(80, width - x - 166));
    volumeBar = {width - 150, y + 9, 140, 10};
    panelSeen.clear();
}

bool PlayerWindow::listeningToDesktop() const {
    return desktop && player.listeningSource() == desktop;
}

void PlayerWindow::listen(bool on) {
    if (!desktop || on == listeningToDesktop()) {
        return;
    }
    if (on) {
        if (!desktop->start()) {
            std::fprintf(stderr, "tcplayer: cannot listen to the desktop\n");
            return;
        }
        player.setListeningSource(desktop);
    } else {
        player.setListeningSource(nullptr);
        desktop->stop();
    }
    panelSeen.clear();
}

void PlayerWindow::setFullScreen(bool on) {
    if (!plat::setSdlFullScreen(window, on, windowedPlace)) {
        std::fprintf(stderr, "tcplayer: cannot change to %s: %s\n", on ? "full screen" : "a window",
                     SDL_GetError());
    }
    layout();
}

bool PlayerWindow::fullScreen() const {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void PlayerWindow::leaveListening() {
    listen(false);
}

void PlayerWindow::doDesktop() {
    listen(!listeningToDesktop());
}
void PlayerWindow::doPrevious() {
    leaveListening();
    player.previous();
}
void PlayerWindow::doPlayPause() {
    leaveListening(); // back to the song where it was
    player.playPause();
}
void PlayerWindow::doStop() {
    leaveListening();
    player.stop();
}
void PlayerWindow::doNext() {
    leaveListening();
    player.next();
}
void PlayerWindow::doLoudness() {
    player.setNormalise(!player.normalise());
}
void PlayerWindow::doRide() {
    player.setRideCalibration(!player.rideCalibration());
}
void PlayerWindow::doVisualization() {
    pane.chooseNext();
    player.currentSettings().visualization = pane.chosenKey();
}

void PlayerWindow::key(int sym, bool ctrl) {
    switch (sym) {
    case SDLK_SPACE:
        doPlayPause();
        break;
    case SDLK_s:
        doStop();
        break;
    case SDLK_n:
        doNext();
        break;
    case SDLK_p:
        doPrevious();
        break;
    case SDLK_LEFT:
        player.seekBy(-5);
        break;
    case SDLK_RIGHT:
        player.seekBy(5);
        break;
    case SDLK_UP:
        player.setVolume(player.volume() + 0.05);
        break;
    case SDLK_DOWN:
        player.setVolume(player.volume() - 0.05);
        break;
    case SDLK_l:
        doLoudness();
        break;
    case SDLK_c:
        doRide();
        break;
    case SDLK_v:
        doVisualization();
        break;
    case SDLK_d:
        doDesktop();
        break;
    case SDLK_q:
        if (ctrl) {
            running = false;
        } else {
            view = view == View::Queue ? View::NowPlaying : View::Queue;
        }
        break;
    case SDLK_F11:
        setFullScreen(!fullScreen());
        break;
    case SDLK_F1:
    case SDLK_h:
        view = view == View::Help ? View::NowPlaying : View::Help;
        break;
    case SDLK_ESCAPE:
        view = View::NowPlaying;
        break;
    default:
        break;
    }
    panelSeen.clear();
}

void PlayerWindow::click(int x, int y) {
    for (const Button& b : buttons) {
        if (b.area.contains(x, y)) {
            (this->*b.action)();
            panelSeen.clear();
            return;
        }
    }
    Rect seekHit{seekBar.x, seekBar.y - 6, seekBar.w, seekBar.h + 12};
    if (seekHit.contains(x, y) && player.duration() > 0) {
        player.seekTo(double(x - seekBar.x) / seekBar.w * player.duration());
    }
    Rect volumeHit{volumeBar.x, volumeBar.y - 8, volumeBar.w, volumeBar.h + 16};
    if (volumeHit.contains(x, y)) {
        player.setVolume(double(x - volumeBar.x) / volumeBar.w);
    }
    if (view == View::Queue && paneArea.contains(x, y)) {
        int row = (y - 36) / font.lineHeight() + queueTop;
        if (y >= 36 && row >= 0 && row < int(player.queue().items().size())) {
            leaveListening();
            player.playIndex(row);
        }
    }
    panelSeen.clear();
}

void PlayerWindow::handleRequests() {
    for (PlayerRequest& r : requests.take()) {
        switch (r.kind) {
        case PlayerRequest::ShowNowPlaying:
            view = View::NowPlaying;
            break;
        case PlayerRequest::BringToFront:
            SDL_RestoreWindow(window);
            SDL_ShowWindow(window);
            SDL_RaiseWindow(window);
            break;
        case PlayerRequest::OpenFiles:
            leaveListening();
            player.openFiles(r.files, true);
            break;
        case PlayerRequest::QueueFiles:
            player.openFiles(r.files, false);
            break;
        case PlayerRequest::Listen:
            listen(true);
            break;
        }
        panelSeen.clear();
    }
}

void PlayerWindow::handleEvents(int waitMs) {
    SDL_Event e;
    bool got = SDL_WaitEventTimeout(&e, std::max(waitMs, 1)) != 0;
    while (got) {
        switch (e.type) {
        case SDL_QUIT:
            running = false;
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                plat::followFullScreen(window, windowedPlace);
                layout();
            } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
                panelSeen.clear();
            }
            break;
        case SDL_KEYDOWN:
            key(e.key.keysym.sym, (e.key.keysym.mod & KMOD_CTRL) != 0);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT) {
                int x = e.button.x, y = e.button.y;
                bool down = e.type == SDL_MOUSEBUTTONDOWN;
                if (view == View::NowPlaying && paneArea.contains(x, y)) {
                    pane.mouse(down ? PaneMouse::LeftDown : PaneMouse::LeftUp, x, y);
                } else if (down) {
                    click(x, y);
                }
            }
            break;
        case SDL_MOUSEMOTION:
            if (view == View::NowPlaying && paneArea.contains(e.motion.x, e.motion.y)) {
                pane.mouse(PaneMouse::Move, e.motion.x, e.motion.y);
            }
            break;
        case SDL_MOUSEWHEEL:
            if (view == View::Queue) {
                queueTop = std::max(0, queueTop - e.wheel.y * 3);
            }
            break;
        case SDL_DROPFILE:
            dropped.emplace_back(e.drop.file);
            SDL_free(e.drop.file);
            break;
        case SDL_DROPCOMPLETE:
            if (!dropped.empty()) {
                player.openFiles(dropped, false);
                dropped.clear();
            }
            break;
        default:
            break;
        }
        got = SDL_PollEvent(&e) != 0;
    }
    if (!dropped.empty()) { // drivers that send no completion event
        player.openFiles(dropped, false);
        dropped.clear();
    }
}

void PlayerWindow::drawPanel(Canvas& c) {
    int top = paneArea.h;
    c.fill({0, top, width, kPanelHeight}, kPanel);
    c.fill({0, top, width, 1}, 0x404858);
    const PlayQueue& q = player.queue();
    std::string title = player.media().title;
    if (!listeningToDesktop() && player.state() == PlayState::Stopped && q.current() < 0) {
        title = q.empty() ? "Nothing queued: drop music files here" : "Stopped";
    }
    bool listening = listeningToDesktop();
    const std::string& artist = player.tags().artist;
    std::string line = title + (artist.empty() ? "" : "  -  " + artist);
    c.text(10, top + 10, line, kText, width - 130);
    double pos = player.position(), dur = player.duration();
    std::string times = clock(player.state() == PlayState::Stopped ? 0 : pos) + " / " + clock(dur);
    if (!listening) {
        c.text(width - 100, top + 34, times, kText);
    }
    c.fill(seekBar, 0x404552);
    if (!listening && dur > 0 && player.state() != PlayState::Stopped) {
        c.fill({seekBar.x, seekBar.y, int(seekBar.w * std::clamp(pos / dur, 0.0, 1.0)), seekBar.h},
               kAccent);
    }
    for (const Button& b : buttons) {
        c.fill(b.area, kButton);
        c.frame(b.area, 0x505868);
        std::string label = b.label;
        if (b.action == &PlayerWindow::doDesktop && listening) {
            c.fill(b.area, kAccent);
        }
        if (b.action == &PlayerWindow::doPlayPause) {
            label = player.state() == PlayState::Playing && !listening ? "Pause" : "Play";
        } else if (b.action == &PlayerWindow::doLoudness) {
            label = std::string("Loudness: ") + (player.normalise() ? "on" : "off");
        } else if (b.action == &PlayerWindow::doRide) {
            label = std::string("Ride: ") + (player.rideCalibration() ? "song" : "fixed");
        } else if (b.action == &PlayerWindow::doVisualization) {
            std::string name = pane.chosenName();
            label = "Vis: " + (name.empty() ? std::string("none") : name);
        }
        c.text(b.area.x + 8, b.area.y + 6, label, kText, b.area.w - 12);
    }
    c.text(volumeBar.x, volumeBar.y - 22,
           "Volume " + std::to_string(int(std::lround(player.volume() * 100))) + "%", kDim);
    c.fill(volumeBar, 0x404552);
    c.fill({volumeBar.x, volumeBar.y, int(volumeBar.w * player.volume()), volumeBar.h}, kAccent);
    std::string where = q.empty() ? "Queue empty"
                                  : "Song " + std::to_string(q.current() + 1) + " of " +
                                        std::to_string(q.items().size());
    if (player.addingFiles()) {
        where += " (adding files...)";
    }
    if (listening) {
        where = "Listening to the desktop (D: back to the queue)";
    }
    c.text(10, top + 100, where + "    F1: keys    Q: queue", kDim);
    if (!player.status().empty()) {
        c.text(10, top + 122, player.status(), kWarn, width - 20);
    }
}

void PlayerWindow::drawQueue(Canvas& c) {
    c.fill(paneArea, 0x181B22);
    c.text(12, 8, "Queue", kText);
    const auto& items = player.queue().items();
    int rows = (paneArea.h - 40) / font.lineHeight();
    queueTop = std::min(queueTop, std::max(0, int(items.size()) - rows));
    for (int r = 0; r < rows && queueTop + r < int(items.size()); ++r) {
        int i = queueTop + r;
        std::string name = std::filesystem::path(items[size_t(i)]).filename().string();
        bool now = i == player.queue().current();
        c.text(12, 36 + r * font.lineHeight(),
               (now ? "> " : "   ") + std::to_string(i + 1) + ". " + name, now ? kAccent : kText,
               width - 24);
    }
}

void PlayerWindow::drawHelp(Canvas& c) {
    c.fill(paneArea, 0x181B22);
    c.text(12, 8, "Keys", kText);
    int y = 36;
    for (const char* line : kHelp) {
        c.text(24, y, line, kText, width - 36);
        y += font.lineHeight();
    }
}

void PlayerWindow::draw(bool panelToo) {
    PixelView view{pixels.data(), width, height, width};
    Canvas c(view, font);
    if (this->view == View::NowPlaying) {
        const PaneSurface& s = pane.surface();
        for (int y = 0; y < std::min(s.height, paneArea.h); ++y) {
            std::copy_n(s.pixels.begin() + y * s.width, std::min(s.width, width),
                        pixels.begin() + y * width);
        }
    } else if (this->view == View::Queue) {
        drawQueue(c);
    } else {
        drawHelp(c);
    }
    if (panelToo) {
        drawPanel(c);
    }
}

void PlayerWindow::present(bool panelToo) {
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target) {
        return;
    }
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 32,
                                                             width * 4, SDL_PIXELFORMAT_RGB888);
    SDL_Rect rects[2] = {{0, 0, width, paneArea.h}, {0, paneArea.h, width, height - paneArea.h}};
    int count = panelToo ? 2 : 1;
    for (int i = 0; i < count; ++i) {
        SDL_Rect r = rects[i];
        SDL_BlitSurface(source, &rects[i], target, &r);
    }
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurfaceRects(window, rects, count);
}

void PlayerWindow::run() {
    const double frame = 1.0 / kFramesPerSecond;
    double next = HeardAudio::nowSeconds();
    while (running) {
        double now = HeardAudio::nowSeconds();
        handleEvents(int((next - now) * 1000));
        if (!running) {
            break;
        }
        now = HeardAudio::nowSeconds();
        if (now < next) {
            continue;
        }
        next = std::max(next + frame, now - frame);
        if (frameHook) {
            frameHook();
        }
        handleRequests();
        player.tick(now + 0.5 * frame);
        pane.frame(player, paneArea.w, paneArea.h, font);
        // The panel changes a few times a second: redraw it only then.
        std::string seen = std::to_string(long(player.position() * 4)) + "|" +
                           (player.rideCalibration() ? "song|" : "fixed|") + player.media().title +
                           "|" + std::to_string(int(player.state())) + "|" + player.status() + "|" +
                           std::to_string(player.queue().current()) + "/" +
                           std::to_string(player.queue().items().size()) +
                           (player.addingFiles() ? "+|" : "|") + pane.chosenKey() +
                           (listeningToDesktop() ? "|listening" : "");
        bool panelToo = seen != panelSeen;
        panelSeen = seen;
        draw(panelToo);
        present(panelToo);
    }
    pane.shutdown();
}
