// The file URIs tcplayer announces and accepts on the session bus, and which changes it
// announces.
#include "player/mpris/MprisProperties.h"

#include <gtest/gtest.h>

using mpris::localPathOfUri;
using mpris::uriOfLocalPath;

TEST(MprisUris, PathsWithAnyCharacterGoThereAndBack) {
    for (std::string path : {"/music/a b/Song #1 (live) 100%.flac", "/m/Café – ünï.opus",
                             "/m/what?.mp3", "/plain/song.wav"}) {
        std::string uri = uriOfLocalPath(path);
        EXPECT_EQ(uri.rfind("file:///", 0), 0u) << uri;
        EXPECT_EQ(uri.find_first_of(" #?"), std::string::npos) << uri;
        EXPECT_EQ(localPathOfUri(uri), path) << uri;
    }
    EXPECT_EQ(uriOfLocalPath("/a b/c#d"), "file:///a%20b/c%23d");
    EXPECT_EQ(localPathOfUri("file://localhost/x%20y.flac"), "/x y.flac");
    EXPECT_EQ(localPathOfUri("/already/a path.flac"), "/already/a path.flac");
}

TEST(MprisUris, AnythingButALocalFileIsRefused) {
    for (std::string uri :
         {"http://example.org/a.mp3", "file://server/share/a.mp3", "file:relative.mp3",
          "relative/a.mp3", "file:///a%00b.mp3", "file:///a%zzb.mp3", "file:///a%4", ""}) {
        EXPECT_EQ(localPathOfUri(uri), "") << uri;
    }
}

TEST(MprisChanges, EachChangeIsAnnouncedUnderItsPropertyAndThePositionNever) {
    mpris::PlayerSnapshot a;
    a.playbackStatus = "Playing";
    a.trackNumber = 3;
    a.title = "One";
    a.positionUs = 1000;
    EXPECT_TRUE(mpris::changedPlayerProperties(a, a).empty());

    mpris::PlayerSnapshot b = a;
    b.positionUs = 9000000;
    EXPECT_TRUE(mpris::changedPlayerProperties(a, b).empty());
    b.playbackStatus = "Paused";
    b.title = "Two";
    b.volume = 0.5;
    b.canGoNext = true;
    EXPECT_EQ(mpris::changedPlayerProperties(a, b),
              (std::vector<std::string>{"PlaybackStatus", "Metadata", "Volume", "CanGoNext"}));
    EXPECT_EQ(mpris::trackIdFor(a), "/org/tonecrest/tcplayer/track/3");
    EXPECT_EQ(mpris::trackIdFor(mpris::PlayerSnapshot{}),
              "/org/mpris/MediaPlayer2/TrackList/NoTrack");
}
