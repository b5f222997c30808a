// The game's 3D overlay menu. While it is closed, three small buttons sit in the top-left
// corner of the ride (open the menu, exit, connect to the player) and, while no music
// arrives, a notice that leads to the quick setup. Open, it shows full-screen pages: the main
// page, view points, wave settings with two knobs, an overview and three quick-setup steps;
// the ride pauses meanwhile. The menu owns the settings file: it reads it when constructed and
// writes the host's settings when destroyed. Everything is drawn in a 1024 x 1024 overlay
// (y up). Images load lazily, one group the first time its page shows; a missing image throws
// "C3DMenu: Couldn't load texture: NAME" as a std::string. Needs a current GL context.
#pragma once

#include "game/menu/HelpViewer.h"
#include "game/menu/MenuElement.h"
#include "game/menu/MenuHost.h"
#include "game/menu/MenuInput.h"
#include "game/ride/RideSettings.h"

#include <cstdint>
#include <string>

class C3DMenu : public IMenuInput {
  public:
    enum Page : int32_t {
        kClosed = -1,
        kMain = 0,
        kViewPoints = 1,
        kWave = 2,
        kOverview = 3,
        kSetup1 = 4,
        kSetup2 = 5,
        kSetup3 = 6,
    };
    enum Element : int {
        MenuF1,
        ExitEsc,
        WMPLogo,
        NoMusicStreaming,
        Background,
        Title,
        OverView,
        ViewPoint,
        Wave,
        Help,
        QuickSetup,
        Save,
        Cancel,
        Menu1,
        HyKey,
        Forward,
        Near,
        Mid,
        Far,
        Backward,
        Center,
        ViewCenter,
        ViewFreqBars,
        Cycle,
        SmoothRough,
        SlowFast,
        KnobSmoothing,
        KnobSpeed,
        HeadTilt,
        Dragon,
        Explanation,
        QuickSetupHeading,
        CircleOne,
        CircleTwo,
        CircleThree,
        Previous,
        Next,
        Step1RunWMP,
        Step1Text,
        Step2SelectPlugin,
        Step2Text,
        WMPFindPlugin,
        Step3PlayMusic,
        Step3Text,
        WMPTCPlaying,
        CheckMark,
        SplashTitle,
        Splash2Dot0,
        SplashBrightfold,
        SplashDotCom,
        SplashNotice,
        SplashDragon,
        SplashRide,
        // The flash guard's switch on the wave page: text and a check mark, no image.
        FlashGuardSwitch,
        kElements
    };
    // The knobs run from x 258 (value 0) to 690; a value v sits at v x 431 + 258, and a knob at
    // x gives (x - 258) x 0.00232.
    static constexpr float kKnobLeft = 258.0f;
    static constexpr float kKnobRight = 690.0f;
    static constexpr float kKnobPlace = 431.0f;
    static constexpr float kKnobValue = 0.00232f;
    static constexpr float kSplashHold = 5.0f;
    static constexpr float kSplashFade = 0.13f;
    // The splash's painted backdrop, stretched over the whole window under its lettering.
    static constexpr const char* kSplashBackdrop = "DragonSplash.jpg";

    // Closed, loads "Settings.dat" into the host (defaults when it is missing), the flash
    // guard's switch from "FlashGuard.ini" beside it (on when missing), and the closed-menu
    // images. settingsPath is the settings file, relative to the current folder.
    explicit C3DMenu(IMenuHost& host, const char* settingsPath = "Settings.dat");
    // Writes the host's current settings to the settings file and its guard switch to the
    // guard's file.
    ~C3DMenu() override;
    C3DMenu(const C3DMenu&) = delete;
    C3DMenu& operator=(const C3DMenu&) = delete;

    // IMenuInput: window pixels (y down) are unprojected into the overlay through the
    // overlay's matrices and the current viewport; a press also marks a pending click.
    void pointerTest(int x, int y) override;
    void setClicked() override { clicked = true; }
    void buttonReleased() override;
    int cursorState() const override { return cursor; }
    void setCursorState(int state) override { cursor = state; }
    void open() override;

    // The in-ride overlay (menu closed): corner buttons, the no-music notice, then a pending
    // click.
    void drawOverlay();
    // The open page: background, title, the pending click, the page's elements, Save and
    // Cancel.
    void drawPage();
    // Advances the start-up splash by dt and draws it; false once it has ended. On the first
    // start (no guard file yet) and whenever the guard is off, the splash carries the
    // photosensitivity warning.
    bool drawSplash(float dt);
    bool splashWarns() const { return warnOnSplash; }
    // The warning's lines, as the splash prints them, for the guard's current switch.
    static const char* const* warningLines(bool guardOn, int& count);
    const std::string& guardFilePath() const { return guardFile; }

    void save();
    void cancel();
    // Registers the plug-in silently, then brings the player's now-playing pane forward.
    void connectToPlayer();

    int32_t page() const { return currentPage; }
    const RideSettings& workingSettings() const { return working; }
    const float* pointer() const { return pointerPos; }
    // Sets the pointer in overlay units directly.
    void setPointer(float x, float y);
    MenuElement& element(Element e) { return elements[e]; }
    float splashAlpha() const { return splashFade; }
    HelpViewer& helpViewer() { return help; }

  private:
    enum Group {
        kGroupClosed,
        kGroupOpen,
        kGroupMain,
        kGroupViewPoints,
        kGroupWave,
        kGroupOverview,
        kGroupSetup,
        kGroupSplash,
        kGroups
    };

    void layout();
    void loadGroup(Group g);
    // Gives back the splash images' textures once the splash has ended: it never shows again,
    // and its two large images are the biggest textures the game holds.
    void releaseSplash();
    void loadElement(Element e, const char* file);
    void pushOverlay();
    void popOverlay();
    void handleClick();
    void handleClosedClick(float x, float y);
    void handlePageClick(float x, float y);
    void selectViewPoint(Element e);
    void drawKnob(Element knob, Element bar);
    void drawGuardSwitch();
    void drawSplashWarning();
    void placeKnobs();
    float knobValue(Element knob, float placedFrom) const;

    IMenuHost& host;
    const char* settingsFile;
    std::string guardFile;
    bool warnOnSplash = false;
    bool savedGuard = true;
    bool clicked = false;
    RideSettings working{};
    RideSettings saved{};
    float pointerPos[3] = {0.0f, 0.0f, 0.0f};
    int32_t currentPage = kClosed;
    int cursor = 0;
    MenuElement elements[kElements];
    const char* files[kElements] = {};
    float splashFade = 1.0f;
    float splashHold = kSplashHold;
    bool groupLoaded[kGroups] = {};
    // Where each knob was put by Open, to tell a knob left alone from a moved one.
    float knobPlacedX[2] = {kKnobLeft, kKnobLeft};
    HelpViewer help;
};
