// Listening to the desktop against a private PulseAudio server with null outputs.
#include "player/capture/DesktopCapture.h"
#include "player/spectrum/SpectrumAnalyzer.h"
#include "tests/support/PulseServer.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ToneCell.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using testsupport::PulseServer;
using testsupport::waitFor;

namespace {

// A tone centred on bin 47 of the 2048-sample transform at 44.1 kHz.
constexpr double kToneHz = 47 * 44100.0 / 2048;

const int kToneCell = testsupport::directToneCell(kToneHz);

class DesktopCaptureTest : public ::testing::Test {
  protected:
    testsupport::ScratchDir dir;
    std::mutex mutex;
    std::vector<std::string> lines;
    std::deque<float> mono; // the last few seconds heard, left and right averaged

    DesktopCapture::Options options(const std::string& address) {
        DesktopCapture::Options o;
        o.server = address;
        o.retryDelay = 100ms;
        o.onStatus = [this](DesktopCapture::State, const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex);
            lines.push_back(line);
        };
        return o;
    }

    AudioSource::FrameCallback collect() {
        return [this](const float* frames, size_t count, int channels) {
            std::lock_guard<std::mutex> lock(mutex);
            for (size_t i = 0; i < count; ++i) {
                mono.push_back(0.5f * (frames[i * channels] + frames[i * channels + 1]));
            }
            while (mono.size() > 3 * 44100) {
                mono.pop_front();
            }
        };
    }

    bool said(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex);
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.find(text) != std::string::npos; });
    }

    // The loudest cell of the recent sound, from its 2048-sample stretch of most energy.
    int loudestCell() {
        std::vector<float> heard;
        {
            std::lock_guard<std::mutex> lock(mutex);
            heard.assign(mono.begin(), mono.end());
        }
        if (heard.size() < SpectrumAnalyzer::kWindow) {
            return -1;
        }
        size_t best = 0;
        float bestEnergy = -1;
        for (size_t at = 0; at + SpectrumAnalyzer::kWindow <= heard.size(); at += 256) {
            float energy = 0;
            for (size_t i = at; i < at + SpectrumAnalyzer::kWindow; ++i) {
                energy += heard[i] * heard[i];
            }
            if (energy > bestEnergy) {
                bestEnergy = energy;
                best = at;
            }
        }
        SpectrumAnalyzer analyser;
        unsigned char cells[SpectrumAnalyzer::kBands];
        analyser.analyse(heard.data() + best, SpectrumAnalyzer::kWindow, cells);
        return int(std::max_element(cells, cells + SpectrumAnalyzer::kBands) - cells);
    }
};

} // namespace

TEST_F(DesktopCaptureTest, ToneIntoTheOutputArrivesInItsCellAndTheMicrophoneStaysClosed) {
    // The default input is a microphone-like source; only the output's monitor may be opened.
    PulseServer server(dir.path(), {"module-null-sink sink_name=speakers norewinds=1",
                                    "module-null-source source_name=mic"});
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    server.pactl("set-default-source mic");

    DesktopCapture capture(options(server.address()));
    ASSERT_TRUE(capture.start(collect()));
    ASSERT_TRUE(waitFor([&] { return capture.state() == DesktopCapture::State::Listening; }));
    EXPECT_EQ(capture.sourceName(), "speakers.monitor");
    EXPECT_TRUE(said(DesktopCapture::kMsgListening));

    ASSERT_TRUE(testsupport::playTone(server.address(), "speakers", kToneHz, 0.5f, 1.0));
    EXPECT_TRUE(capture.soundArriving(2000ms));
    EXPECT_EQ(loudestCell(), kToneCell);

    std::vector<int> recording = server.recordingSources();
    ASSERT_EQ(recording.size(), 1u);
    EXPECT_EQ(recording[0], server.sourceIndex("speakers.monitor"));
    EXPECT_NE(recording[0], server.sourceIndex("mic"));

    capture.stop();
    EXPECT_EQ(capture.state(), DesktopCapture::State::Stopped);
    EXPECT_TRUE(waitFor([&] { return server.recordingSources().empty(); }));
}

TEST_F(DesktopCaptureTest, WithoutAnyOutputItSaysSoAndWaitsForOne) {
    PulseServer server(dir.path(), {"module-null-source source_name=mic"});
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;

    DesktopCapture capture(options(server.address()));
    ASSERT_TRUE(capture.start(collect()));
    ASSERT_TRUE(waitFor([&] { return capture.state() == DesktopCapture::State::NoMonitor; }));
    EXPECT_EQ(capture.statusLine(), DesktopCapture::kMsgNoMonitor);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(server.recordingSources().empty()) << "the microphone must never be opened";

    server.pactl("load-module module-null-sink sink_name=late norewinds=1");
    ASSERT_TRUE(waitFor([&] { return capture.state() == DesktopCapture::State::Listening; }));
    EXPECT_EQ(capture.sourceName(), "late.monitor");
}

TEST_F(DesktopCaptureTest, FollowsAChangeOfTheDefaultOutputAndItsRemoval) {
    PulseServer server(dir.path(), {"module-null-sink sink_name=first norewinds=1"});
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;

    DesktopCapture capture(options(server.address()));
    ASSERT_TRUE(capture.start(collect()));
    ASSERT_TRUE(waitFor([&] { return capture.sourceName() == "first.monitor"; }));

    std::string second = server.pactl("load-module module-null-sink sink_name=second norewinds=1");
    ASSERT_FALSE(second.empty());
    server.pactl("set-default-sink second");
    ASSERT_TRUE(waitFor([&] { return capture.sourceName() == "second.monitor"; }));
    ASSERT_TRUE(testsupport::playTone(server.address(), "second", kToneHz, 0.5f, 0.5));
    EXPECT_EQ(loudestCell(), kToneCell);

    // The output being listened to goes away: the listener moves to the one left.
    server.pactl("unload-module " + second);
    ASSERT_TRUE(waitFor([&] { return capture.sourceName() == "first.monitor"; }));
    std::vector<int> recording = server.recordingSources();
    ASSERT_EQ(recording.size(), 1u);
    EXPECT_EQ(recording[0], server.sourceIndex("first.monitor"));
}

TEST_F(DesktopCaptureTest, MissingServerGivesThePlainMessageThenConnectsWhenItStarts) {
    PulseServer server(dir.path(), {"module-null-sink sink_name=speakers norewinds=1"});
    DesktopCapture capture(options(server.address()));
    ASSERT_TRUE(capture.start(collect()));
    ASSERT_TRUE(waitFor([&] { return capture.state() == DesktopCapture::State::NoServer; }));
    EXPECT_EQ(capture.statusLine(), DesktopCapture::kMsgNoServer);

    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    EXPECT_TRUE(waitFor([&] { return capture.state() == DesktopCapture::State::Listening; }));
}

TEST_F(DesktopCaptureTest, ServerRestartIsSurvived) {
    PulseServer server(dir.path(), {"module-null-sink sink_name=speakers norewinds=1"});
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    DesktopCapture capture(options(server.address()));
    ASSERT_TRUE(capture.start(collect()));
    ASSERT_TRUE(waitFor([&] { return capture.state() == DesktopCapture::State::Listening; }));

    server.kill();
    ASSERT_TRUE(waitFor([&] { return said(DesktopCapture::kMsgLost); }));
    EXPECT_EQ(capture.state(), DesktopCapture::State::NoServer);
    std::this_thread::sleep_for(300ms); // several failed attempts while it is away
    EXPECT_EQ(capture.statusLine(), DesktopCapture::kMsgLost);

    ASSERT_TRUE(server.start(error)) << error;
    ASSERT_TRUE(waitFor([&] { return capture.state() == DesktopCapture::State::Listening; }));
    EXPECT_TRUE(said(DesktopCapture::kMsgReconnected));
    ASSERT_TRUE(testsupport::playTone(server.address(), "speakers", kToneHz, 0.5f, 0.5));
    EXPECT_EQ(loudestCell(), kToneCell);
}
