#include "player/pane/NowPlayingPane.h"

#include <algorithm>
#include <cstdio>

NowPlayingPane::NowPlayingPane(VisualizationCatalog& c) : catalog(c) {}

NowPlayingPane::~NowPlayingPane() {
    shutdown();
}

void NowPlayingPane::shutdown() {
    stopCurrent();
}

void NowPlayingPane::stopCurrent() {
    if (running) {
        running->stop();
        running.reset();
    }
}

std::string NowPlayingPane::chosenName() const {
    if (running && !running->title().empty()) {
        return running->title();
    }
    for (const VisualizationEntry& e : list) {
        if (e.key == key) {
            return e.name;
        }
    }
    return "";
}

void NowPlayingPane::load(const std::string& preferredKey) {
    list = catalog.list();
    bool known = std::any_of(list.begin(), list.end(),
                             [&](const VisualizationEntry& e) { return e.key == preferredKey; });
    if (known) {
        choose(preferredKey);
    } else if (!list.empty()) {
        choose(list.front().key);
    } else {
        stopCurrent();
        key.clear();
        report("No visualization is registered.");
    }
}

void NowPlayingPane::chooseNext() {
    list = catalog.list();
    if (list.empty()) {
        load("");
        return;
    }
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const VisualizationEntry& e) { return e.key == key; });
    size_t at = it == list.end() ? 0 : size_t(it - list.begin() + 1) % list.size();
    choose(list[at].key);
}

void NowPlayingPane::choose(const std::string& k) {
    stopCurrent();
    key = k;
    failure.clear();
    mediaSeen = 0;
    std::string error;
    std::unique_ptr<Visualization> v = catalog.create(k, error);
    if (v && v->start(pane, error)) {
        running = std::move(v);
        return;
    }
    if (v) {
        v->stop();
    }
    report("The visualization \"" + chosenName() + "\" could not be loaded: " + error);
}

void NowPlayingPane::report(std::string problem) {
    failure = std::move(problem);
    if (failure != reported) {
        reported = failure;
        std::fprintf(stderr, "tcplayer: %s\n", failure.c_str());
    }
}

void NowPlayingPane::resize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width != pane.width || height != pane.height) {
        pane.width = width;
        pane.height = height;
        pane.pixels.assign(size_t(width) * size_t(height), 0);
    }
}

void NowPlayingPane::mouse(PaneMouse message, int x, int y) {
    if (running) {
        running->mouse(message, x, y);
    }
}

void NowPlayingPane::frame(const Player& player, int width, int height, Font& font) {
    if (catalog.rescanRequested()) {
        std::string keep = key;
        list = catalog.list();
        bool stillThere = std::any_of(list.begin(), list.end(),
                                      [&](const VisualizationEntry& e) { return e.key == keep; });
        if (!stillThere || !running) {
            load(keep);
        }
    }
    resize(width, height);
    if (running) {
        if (player.mediaSerial() != mediaSeen && player.mediaSerial() != 0) {
            mediaSeen = player.mediaSerial();
            running->mediaInfo(player.media());
        }
        running->render(player.levels());
    } else {
        drawOwn(player.levels(), font);
    }
}

// The player's own picture: both channels' spectrum as bars, and why no visualization runs.
void NowPlayingPane::drawOwn(const LevelFrame& levels, Font& font) {
    PixelView view{pane.pixels.data(), pane.width, pane.height, pane.width};
    Canvas c(view, font);
    c.fill({0, 0, pane.width, pane.height}, 0x101018);
    const int bars = 64, gap = 2;
    int barWidth = std::max(1, (pane.width - 20) / bars - gap);
    int bottom = pane.height - 10, room = pane.height - 60;
    for (int b = 0; b < bars; ++b) {
        // Bars over the lower quarter of the cells, where music has most of its detail.
        int from = b * 4, peak = 0;
        for (int i = from; i < from + 4; ++i) {
            peak = std::max({peak, int(levels.frequency[0][i]), int(levels.frequency[1][i])});
        }
        int h = peak * room / 255;
        uint32_t colour = 0x2060C0 + (uint32_t(peak) << 16);
        c.fill({10 + b * (barWidth + gap), bottom - h, barWidth, h}, colour);
    }
    c.text(12, 10, failure, 0xE0E0E0, pane.width - 24);
}
