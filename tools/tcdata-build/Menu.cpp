// Images of the 3D menu: the in-ride buttons, the pages' buttons and sliders, and the
// quick-setup pages that show how music reaches the game through tcplayer.
#include "tools/tcdata-build/Artwork.h"
#include "tools/tcdata-build/ImageFile.h"
#include "tools/tcdata-build/MenuStyle.h"
#include "tools/tcdata-build/Noise.h"
#include "tools/tcdata-build/PlayerArt.h"

#include <cmath>
#include <string>
#include <vector>

using namespace menustyle;

namespace {

// Two button states in one image for the closed-menu buttons. The game shows texture rows
// t = 0 to 0.5 (the bottom half of the image) normally and a higher band while hovered.
Canvas twoState(TextPainter& text, const std::string& s, float hoverCentreT) {
    const int size = 256;
    Canvas c(size, size);
    auto button = [&](float cy, bool hot) {
        float top = cy - 50, bottom = cy + 50;
        c.roundRect(10, top, size - 10, bottom, 30,
                    hot ? Rgba{0.95f, 0.55f, 0.15f, 0.95f} : Rgba{0.12f, 0.22f, 0.48f, 0.85f},
                    hot ? Rgba{0.65f, 0.20f, 0.05f, 0.95f} : Rgba{0.04f, 0.08f, 0.22f, 0.85f});
        c.roundFrame(10, top, size - 10, bottom, 30, 5,
                     hot ? Rgba{1, 0.9f, 0.6f, 1} : Rgba{0.5f, 0.75f, 1, 1});
        lettering(c, text, s, Face::SansBold, 56, size / 2.0f, cy, size - 50.0f, Rgba{1, 1, 1, 1},
                  hot ? Rgba{1, 0.9f, 0.6f, 1} : Rgba{0.75f, 0.88f, 1, 1}, kGlow);
    };
    button(size * 0.75f, false); // t = 0.25, the middle of the bottom half
    button(size * (1 - hoverCentreT), true);
    return c;
}

Canvas noMusic(TextPainter& text) {
    Canvas c(512, 128);
    c.roundRect(6, 6, 506, 122, 24, Rgba{0.45f, 0.05f, 0.08f, 0.88f},
                Rgba{0.20f, 0.02f, 0.05f, 0.88f});
    c.roundFrame(6, 6, 506, 122, 24, 4, Rgba{1, 0.55f, 0.4f, 1});
    lettering(c, text, "No Music Is Streaming", Face::SansBold, 44, 256, 46, 470, kGoldTop,
              kGoldBottom, kGlow);
    text.drawCentred(c, "Click here to set up the music", Face::Sans, 24, 256, 96,
                     Rgba{1, 0.9f, 0.85f, 1});
    return c;
}

Canvas background() {
    Canvas c(1024, 1024);
    c.shade([](float u, float v) {
        float n = fbm(u * 3, v * 3, 0.1f, 5, 61u);
        Rgba top{0.02f, 0.04f, 0.14f, 1}, bottom{0.08f, 0.02f, 0.16f, 1};
        Rgba base = mix(top, bottom, v);
        // Faint bands of a wave across the page.
        float wave = 0;
        for (int k = 0; k < 5; ++k) {
            float y = 0.55f + 0.08f * k + 0.05f * std::sin(u * 9 + k * 1.7f);
            wave += std::exp(-std::pow((v - y) * 90, 2.0f)) * (0.35f - 0.05f * k);
        }
        base.r += 0.06f * n + wave * 0.2f;
        base.g += 0.08f * n + wave * 0.45f;
        base.b += 0.14f * n + wave * 0.9f;
        return base;
    });
    return c;
}

Canvas slider(TextPainter& text, const std::string& left, const std::string& right) {
    // The knob runs over x 258 to 690 of the overlay; this image spans 235 to 715.
    Canvas c(512, 128);
    float x0 = (258 - 235) / 480.0f * 512, x1 = (690 - 235) / 480.0f * 512;
    c.roundRect(x0 - 8, 84, x1 + 8, 100, 8, Rgba{0.3f, 0.5f, 0.9f, 1}, Rgba{0.1f, 0.2f, 0.5f, 1});
    for (int tick = 0; tick <= 10; ++tick) {
        float x = x0 + (x1 - x0) * tick / 10;
        c.line(x, 104, x, tick % 5 == 0 ? 118 : 112, 2, Rgba{0.7f, 0.85f, 1, 0.9f});
    }
    lettering(c, text, left, Face::SansBold, 40, 110, 42, 200, kIceTop, kIceBottom, kGlow);
    lettering(c, text, right, Face::SansBold, 40, 402, 42, 200, kGoldTop, kGoldBottom, kGlow);
    return c;
}

Canvas knob() {
    Canvas c(64, 128);
    c.roundRect(12, 6, 52, 122, 16, Rgba{1, 0.85f, 0.5f, 1}, Rgba{0.85f, 0.35f, 0.05f, 1});
    c.roundFrame(12, 6, 52, 122, 16, 3, Rgba{1, 1, 0.85f, 1});
    for (int k = 0; k < 3; ++k) {
        c.line(22, 52 + k * 12.0f, 42, 52 + k * 12.0f, 3, Rgba{0.5f, 0.2f, 0.02f, 0.9f});
    }
    return c;
}

Canvas circleNumber(TextPainter& text, const std::string& digit) {
    Canvas c(128, 128);
    c.disc(64, 64, 56, Rgba{0.1f, 0.25f, 0.6f, 0.95f});
    c.ring(64, 64, 52, 6, Rgba{0.6f, 0.85f, 1, 1});
    lettering(c, text, digit, Face::SansBold, 80, 64, 64, 100, Rgba{1, 1, 1, 1}, kIceTop, kGlow);
    return c;
}

Canvas checkMark() {
    Canvas c(128, 128);
    std::vector<std::pair<float, float>> tick = {{14, 70},  {34, 52},  {54, 76},
                                                 {104, 18}, {120, 36}, {54, 112}};
    c.polygon(tick, Rgba{0.3f, 1, 0.4f, 1});
    c.glow(6, Rgba{0, 0.2f, 0, 0.9f});
    return c;
}

Canvas hotKeys(TextPainter& text) {
    return textPanel(text,
                     {"#Keys while riding", "D F G  Forward near, mid, far", "H  Backward",
                      "B  From center    S  Look at center", "A  Frequency bars    R  Cycle",
                      "Y  Head tilt    V  Dragon    Q  Status", "F1  Menu    F2  Frame rate",
                      "Esc  Exit"},
                     512, 256, 21);
}

Canvas explanation(TextPainter& text) {
    return textPanel(
        text,
        {"#Ride the musical wave", "The trail you ride is the music of the",
         "last few seconds: quiet passages lie low", "and blue, loud ones rise high and red.", "",
         "A skeletal dragon flies ahead of you and", "moves to the level of the music. Bars,",
         "flames, fountains, snow, clouds, the sky", "and the ground all follow the sound.", "",
         "#Where the music comes from", "tcplayer plays your music, or listens to",
         "what the desktop plays, and hands the", "spectrum to the game. See Quick Setup.", "",
         "Choose view points, the wave's smoothing", "and speed here in the menu."},
        512, 512, 22);
}

void addLabels(ZipWriter& zip, TextPainter& text) {
    struct Label {
        const char* file;
        const char* text;
        int w, h;
    };
    const Label labels[] = {
        {"OverView.png", "Overview", 512, 128},
        {"ViewPoint.png", "View Points", 1024, 128},
        {"Wave.png", "Wave", 512, 128},
        {"Help.png", "Help", 512, 128},
        {"QuickSetup.png", "Quick Setup", 1024, 128},
        {"Save.png", "Save", 512, 128},
        {"Cancel.png", "Cancel", 1024, 128},
        {"Menu1.png", "Menu", 512, 128},
        {"Forward.png", "Forward", 512, 128},
        {"Near.png", "Near", 512, 128},
        {"Mid.png", "Mid", 512, 128},
        {"Far.png", "Far", 512, 128},
        {"Backward.png", "Backward", 1024, 128},
        {"Center.png", "From Center", 1024, 128},
        {"ViewCenter.png", "Look At Center", 1024, 128},
        {"ViewFreqBars.png", "Look At The Frequency Bars", 1024, 64},
        {"Cycle.png", "Cycle", 512, 128},
        {"HeadTilt.png", "Head Tilt", 1024, 128},
        {"Dragon.png", "Dragon", 1024, 128},
        {"QuickSetupHeading.png", "Quick Setup", 512, 128},
        {"Previous.png", "Previous", 1024, 128},
        {"Next.png", "Next", 512, 128},
    };
    for (const Label& l : labels) {
        zip.add(l.file, encodePng(label(text, l.text, l.w, l.h)));
    }
}

Canvas heading(TextPainter& text, const std::string& s, int w, int h) {
    Canvas c(w, h);
    lettering(c, text, s, Face::SansBold, h * 0.5f, w / 2.0f, h / 2.0f, w * 0.94f, kIceTop,
              kIceBottom, kGlow);
    return c;
}

void addQuickSetup(ZipWriter& zip, TextPainter& text) {
    zip.add("Step1RunWMP.png", encodePng(heading(text, "Step 1: Start tcplayer", 1024, 128)));
    zip.add("Step1Text.png",
            encodePng(textPanel(text,
                                {"#Start the player", "Click here to start tcplayer",
                                 "with the Tone Crest", "visualization registered.", "",
                                 "Or run tcplayer yourself", "and open a music file."},
                                460, 256, 22)));
    zip.add("Step2SelectPlugin.png",
            encodePng(heading(text, "Step 2: Choose Tone Crest", 1024, 256)));
    zip.add("Step2Text.png",
            encodePng(textPanel(text,
                                {"#In the now-playing pane", "Open tcplayer's now-playing",
                                 "pane and pick \"Tone Crest\"", "from its list of",
                                 "visualizations.", "", "The pane then shows the song",
                                 "title and that the game", "is listening."},
                                512, 256, 21)));
    zip.add("WMPFindPlugin.png", encodePng(playerChoosingVisualization(text)));
    zip.add("Step3PlayMusic.png", encodePng(heading(text, "Step 3: Play Music", 1024, 256)));
    zip.add("Step3Text.png",
            encodePng(textPanel(text,
                                {"#Play your music", "Play a song in tcplayer, or",
                                 "let it listen to what the", "desktop plays.", "",
                                 "Come back here: the wave", "rides to the music."},
                                512, 256, 22)));
    zip.add("WMPTCPlaying.png", encodePng(playerShowingToneCrest(text)));
}

} // namespace

void addMenuImages(ZipWriter& zip, TextPainter& text) {
    zip.add("MenuF1.png", encodePng(twoState(text, "Menu F1", 0.7f)));
    zip.add("ExitEsc.png", encodePng(twoState(text, "Exit Esc", 0.675f)));
    zip.add("WMPLogo.png", encodePng(playerIcon(128)));
    zip.add("NoMusicStreaming.png", encodePng(noMusic(text)));
    zip.add("TCBackground.jpg", encodeJpeg(background()));
    addLabels(zip, text);
    zip.add("HyKey.png", encodePng(hotKeys(text)));
    zip.add("SmoothRough.png", encodePng(slider(text, "Smooth", "Rough")));
    zip.add("SlowFast.png", encodePng(slider(text, "Slow", "Fast")));
    zip.add("Knob.png", encodePng(knob()));
    zip.add("Explanation.png", encodePng(explanation(text)));
    zip.add("CircleOne.png", encodePng(circleNumber(text, "1")));
    zip.add("CircleTwo.png", encodePng(circleNumber(text, "2")));
    zip.add("CircleThree.png", encodePng(circleNumber(text, "3")));
    zip.add("CheckMark.png", encodePng(checkMark()));
    addQuickSetup(zip, text);
}
