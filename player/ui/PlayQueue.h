// The list of songs to play and which one is current.
#pragma once

#include <string>
#include <vector>

class PlayQueue {
  public:
    // Adds each path: a file as it is, a folder as the music files below it, recursively, in
    // name order. Returns how many files were added; unreadable folders are left out.
    size_t add(const std::vector<std::string>& paths);
    void clear();

    const std::vector<std::string>& items() const { return songs; }
    bool empty() const { return songs.empty(); }
    // Index of the current song, -1 when none.
    int current() const { return at; }
    const std::string& currentPath() const;
    void setCurrent(int index);
    // Moves on; false (and no current song) past either end.
    bool next();
    bool previous();

    // Whether a file name has one of the extensions the player looks for in folders.
    static bool isMusicFile(const std::string& name);

  private:
    std::vector<std::string> songs;
    int at = -1;
};
