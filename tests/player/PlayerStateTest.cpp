// The queue (folders in name order, absolute paths, moving past either end) and the settings
// file (round trip, damaged and hostile content, the XDG location).
#include "player/ui/PlayQueue.h"
#include "player/ui/Settings.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

TEST(PlayQueueTest, FoldersAddTheirMusicRecursivelyInNameOrderAsAbsolutePaths) {
    testsupport::ScratchDir dir;
    std::filesystem::create_directories(dir.file("album/cd2"));
    for (const char* f : {"album/b.flac", "album/A.MP3", "album/cover.jpg", "album/cd2/a.opus",
                          "album/notes.txt", "single.wav"}) {
        testsupport::writeFile(dir.file(f), "x");
    }
    PlayQueue q;
    EXPECT_EQ(q.add({dir.file("album"), dir.file("single.wav"), dir.file("missing.ogg")}), 5u);
    const std::vector<std::string> expected = {dir.file("album/A.MP3"), dir.file("album/b.flac"),
                                               dir.file("album/cd2/a.opus"), dir.file("single.wav"),
                                               dir.file("missing.ogg")};
    EXPECT_EQ(q.items(), expected);
    EXPECT_EQ(q.current(), -1);
    EXPECT_TRUE(q.next());
    EXPECT_EQ(q.currentPath(), expected[0]);
    EXPECT_FALSE(q.previous()); // before the first: nothing current
    EXPECT_EQ(q.currentPath(), "");
    q.setCurrent(4);
    EXPECT_FALSE(q.next());
    q.setCurrent(99);
    EXPECT_EQ(q.current(), -1);
    // A relative path is made absolute, so a later change of folder does not lose it.
    std::string before = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.path());
    PlayQueue r;
    r.add({"single.wav"});
    std::filesystem::current_path(before);
    EXPECT_EQ(r.items().front(), dir.file("single.wav"));
}

TEST(PlayerSettingsTest, RoundTripDamagedLinesAndTheXdgLocation) {
    testsupport::ScratchDir dir;
    PlayerSettings s;
    s.volume = 0.35;
    s.normalise = false;
    s.visualization = "Wavetap1";
    s.queue = {"/music/a b.flac", "/music/c=d.mp3"};
    s.queuePosition = 1;
    std::string path = dir.file("sub/tcplayer.conf");
    ASSERT_TRUE(s.save(path));
    PlayerSettings t = PlayerSettings::load(path);
    EXPECT_DOUBLE_EQ(t.volume, 0.35);
    EXPECT_FALSE(t.normalise);
    EXPECT_EQ(t.visualization, "Wavetap1");
    EXPECT_EQ(t.queue, s.queue);
    EXPECT_EQ(t.queuePosition, 1);

    testsupport::writeFile(path, "volume=7\nvolume=abc\n\xFF\xFE garbage\nposition=5\nsong=\n"
                                 "song=/x.mp3\nnormalise=1\n");
    PlayerSettings u = PlayerSettings::load(path);
    EXPECT_DOUBLE_EQ(u.volume, PlayerSettings().volume);
    EXPECT_EQ(u.queue, std::vector<std::string>{"/x.mp3"});
    EXPECT_EQ(u.queuePosition, -1); // beyond the queue
    EXPECT_TRUE(u.normalise);
    EXPECT_EQ(PlayerSettings::load(dir.file("none.conf")).queue.size(), 0u);

    // A disk that fills midway leaves the saved queue as it was.
    ASSERT_TRUE(s.save(path));
    std::string before = testsupport::readFile(path);
    PlayerSettings longer = s;
    longer.queue.assign(200, "/music/a song with a long name.flac");
    EXPECT_EQ(
        testsupport::inChildWithFileSizeLimit(before.size() + 8, [&] { return longer.save(path); }),
        1);
    EXPECT_EQ(testsupport::readFile(path), before);

    setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(PlayerSettings::defaultPath(), dir.file("tonecrest/tcplayer.conf"));
}

} // namespace
