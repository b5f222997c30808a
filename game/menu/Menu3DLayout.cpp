// The menu's element table and the lazy loading of its images, one group per page.
#include "game/assets/TextureManager.h"
#include "game/menu/Menu3D.h"

#include <string>

void C3DMenu::layout() {
    struct Row {
        Element e;
        const char* file;
        float x, y, z, halfH, aspect, hitW, hitH;
    };
    static const Row rows[] = {
        {MenuF1, "MenuF1.png", 25, 1010, 0, 20, 2, 20, 14},
        {ExitEsc, "ExitEsc.png", 25, 980, 0, 20, 2, 20, 14},
        {WMPLogo, "WMPLogo.png", 25, 940, 0, 20, 1, 20, 20},
        {NoMusicStreaming, "NoMusicStreaming.png", 512, 850, 0, 100, 4, 200, 80},
        {Background, "TCBackground.jpg", 512, 512, -100, 512, 1, 0, 0},
        {Title, "Tonecrest.png", 380, 870, 0, 260, 2, 0, 0},
        {OverView, "OverView.png", 510, 660, 0, 45, 4, 170, 40},
        {ViewPoint, "ViewPoint.png", 510, 560, 0, 45, 8, 220, 40},
        {Wave, "Wave.png", 510, 460, 0, 45, 4, 110, 40},
        {Help, "Help.png", 510, 260, 0, 45, 4, 110, 40},
        {QuickSetup, "QuickSetup.png", 510, 160, 0, 45, 8, 220, 40},
        {Save, "Save.png", 650, 80, 0, 20, 4, 80, 30},
        {Cancel, "Cancel.png", 850, 80, 0, 20, 8, 80, 30},
        {Menu1, "Menu1.png", 170, 80, 0, 20, 4, 80, 30},
        {HyKey, "HyKey.png", 668, 660, 0, 40, 2, 0, 0},
        {Forward, "Forward.png", 380, 580, 0, 30, 4, 120, 30},
        {Near, "Near.png", 385, 510, 0, 30, 4, 110, 30},
        {Mid, "Mid.png", 635, 510, 0, 30, 4, 80, 30},
        {Far, "Far.png", 860, 510, 0, 30, 4, 80, 30},
        {Backward, "Backward.png", 430, 440, 0, 30, 8, 160, 30},
        {Center, "Center.png", 400, 370, 0, 30, 8, 130, 30},
        {ViewCenter, "ViewCenter.png", 476, 300, 0, 30, 8, 210, 30},
        {ViewFreqBars, "ViewFreqBars.png", 510, 230, 0, 30, 16, 235, 30},
        {Cycle, "Cycle.png", 380, 160, 0, 30, 4, 130, 30},
        {SmoothRough, "SmoothRough.png", 475, 520, -2, 60, 4, 0, 0},
        {SlowFast, "SlowFast.png", 475, 412, -2, 60, 4, 0, 0},
        {KnobSmoothing, "Knob.png", kKnobLeft, 520, -1, 30, 0.5f, 30, 30},
        {KnobSpeed, "Knob.png", kKnobLeft, 412, -1, 30, 0.5f, 30, 30},
        {HeadTilt, "HeadTilt.png", 414, 300, 0, 30, 8, 160, 30},
        {Dragon, "Dragon.png", 377, 200, 0, 30, 8, 130, 30},
        {Explanation, "Explanation.png", 512, 437, 0.5f, 200, 1, 120, 120},
        {QuickSetupHeading, "QuickSetupHeading.png", 512, 920, 0, 100, 4, 0, 0},
        {CircleOne, "CircleOne.png", 400, 755, 0, 50, 1, 30, 30},
        {CircleTwo, "CircleTwo.png", 512, 755, 0, 50, 1, 30, 30},
        {CircleThree, "CircleThree.png", 624, 755, 0, 50, 1, 30, 30},
        {Previous, "Previous.png", 150, 755, 0, 20, 8, 60, 20},
        {Next, "Next.png", 850, 755, 0, 20, 4, 60, 20},
        {Step1RunWMP, "Step1RunWMP.png", 512, 625, 0, 60, 8, 0, 0},
        {Step1Text, "Step1Text.png", 512, 370, 0, 100, 1.8f, 40, 40},
        {Step2SelectPlugin, "Step2SelectPlugin.png", 512, 625, 0, 100, 4, 0, 0},
        {Step2Text, "Step2Text.png", 735, 410, 0, 160, 2, 0, 0},
        {WMPFindPlugin, "WMPFindPlugin.png", 240, 370, 0, 200, 2, 0, 0},
        {Step3PlayMusic, "Step3PlayMusic.png", 512, 590, 0, 100, 4, 0, 0},
        {Step3Text, "Step3Text.png", 735, 350, 0, 120, 2, 0, 0},
        {WMPTCPlaying, "WMPTCPlaying.png", 240, 310, 0, 200, 1, 0, 0},
        {CheckMark, "CheckMark.png", 10, 10, 0, 50, 1, 0, 0},
        {SplashTitle, "Tonecrest.png", 380, 870, 0, 260, 2, 0, 0},
        {Splash2Dot0, "2Dot0.png", 658, 800, 0, 50, 2, 0, 0},
        {SplashBrightfold, "BrightfoldSoftware.png", 485, 650, 0, 110, 4, 0, 0},
        {SplashDotCom, "BrightfoldDotCom.png", 485, 280, 0, 35, 16, 0, 0},
        {SplashNotice, "Notice.png", 460, 180, 0, 25, 4, 0, 0},
        {SplashDragon, kSplashBackdrop, 512, 512, 0, 512, 1, 0, 0},
        {SplashRide, "RideTheMusicalWave.png", 512, 300, 0, 30, 16, 0, 0},
        {FlashGuardSwitch, nullptr, 380, 135, 0, 25, 6.4f, 160, 25},
    };
    for (const Row& r : rows) {
        elements[r.e].place(r.x, r.y, r.z, r.halfH, r.aspect, r.hitW, r.hitH);
        files[r.e] = r.file;
    }
    elements[Explanation].enlarge[0] = 3.0f;
    elements[Explanation].enlarge[1] = 3.5f;
    struct Offset {
        Element e;
        float left;
    };
    static const Offset offsets[] = {{Near, 110},
                                     {Mid, 90},
                                     {Far, 92},
                                     {Backward, 185},
                                     {Center, 155},
                                     {ViewCenter, 231},
                                     {ViewFreqBars, 265},
                                     {Cycle, 135},
                                     {HeadTilt, 185},
                                     {Dragon, 148},
                                     {FlashGuardSwitch, 151}};
    for (const Offset& o : offsets) {
        elements[o.e].setCheckOffset(o.left);
    }
}

void C3DMenu::loadElement(Element e, const char* file) {
    MenuElement& el = elements[e];
    if (el.texture >= 0) {
        return;
    }
    if (!textureManager.loadTexture(file, el.texture, GL_CLAMP_TO_EDGE, true)) {
        el.texture = -1;
        // The texture manager's reason follows, as for every load of the game.
        std::string reason = textureManager.loadError().empty()
                                 ? std::string()
                                 : " (" + textureManager.loadError() + ")";
        if (e == Background) {
            throw std::string("C3DMenu: Couldn't load texture") + reason;
        }
        throw std::string("C3DMenu: Couldn't load texture: ") + file + reason;
    }
}

void C3DMenu::loadGroup(Group g) {
    if (groupLoaded[g]) {
        return;
    }
    static const struct {
        Group group;
        Element first, last;
    } ranges[] = {
        {kGroupClosed, MenuF1, NoMusicStreaming},
        {kGroupOpen, Background, Title},
        {kGroupOpen, Save, Menu1},
        {kGroupMain, OverView, QuickSetup},
        {kGroupViewPoints, HyKey, Cycle},
        {kGroupViewPoints, CheckMark, CheckMark},
        {kGroupWave, SmoothRough, Dragon},
        {kGroupWave, CheckMark, CheckMark},
        {kGroupOverview, Explanation, Explanation},
        {kGroupSetup, QuickSetupHeading, WMPTCPlaying},
        {kGroupSplash, SplashTitle, SplashRide},
    };
    for (const auto& r : ranges) {
        if (r.group != g) {
            continue;
        }
        for (int e = r.first; e <= r.last; ++e) {
            loadElement(static_cast<Element>(e), files[e]);
        }
    }
    groupLoaded[g] = true;
}
