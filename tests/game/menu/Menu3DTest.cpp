// The 3D menu's pages, buttons, knobs and settings on a GL context with the built archive.
#include "game/menu/SettingsFile.h"
#include "tests/game/menu/MenuTestSupport.h"

#include <cstring>

#include <GL/gl.h>

namespace {

using menutest::MenuTest;

TEST_F(MenuTest, PointerIsUnprojectedIntoTheOverlay) {
    C3DMenu& m = make();
    m.pointerTest(400, 300);
    EXPECT_NEAR(m.pointer()[0], 512.0f, 0.01f);
    EXPECT_NEAR(m.pointer()[1], 512.0f, 0.01f);
    m.pointerTest(0, 0); // window top left is overlay top left
    EXPECT_NEAR(m.pointer()[0], 0.0f, 0.01f);
    EXPECT_NEAR(m.pointer()[1], 1024.0f, 0.01f);
    m.pointerTest(800, 600);
    EXPECT_NEAR(m.pointer()[0], 1024.0f, 0.01f);
    EXPECT_NEAR(m.pointer()[1], 0.0f, 0.01f);
    // A viewport without area (a window of no height) keeps the last position.
    glViewport(0, 0, 800, 0);
    m.pointerTest(100, 100);
    EXPECT_NEAR(m.pointer()[0], 1024.0f, 0.01f);
    glViewport(0, 0, 800, 600);
    // The matrices in use outside the menu do not matter.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(0.0f, 0.0f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    m.pointerTest(400, 300);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    EXPECT_NEAR(m.pointer()[0], 512.0f, 0.01f);
}

TEST_F(MenuTest, OpenThenCancelLeavesEverySettingEvenAfterDraggingAKnob) {
    C3DMenu& m = make();
    host.settings = RideSettings{21, false, true, 0.3f, false, 0.6f};
    m.open();
    EXPECT_EQ(host.mode, 1);
    EXPECT_EQ(m.page(), C3DMenu::kMain);
    clickOn(C3DMenu::Wave);
    clickOn(C3DMenu::KnobSmoothing);
    EXPECT_TRUE(m.element(C3DMenu::KnobSmoothing).dragging);
    pointAt(1000, 520);
    m.drawPage();
    EXPECT_FLOAT_EQ(m.element(C3DMenu::KnobSmoothing).position[0], 690.0f);
    m.buttonReleased();
    clickOn(C3DMenu::HeadTilt);
    clickOn(C3DMenu::Dragon);
    clickOn(C3DMenu::Menu1);
    clickOn(C3DMenu::ViewPoint);
    clickOn(C3DMenu::Far);
    clickOn(C3DMenu::Cancel);
    EXPECT_EQ(m.page(), C3DMenu::kClosed);
    EXPECT_EQ(host.mode, 0);
    EXPECT_EQ(host.settings.viewPoint, 21);
    EXPECT_FALSE(host.settings.dragonOn);
    EXPECT_TRUE(host.settings.headTilt);
    EXPECT_EQ(host.settings.smoothing, 0.3f);
    EXPECT_FALSE(host.settings.speedChanged);
    EXPECT_EQ(host.settings.speed, 0.6f);
}

TEST_F(MenuTest, SaveWithUntouchedKnobsKeepsTheValuesAndTheApplyFlag) {
    C3DMenu& m = make();
    for (float speed : {0.5f, 0.0f, 0.37f}) {
        host.settings = RideSettings{24, true, false, 0.75f, false, speed};
        m.open();
        clickOn(C3DMenu::Save);
        EXPECT_EQ(m.page(), C3DMenu::kClosed);
        EXPECT_FALSE(host.settings.speedChanged) << speed;
        EXPECT_EQ(host.settings.speed, speed);
        EXPECT_EQ(host.settings.smoothing, 0.75f);
        EXPECT_EQ(host.settings.viewPoint, 24);
        EXPECT_TRUE(host.settings.dragonOn);
    }
}

TEST_F(MenuTest, KnobsDraggedToTheEndsSaveTheirRange) {
    C3DMenu& m = make();
    host.settings = RideSettings{25, true, false, 0.2f, false, 0.5f};
    goTo(C3DMenu::kWave);
    clickOn(C3DMenu::KnobSpeed);
    pointAt(1020, 412);
    m.drawPage();
    m.buttonReleased();
    clickOn(C3DMenu::KnobSmoothing);
    pointAt(3, 520);
    m.drawPage();
    m.buttonReleased();
    EXPECT_FLOAT_EQ(m.element(C3DMenu::KnobSmoothing).position[0], 258.0f);
    // Released knobs stay where they are.
    pointAt(500, 520);
    m.drawPage();
    EXPECT_FLOAT_EQ(m.element(C3DMenu::KnobSmoothing).position[0], 258.0f);
    clickOn(C3DMenu::Save);
    EXPECT_FLOAT_EQ(host.settings.speed, 1.00224f);
    EXPECT_TRUE(host.settings.speedChanged);
    EXPECT_EQ(host.settings.smoothing, 0.0f);
}

TEST_F(MenuTest, ViewPointButtonsSelectOneAndSaveItsCode) {
    const struct {
        C3DMenu::Element button;
        int32_t code;
    } table[] = {{C3DMenu::Near, 4},          {C3DMenu::Mid, 23},   {C3DMenu::Far, 24},
                 {C3DMenu::Backward, 1},      {C3DMenu::Center, 0}, {C3DMenu::ViewCenter, 21},
                 {C3DMenu::ViewFreqBars, 20}, {C3DMenu::Cycle, 25}};
    C3DMenu& m = make();
    for (const auto& row : table) {
        host.settings.viewPoint = row.code == 4 ? 23 : 4;
        goTo(C3DMenu::kViewPoints);
        clickOn(row.button);
        int selected = 0;
        for (const auto& other : table) {
            selected += m.element(other.button).selected;
        }
        EXPECT_EQ(selected, 1);
        EXPECT_TRUE(m.element(row.button).selected);
        clickOn(C3DMenu::Save);
        EXPECT_EQ(host.settings.viewPoint, row.code);
    }
    // Open selects the button of the current view point.
    host.settings.viewPoint = 20;
    m.open();
    EXPECT_TRUE(m.element(C3DMenu::ViewFreqBars).selected);
    EXPECT_FALSE(m.element(C3DMenu::Cycle).selected);
}

TEST_F(MenuTest, HeadTiltAndDragonToggle) {
    C3DMenu& m = make();
    host.settings = RideSettings{25, true, false, 0.75f, false, 0.5f};
    goTo(C3DMenu::kWave);
    EXPECT_TRUE(m.element(C3DMenu::Dragon).selected);
    EXPECT_FALSE(m.element(C3DMenu::HeadTilt).selected);
    clickOn(C3DMenu::HeadTilt);
    clickOn(C3DMenu::Dragon);
    clickOn(C3DMenu::Dragon);
    clickOn(C3DMenu::Dragon);
    clickOn(C3DMenu::Save);
    EXPECT_TRUE(host.settings.headTilt);
    EXPECT_FALSE(host.settings.dragonOn);
}

TEST_F(MenuTest, EveryPageTransitionOfTheClickTable) {
    using M = C3DMenu;
    const struct {
        int32_t from;
        M::Element button;
        int32_t to;
    } table[] = {
        {M::kMain, M::ViewPoint, M::kViewPoints},
        {M::kMain, M::Wave, M::kWave},
        {M::kMain, M::OverView, M::kOverview},
        {M::kMain, M::QuickSetup, M::kSetup1},
        {M::kSetup1, M::CircleTwo, M::kSetup2},
        {M::kSetup1, M::CircleThree, M::kSetup3},
        {M::kSetup1, M::Next, M::kSetup2},
        {M::kSetup2, M::CircleOne, M::kSetup1},
        {M::kSetup2, M::CircleThree, M::kSetup3},
        {M::kSetup2, M::Previous, M::kSetup1},
        {M::kSetup2, M::Next, M::kSetup3},
        {M::kSetup3, M::CircleOne, M::kSetup1},
        {M::kSetup3, M::CircleTwo, M::kSetup2},
        {M::kSetup3, M::Previous, M::kSetup2},
        // Buttons of other pages do nothing here.
        {M::kSetup1, M::Previous, M::kSetup1},
        {M::kSetup3, M::Next, M::kSetup3},
        {M::kSetup1, M::CircleOne, M::kSetup1},
        {M::kMain, M::Next, M::kMain},
        {M::kOverview, M::ViewPoint, M::kOverview},
        {M::kMain, M::Menu1, M::kMain},
    };
    C3DMenu& m = make();
    for (const auto& row : table) {
        goTo(row.from);
        clickOn(row.button);
        EXPECT_EQ(m.page(), row.to) << "from " << row.from << " button " << row.button;
        EXPECT_EQ(host.mode, 1);
    }
    for (int32_t page = M::kMain; page <= M::kSetup3; ++page) {
        if (page != M::kMain) {
            goTo(page);
            clickOn(M::Menu1);
            EXPECT_EQ(m.page(), M::kMain) << page;
        }
        for (M::Element close : {M::Save, M::Cancel}) {
            goTo(page);
            clickOn(close);
            EXPECT_EQ(m.page(), M::kClosed) << page;
            EXPECT_EQ(host.mode, 0);
        }
    }
    // Closed: the menu button opens the main page.
    clickOn(M::MenuF1);
    EXPECT_EQ(m.page(), M::kMain);
    EXPECT_EQ(host.mode, 1);
}

TEST_F(MenuTest, NoMusicNoticeLeadsToTheQuickSetupOnlyWhileNoMusicArrives) {
    C3DMenu& m = make();
    noMusicData = false;
    clickAt(512, 850);
    EXPECT_EQ(m.page(), C3DMenu::kClosed);
    EXPECT_EQ(host.mode, 0);
    noMusicData = true;
    clickAt(512, 850);
    EXPECT_EQ(m.page(), C3DMenu::kSetup1);
    EXPECT_EQ(host.mode, 1);
}

TEST_F(MenuTest, ExitButtonAsksTheQuestionOnlyWhenClosed) {
    C3DMenu& m = make();
    clickOn(C3DMenu::ExitEsc);
    EXPECT_EQ(host.exitQuestions, 1);
    EXPECT_EQ(m.page(), C3DMenu::kClosed);
    m.open();
    clickAt(25, 980);
    EXPECT_EQ(host.exitQuestions, 1);
    // A click is handled once.
    m.cancel();
    pointAt(25, 980);
    m.setClicked();
    m.drawOverlay();
    m.drawOverlay();
    EXPECT_EQ(host.exitQuestions, 2);
}

TEST_F(MenuTest, HandCursorOverTheKnobs) {
    C3DMenu& m = make();
    goTo(C3DMenu::kWave);
    const MenuElement& knob = m.element(C3DMenu::KnobSpeed);
    pointAt(knob.position[0], knob.position[1]);
    m.drawPage();
    EXPECT_EQ(m.cursorState(), 3);
    m.setCursorState(1); // the window procedure showed the hand
    m.drawPage();
    EXPECT_EQ(m.cursorState(), 1);
    pointAt(900, 900);
    m.drawPage();
    EXPECT_EQ(m.cursorState(), 2);
}

TEST_F(MenuTest, SplashHoldsFiveSecondsThenFades) {
    C3DMenu& m = make();
    float t = 0.0f;
    while (t < 4.95f) {
        ASSERT_TRUE(m.drawSplash(0.1f));
        EXPECT_EQ(m.splashAlpha(), 1.0f);
        t += 0.1f;
    }
    int frames = 0;
    float last = 1.0f;
    while (m.drawSplash(0.1f) && frames < 1000) {
        EXPECT_LT(m.splashAlpha(), last);
        last = m.splashAlpha();
        ++frames;
    }
    // 1 / 0.13 seconds of fade, about 77 frames of 0.1 s.
    EXPECT_NEAR(frames, 77, 2);
    EXPECT_EQ(m.splashAlpha(), 0.0f);
}

TEST_F(MenuTest, SettingsFileIsReadAtConstructionAndWrittenFromTheHostAtTheEnd) {
    unsigned char bytes[24] = {0, 0, 0, 0, 23, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0};
    float smoothing = 1.00224f, speed = 0.25f;
    std::memcpy(bytes + 16, &smoothing, 4);
    std::memcpy(bytes + 20, &speed, 4);
    testsupport::writeFile(scratch.file("Settings.dat"),
                           std::string(reinterpret_cast<char*>(bytes), sizeof bytes));
    make();
    EXPECT_EQ(host.settings.viewPoint, 23);
    EXPECT_TRUE(host.settings.dragonOn);
    EXPECT_EQ(host.settings.smoothing, 1.00224f);
    EXPECT_EQ(host.settings.speed, 0.25f);
    EXPECT_TRUE(host.settings.speedChanged);
    host.settings.viewPoint = 1; // the host's values are written, not the menu's copy
    menu.reset();
    std::string written = testsupport::readFile(scratch.file("Settings.dat"));
    ASSERT_EQ(written.size(), 24u);
    EXPECT_EQ(written[4], 1);
    EXPECT_EQ(written[8], 1); // dragon as 1
    EXPECT_EQ(written.substr(16, 4), std::string(reinterpret_cast<char*>(bytes + 16), 4));
}

TEST_F(MenuTest, FirstRunStartsFromTheDefaults) {
    host.settings = RideSettings{4, false, true, 0.1f, false, 0.9f};
    make();
    EXPECT_EQ(host.settings.viewPoint, 25);
    EXPECT_TRUE(host.settings.dragonOn);
    EXPECT_FALSE(host.settings.headTilt);
    EXPECT_EQ(host.settings.smoothing, 0.75f);
    EXPECT_EQ(host.settings.speed, 0.5f);
    menu.reset();
    RideSettings s{};
    EXPECT_TRUE(settingsfile::load(scratch.file("Settings.dat").c_str(), s));
    EXPECT_EQ(s.viewPoint, 25);
}

TEST_F(MenuTest, MissingImagesEndTheGameWithTheirName) {
    dataArchive = nullptr;
    try {
        make();
        FAIL() << "no error";
    } catch (const std::string& e) {
        EXPECT_EQ(e.rfind("C3DMenu: Couldn't load texture: MenuF1.png", 0), 0u) << e;
    }
}

} // namespace
