// The list of songs to play and which one is current.
#pragma once

#include <functional>
#include <string>
#include <vector>

class PlayQueue {
  public:
    // Adds each path: a file as it is, a folder as the music files below it, recursively, in
    // name order. Returns how many files were added; unreadable folders are left out.
    size_t add(const std::vector<std::string>& paths);
    // Adds files as they are (paths already made absolute, folders already walked).
    void append(const std::vector<std::string>& files);
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
    // given made absolute and normal, so that a later change of the working folder (a plug-in
    // starting a program does that) leaves the queue intact.
    static std::string absolute(const std::string& given);
    // Hands found each file add() would take for path, in the same order; stops early (false)
    // when found returns false.
    static bool expand(const std::string& path, const std::function<bool(std::string)>& found);

  private:
    std::vector<std::string> songs;
    int at = -1;
};
