// A 3D menu on a GL context with the built data archive, in a scratch folder of its own, with
// a host that records what the menu does to it. Clicks are given in overlay units and go
// through the window-pixel path of the real pointer (an 800 x 600 viewport).
#pragma once

#include "game/assets/DataArchive.h"
#include "game/menu/Menu3D.h"
#include "game/music/MusicState.h"
#include "platform/registry/Registry.h"
#include "tests/support/GLContextFixture.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

namespace menutest {

struct FakeHost : IMenuHost {
    RideSettings getRideSettings() const override { return settings; }
    void setRideSettings(const RideSettings& s) override {
        settings = s;
        ++pushes;
    }
    void setMode(int32_t m) override { mode = m; }
    void confirmExit() override { ++exitQuestions; }
    HWND ownerWindow() const override { return nullptr; }

    RideSettings settings{25, true, false, 0.75f, true, 0.5f};
    int32_t mode = 0;
    int pushes = 0;
    int exitQuestions = 0;
};

class MenuTest : public testsupport::GLTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(isolation.ok());
        std::filesystem::create_directory_symlink(std::string(TC_DIST_DIR) + "/data",
                                                  scratch.file("data"));
        plat::setRegistryRoot(scratch.file("registry"));
        archive = std::make_unique<CDataArchive>();
        dataArchive = archive.get();
        glViewport(0, 0, 800, 600);
        noMusicData = false;
    }
    void TearDown() override {
        menu.reset();
        dataArchive = nullptr;
        archive.reset();
        noMusicData = false;
        plat::setRegistryRoot("");
    }
    C3DMenu& make() {
        menu = std::make_unique<C3DMenu>(host);
        return *menu;
    }
    // Moves the pointer to an overlay position through window pixels.
    void pointAt(float x, float y) {
        menu->pointerTest(static_cast<int>(std::lround(x * 800.0f / 1024.0f)),
                          static_cast<int>(std::lround(600.0f - y * 600.0f / 1024.0f)));
    }
    // A press at an overlay position, handled by the next drawing of the menu.
    void clickAt(float x, float y) {
        pointAt(x, y);
        menu->setClicked();
        frame();
    }
    void clickOn(C3DMenu::Element e) {
        const MenuElement& el = menu->element(e);
        clickAt(el.position[0], el.position[1]);
    }
    void frame() {
        if (menu->page() == C3DMenu::kClosed) {
            menu->drawOverlay();
        } else {
            menu->drawPage();
        }
    }
    // Opens the menu and walks to a page by its buttons.
    void goTo(int32_t page) {
        menu->open();
        switch (page) {
        case C3DMenu::kViewPoints:
            clickOn(C3DMenu::ViewPoint);
            break;
        case C3DMenu::kWave:
            clickOn(C3DMenu::Wave);
            break;
        case C3DMenu::kOverview:
            clickOn(C3DMenu::OverView);
            break;
        case C3DMenu::kSetup1:
            clickOn(C3DMenu::QuickSetup);
            break;
        case C3DMenu::kSetup2:
            clickOn(C3DMenu::QuickSetup);
            clickOn(C3DMenu::Next);
            break;
        case C3DMenu::kSetup3:
            clickOn(C3DMenu::QuickSetup);
            clickOn(C3DMenu::CircleThree);
            break;
        default:
            break;
        }
        ASSERT_EQ(menu->page(), page);
    }

    testsupport::ScratchDir scratch;
    testsupport::IsolatedMusicBlock isolation{scratch};
    std::unique_ptr<CDataArchive> archive;
    FakeHost host;
    std::unique_ptr<C3DMenu> menu;
};

} // namespace menutest
