// What the menu starts: the registrar and NowPane when connecting to the player, and the help
// viewer resolved through the registry, with stand-in programs that record their arguments.
#include "tests/game/menu/MenuTestSupport.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using menutest::MenuTest;

// A program that writes its arguments to the file out.
void recorder(const std::string& path, const std::string& out) {
    testsupport::writeFile(path, "#!/bin/sh\necho \"$@\" > " + out + ".tmp && mv " + out + ".tmp " +
                                     out + "\n");
    chmod(path.c_str(), 0755);
}

std::string waitFor(const std::string& path) {
    for (int i = 0; i < 100 && !testsupport::fileExists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return testsupport::readFile(path);
}

class MenuLaunchTest : public MenuTest {
  protected:
    void SetUp() override {
        MenuTest::SetUp();
        const char* path = std::getenv("PATH");
        oldPath = path != nullptr ? path : "";
    }
    void TearDown() override {
        setenv("PATH", oldPath.c_str(), 1);
        MenuTest::TearDown();
    }
    void registerViewer(const std::string& program) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kHtmlHelpServerKey, 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(program.c_str()),
                       static_cast<DWORD>(program.size() + 1));
        RegCloseKey(key);
    }
    std::string oldPath;
};

TEST_F(MenuLaunchTest, PlayerButtonRegistersThePluginThenStartsNowPane) {
    recorder(scratch.file("regsvr32"), scratch.file("regsvr32.args"));
    recorder(scratch.file("NowPane"), scratch.file("nowpane.args"));
    make();
    clickOn(C3DMenu::WMPLogo);
    EXPECT_EQ(waitFor(scratch.file("regsvr32.args")), "/s TCwavetap2.dll\n");
    EXPECT_EQ(waitFor(scratch.file("nowpane.args")), "\n");
    EXPECT_EQ(menu->page(), C3DMenu::kClosed);
    // The first quick-setup page's text does the same.
    std::remove(scratch.file("nowpane.args").c_str());
    goTo(C3DMenu::kSetup1);
    clickOn(C3DMenu::Step1Text);
    EXPECT_EQ(waitFor(scratch.file("nowpane.args")), "\n");
    EXPECT_EQ(menu->page(), C3DMenu::kSetup1);
}

TEST_F(MenuLaunchTest, MissingPlayerProgramsAreIgnored) {
    setenv("PATH", scratch.file("nothing-here").c_str(), 1);
    make();
    clickOn(C3DMenu::WMPLogo);
    EXPECT_EQ(menu->page(), C3DMenu::kClosed);
    EXPECT_EQ(host.exitQuestions, 0);
}

TEST_F(MenuLaunchTest, HelpOpensThePagesInTheRegisteredViewer) {
    std::filesystem::create_directory(scratch.file("help"));
    testsupport::writeFile(scratch.file("help/index.html"), "<html></html>");
    recorder(scratch.file("viewer"), scratch.file("viewer.args"));
    registerViewer(scratch.file("viewer"));
    make();
    goTo(C3DMenu::kMain);
    clickOn(C3DMenu::Help);
    std::string expected = std::filesystem::canonical(scratch.file("help/index.html")).string();
    EXPECT_EQ(waitFor(scratch.file("viewer.args")), expected + "\n");
    EXPECT_EQ(menu->page(), C3DMenu::kMain);
    EXPECT_FALSE(menu->helpViewer().unavailable());
}

TEST_F(MenuLaunchTest, WithoutAViewerHelpStaysSilentForTheRestOfTheRun) {
    std::filesystem::create_directory(scratch.file("help"));
    testsupport::writeFile(scratch.file("help/index.html"), "<html></html>");
    setenv("PATH", scratch.file("nothing-here").c_str(), 1);
    make();
    goTo(C3DMenu::kMain);
    clickOn(C3DMenu::Help);
    EXPECT_TRUE(menu->helpViewer().unavailable());
    // A viewer that turns up later is not looked for again.
    recorder(scratch.file("viewer"), scratch.file("viewer.args"));
    registerViewer(scratch.file("viewer"));
    clickOn(C3DMenu::Help);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(testsupport::fileExists(scratch.file("viewer.args")));
}

TEST(HtmlHelpPagesTest, AHelpFileStandsForItsPagesFolder) {
    testsupport::ScratchDir scratch;
    std::filesystem::create_directories(scratch.file("game/help"));
    testsupport::writeFile(scratch.file("game/help/index.html"), "x");
    std::string index = std::filesystem::canonical(scratch.file("game/help/index.html")).string();
    EXPECT_EQ(plat::helpPagesFor((scratch.path() + "\\game\\Tonecrest2.chm").c_str()), index);
    EXPECT_EQ(plat::helpPagesFor((scratch.file("game/Tonecrest2.chm")).c_str()), index);
    EXPECT_EQ(plat::helpPagesFor((scratch.file("Tonecrest2.chm")).c_str()), "");
    EXPECT_EQ(plat::helpPagesFor(""), "");
    EXPECT_EQ(plat::helpPagesFor(nullptr), "");
}

} // namespace
