// Songs' cover pictures kept as files, for programs that show a cover by its file (the
// desktop's media panel reads it from the player's metadata).
//
// One file per song, named from a hash of the song's path, in a folder of the user's own
// (made 0700 where missing). A file is written to a temporary name and renamed into place, so
// a reader sees the old picture or the new one, never part of one. The folder is kept
// bounded: after each save only the most recently saved `keep` files stay.
//
// Not thread-safe: one thread saves through a cache. Two caches (two players) may share a
// folder.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

class CoverCache {
  public:
    static constexpr size_t kKeep = 50;

    explicit CoverCache(std::string folder, size_t keep = kKeep)
        : folder(std::move(folder)), keep(keep) {}

    // False for a cache without a folder, which saves nothing.
    bool enabled() const { return !folder.empty(); }

    // $XDG_CACHE_HOME/tonecrest/art when XDG_CACHE_HOME is an absolute path, else
    // ~/.cache/tonecrest/art; "" when neither can be found.
    static std::string defaultFolder();

    // Saves picture (its bytes as the song file holds them) as songPath's cover and returns
    // the file's path; a picture already saved as it is is only marked as recent. "" with
    // the reason in error when the folder or the file cannot be written; nothing is left
    // behind then.
    std::string save(const std::string& songPath, const std::string& picture, std::string& error);

    // The file name a song's cover gets: a hash of its path and the picture's kind
    // (".png", ".jpg", ".gif", ".webp", ".bmp", else ".img").
    static std::string fileNameFor(const std::string& songPath, const std::string& picture);

  private:
    bool makeFolder(std::string& error) const;
    void prune(const std::string& newest) const;

    std::string folder;
    size_t keep;
};
