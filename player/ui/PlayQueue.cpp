#include "player/ui/PlayQueue.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

bool PlayQueue::isMusicFile(const std::string& name) {
    static const char* const kExtensions[] = {".mp3", ".flac", ".ogg", ".oga", ".opus",
                                              ".m4a", ".aac",  ".mp4", ".wav", ".wma"};
    std::string ext = fs::path(name).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return std::find(std::begin(kExtensions), std::end(kExtensions), ext) != std::end(kExtensions);
}

namespace {
void addFolder(const fs::path& folder, std::vector<std::string>& out) {
    std::error_code ec;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    for (const fs::path& p : entries) {
        std::error_code e2;
        if (fs::is_directory(p, e2) && !fs::is_symlink(p, e2)) {
            addFolder(p, out);
        } else if (fs::is_regular_file(p, e2) && PlayQueue::isMusicFile(p.filename().string())) {
            out.push_back(p.string());
        }
    }
}
} // namespace

size_t PlayQueue::add(const std::vector<std::string>& paths) {
    size_t before = songs.size();
    for (const std::string& given : paths) {
        // Absolute, so a change of the working folder (a plug-in starting a program does that)
        // leaves the queue intact.
        std::error_code ec;
        fs::path p = fs::absolute(given, ec).lexically_normal();
        if (ec) {
            p = given;
        }
        if (fs::is_directory(p, ec)) {
            addFolder(p, songs);
        } else {
            songs.push_back(p.string());
        }
    }
    return songs.size() - before;
}

void PlayQueue::clear() {
    songs.clear();
    at = -1;
}

const std::string& PlayQueue::currentPath() const {
    static const std::string none;
    return at >= 0 ? songs[size_t(at)] : none;
}

void PlayQueue::setCurrent(int index) {
    at = index >= 0 && index < int(songs.size()) ? index : -1;
}

bool PlayQueue::next() {
    setCurrent(at + 1 < int(songs.size()) ? at + 1 : -1);
    return at >= 0;
}

bool PlayQueue::previous() {
    setCurrent(at > 0 ? at - 1 : -1);
    return at >= 0;
}
