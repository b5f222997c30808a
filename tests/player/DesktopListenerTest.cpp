// Listening mode as tcplayer uses it: what is heard, whether it plays, and its title.
#include "player/capture/DesktopListener.h"
#include "player/spectrum/SpectrumAnalyzer.h"
#include "tests/support/FakeMprisPlayer.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/PulseServer.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

using namespace std::chrono_literals;
using testsupport::waitFor;

TEST(DesktopListener, PlaysWhileSoundArrivesWithTheDesktopPlayersTitleAndSpectrum) {
    testsupport::ScratchDir dir;
    testsupport::PulseServer server(dir.path(),
                                    {"module-null-sink sink_name=speakers norewinds=1"});
    testsupport::PrivateBus bus(dir.path());
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    ASSERT_TRUE(bus.start(error)) << error;

    std::vector<std::string> lines;
    std::mutex mutex;
    DesktopListener::Options options;
    options.server = server.address();
    options.busAddress = bus.address();
    std::atomic<size_t> framesSeen{0};
    options.onFrames = [&](const float*, size_t count, int channels) {
        EXPECT_EQ(channels, 2);
        framesSeen += count;
    };
    options.onStatus = [&](const std::string& line) {
        std::lock_guard<std::mutex> lock(mutex);
        lines.push_back(line);
    };
    DesktopListener listener(options);
    ASSERT_TRUE(listener.start());
    ASSERT_TRUE(waitFor([&] { return listener.state() == DesktopCapture::State::Listening; }));
    EXPECT_FALSE(listener.playing()); // connected, but only silence so far
    EXPECT_EQ(listener.title(), "Desktop audio");
    {
        std::lock_guard<std::mutex> lock(mutex);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().rfind(DesktopCapture::kMsgListening, 0), 0u) << lines.back();
    }

    testsupport::FakePlayer player(bus.address(), "radio", {"Playing", "Night Drive", {"Vee"}});
    EXPECT_TRUE(waitFor([&] { return listener.title() == "Vee - Night Drive"; }, 5s));

    // A tone at the centre of bin 93, and what the analyser makes of it without the server.
    constexpr double hz = 93 * 44100.0 / 2048;
    SpectrumAnalyzer analyser;
    unsigned char direct[SpectrumAnalyzer::kBands];
    std::vector<float> straight(SpectrumAnalyzer::kWindow);
    for (size_t i = 0; i < straight.size(); ++i) {
        straight[i] = 0.5f * float(std::sin(2 * M_PI * hz * double(i) / 44100.0));
    }
    analyser.analyse(straight.data(), SpectrumAnalyzer::kWindow, direct);
    long cell = std::max_element(direct, direct + SpectrumAnalyzer::kBands) - direct;
    std::thread tone([&] { testsupport::playTone(server.address(), "speakers", hz, 0.5f, 1.0); });
    ASSERT_TRUE(waitFor([&] { return listener.playing(); }, 3s));
    std::this_thread::sleep_for(200ms);
    float heard[DesktopListener::kKept];
    listener.latest(heard);
    tone.join();
    unsigned char cells[SpectrumAnalyzer::kBands];
    analyser.analyse(heard, SpectrumAnalyzer::kWindow, cells);
    EXPECT_EQ(std::max_element(cells, cells + SpectrumAnalyzer::kBands) - cells, cell);
    EXPECT_NEAR(cells[cell], direct[cell], 6); // the same loudness: stereo averaged, no gain

    EXPECT_TRUE(waitFor([&] { return !listener.playing(); }, 3s)) << "silence again";
    listener.stop();
    EXPECT_GT(framesSeen.load(), size_t(44100)); // the second of tone at least, passed on
}
