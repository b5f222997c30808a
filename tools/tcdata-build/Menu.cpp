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
// t = 0 to 0.5 (the bottom half of the image) normally and a higher band while hovered. The
// buttons sit at the window's left edge, which cuts off the left fifth of the image (and the
// top of the menu button's), so the plate keeps to the right and a little low.
Canvas twoState(TextPainter& text, const std::string& s, float hoverCentreT) {
    const int size = 256;
    Canvas c(size, size);
    auto button = [&](float cy, bool hot) {
        float top = cy - 44, bottom = cy + 44, left = 56, right = size - 6;
        c.roundRect(left, top, right, bottom, 26,
                    hot ? Rgba{0.95f, 0.55f, 0.15f, 0.95f} : Rgba{0.20f, 0.34f, 0.72f, 0.92f},
                    hot ? Rgba{0.65f, 0.20f, 0.05f, 0.95f} : Rgba{0.05f, 0.10f, 0.32f, 0.92f});
        c.roundFrame(left, top, right, bottom, 26, 5,
                     hot ? Rgba{1, 0.9f, 0.6f, 1} : Rgba{0.6f, 0.8f, 1, 1});
        lettering(c, text, s, Face::SansBold, 60, (left + right) / 2.0f, cy, right - left - 24.0f,
                  Rgba{1, 1, 1, 1}, hot ? Rgba{1, 0.9f, 0.6f, 1} : Rgba{0.75f, 0.88f, 1, 1}, kGlow);
    };
    button(size * 0.78f, false); // inside rows 128 to 256, clear of the cut top
    button(size * (1 - hoverCentreT) + 6, true);
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
    // The game prints the knob's number just right of its centre, so the grip stays narrow.
    Canvas c(64, 128);
    c.roundRect(20, 6, 44, 122, 10, Rgba{1, 0.85f, 0.5f, 1}, Rgba{0.85f, 0.35f, 0.05f, 1});
    c.roundFrame(20, 6, 44, 122, 10, 3, Rgba{1, 1, 0.85f, 1});
    for (int k = 0; k < 3; ++k) {
        c.line(26, 52 + k * 12.0f, 38, 52 + k * 12.0f, 3, Rgba{0.5f, 0.2f, 0.02f, 0.9f});
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
    // Small on screen: two short lines.
    return textPanel(text, {"#Keys", "The letters work", "while riding"}, 256, 128, 24);
}

// Read while hovered: the game then draws it 3 times wider and 3.5 times taller, centred a
// little below the middle of the screen, so the panel keeps to the part that stays on screen
// (the middle 84% across, from 9% to 80% down).
Canvas explanation(TextPainter& text) {
    Canvas c(512, 512);
    c.paste(
        textPanel(text,
                  {"#Ride the musical wave", "The trail you ride is the music of the",
                   "last few seconds: quiet passages lie low",
                   "and blue, loud ones rise high and red.",
                   "A dragon flies ahead and moves to the", "music; bars, flames, fountains, snow,",
                   "clouds, sky and ground follow the sound.", "#Where the music comes from",
                   "tcplayer plays your music (tcplayer", "song.flac) or listens to the desktop",
                   "(tcplayer --listen). See Quick Setup."},
                  430, 364, 22),
        41, 46);
    return c;
}

void addButtons(ZipWriter& zip, TextPainter& text) {
    // widthFraction: the share of the image's width that the game's hit box covers, so that
    // the plate shows where a click counts.
    struct Button {
        const char* file;
        const char* text;
        int w, h;
        float widthFraction;
    };
    const Button buttons[] = {
        {"OverView.png", "Overview", 512, 128, 0.94f},
        {"ViewPoint.png", "View Points", 1024, 128, 0.61f},
        {"Wave.png", "Wave", 512, 128, 0.61f},
        {"Help.png", "Help", 512, 128, 0.61f},
        {"QuickSetup.png", "Quick Setup", 1024, 128, 0.61f},
        {"Save.png", "Save", 512, 128, 1.0f},
        {"Cancel.png", "Cancel", 1024, 128, 0.5f},
        {"Menu1.png", "Menu", 512, 128, 1.0f},
        {"Near.png", "Near  D", 512, 128, 0.92f},
        {"Mid.png", "Mid  F", 512, 128, 0.67f},
        {"Far.png", "Far  G", 512, 128, 0.67f},
        {"Backward.png", "Backward  H", 1024, 128, 0.67f},
        {"Center.png", "From Center  B", 1024, 128, 0.6f},
        {"ViewCenter.png", "Look At Center  S", 1024, 128, 0.875f},
        {"ViewFreqBars.png", "Look At The Frequency Bars  A", 2048, 128, 0.56f},
        {"Cycle.png", "Cycle  R", 512, 128, 1.0f},
        {"HeadTilt.png", "Head Tilt  Y", 1024, 128, 0.67f},
        {"Dragon.png", "Dragon  V", 1024, 128, 0.54f},
        {"Previous.png", "Previous", 1024, 128, 0.375f},
        {"Next.png", "Next", 512, 128, 0.75f},
    };
    for (const Button& b : buttons) {
        zip.add(b.file, encodePng(buttonPlate(text, b.text, b.w, b.h, b.widthFraction)));
    }
    // "Forward" heads the row of the three forward view points; it is a caption.
    zip.add("Forward.png", encodePng(label(text, "Forward:", 512, 128)));
}

Canvas heading(TextPainter& text, const std::string& s, int w, int h) {
    Canvas c(w, h);
    lettering(c, text, s, Face::SansBold, h * 0.5f, w / 2.0f, h / 2.0f, w * 0.94f, kIceTop,
              kIceBottom, kGlow);
    return c;
}

// A step's heading with a second line under it; the lettering sits in the band of the image
// between top and bottom (fractions of its height) that no other image of the page covers.
Canvas stepHeading(TextPainter& text, const std::string& title, const std::string& line, int w,
                   int h, float top, float bottom, Face lineFace) {
    Canvas c(w, h);
    float band = (bottom - top) * h;
    float titleCy = top * h + band * 0.33f, lineCy = top * h + band * 0.8f;
    lettering(c, text, title, Face::SansBold, band * 0.42f, w / 2.0f, titleCy, w * 0.94f, kIceTop,
              kIceBottom, kGlow);
    lettering(c, text, line, lineFace, band * 0.22f, w / 2.0f, lineCy, w * 0.94f, kGoldTop,
              kGoldBottom, kGlow);
    return c;
}

// A text panel of pw x ph pixels placed at (x, y) in an otherwise clear w x h image.
Canvas panelAt(TextPainter& text, const std::vector<std::string>& lines, int w, int h, int x, int y,
               int pw, int ph, float px) {
    Canvas c(w, h);
    c.paste(textPanel(text, lines, pw, ph, px), x, y);
    return c;
}

// Step 1's clickable panel: the game answers clicks only in a square at its centre, which is
// drawn as a round button.
Canvas step1Panel(TextPainter& text) {
    Canvas c(460, 256);
    c.roundRect(4, 4, 456, 252, 18, Rgba{0.05f, 0.10f, 0.25f, 0.82f},
                Rgba{0.02f, 0.04f, 0.12f, 0.88f});
    c.roundFrame(4, 4, 456, 252, 18, 3, Rgba{0.45f, 0.7f, 1.0f, 0.9f});
    text.drawCentred(c, "Type one of them in a terminal", Face::Sans, 24, 230, 30,
                     Rgba{0.92f, 0.95f, 1, 1});
    text.drawCentred(c, "in the game folder, or:", Face::Sans, 24, 230, 60,
                     Rgba{0.92f, 0.95f, 1, 1});
    c.disc(230, 146, 56, Rgba{1, 0.6f, 0.15f, 1});
    c.disc(230, 146, 50, Rgba{0.85f, 0.35f, 0.05f, 1});
    c.roundRect(190, 100, 270, 140, 20, Rgba{1, 1, 1, 0.25f}, Rgba{1, 1, 1, 0.0f});
    text.drawCentred(c, "Click", Face::SansBold, 30, 230, 130, Rgba{1, 1, 1, 1});
    text.drawCentred(c, "here", Face::SansBold, 30, 230, 164, Rgba{1, 1, 1, 1});
    text.drawCentred(c, "and the game starts tcplayer", Face::Sans, 24, 230, 232,
                     Rgba{0.92f, 0.95f, 1, 1});
    return c;
}

void addQuickSetup(ZipWriter& zip, TextPainter& text) {
    zip.add("Step1RunWMP.png",
            encodePng(stepHeading(text, "Step 1: Start tcplayer",
                                  "./tcplayer song.flac    or    ./tcplayer --listen", 1024, 128,
                                  0.0f, 1.0f, Face::MonoBold)));
    zip.add("Step1Text.png", encodePng(step1Panel(text)));
    // Page 2: the heading's image reaches into the circles above and the panels below; its
    // lettering keeps to the free band.
    zip.add("Step2SelectPlugin.png",
            encodePng(stepHeading(text, "Step 2: Show Tone Crest", "in tcplayer's now-playing pane",
                                  1024, 256, 0.16f, 0.78f, Face::SansBold)));
    // Shown from x 415 to 1055 of the overlay: the panel stays left of the screen's edge and
    // below the heading.
    zip.add("Step2Text.png",
            encodePng(panelAt(
                text,
                {"#The visualization", "tcplayer shows TCwavetap2:", "a spectrum figure and the",
                 "line \"Click Here\".", "If another one shows, pick", "\"Tone Crest\" from the",
                 "pane's list. Keep the", "window visible."},
                1024, 512, 28, 96, 940, 400, 34)));
    // Shown from x -160 to 640: the player keeps to the part left of the text panel.
    Canvas find(1024, 512);
    find.paste(playerChoosingVisualization(text), 210, 60);
    zip.add("WMPFindPlugin.png", encodePng(find));
    zip.add("Step3PlayMusic.png", encodePng(stepHeading(text, "Step 3: Play Music",
                                                        "then click \"Click Here\" in the pane",
                                                        1024, 256, 0.14f, 0.86f, Face::SansBold)));
    zip.add("Step3Text.png",
            encodePng(panelAt(text,
                              {"#Play your music", "./tcplayer song.flac", "plays a file;",
                               "./tcplayer --listen", "rides what the desktop plays.",
                               "\"Click Here\" in the pane", "starts the game."},
                              512, 256, 0, 0, 512, 256, 22)));
    zip.add("WMPTCPlaying.png", encodePng(playerShowingToneCrest(text)));
}

} // namespace

void addMenuImages(ZipWriter& zip, TextPainter& text) {
    zip.add("MenuF1.png", encodePng(twoState(text, "Menu F1", 0.7f)));
    zip.add("ExitEsc.png", encodePng(twoState(text, "Exit Esc", 0.675f)));
    zip.add("WMPLogo.png", encodePng(playerIcon(128)));
    zip.add("NoMusicStreaming.png", encodePng(noMusic(text)));
    zip.add("TCBackground.jpg", encodeJpeg(background()));
    addButtons(zip, text);
    zip.add("QuickSetupHeading.png", encodePng(heading(text, "Quick Setup", 512, 128)));
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
