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
bool walkFolder(const fs::path& folder, const std::function<bool(std::string)>& found) {
    std::error_code ec;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    for (const fs::path& p : entries) {
        std::error_code e2;
        if (fs::is_directory(p, e2) && !fs::is_symlink(p, e2)) {
            if (!walkFolder(p, found)) {
                return false;
            }
        } else if (fs::is_regular_file(p, e2) && PlayQueue::isMusicFile(p.filename().string()) &&
                   !found(p.string())) {
            return false;
        }
    }
    return true;
}
} // namespace

std::string PlayQueue::absolute(const std::string& given) {
    std::error_code ec;
    fs::path p = fs::absolute(given, ec).lexically_normal();
    return ec ? given : p.string();
}

bool PlayQueue::expand(const std::string& path, const std::function<bool(std::string)>& found) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        return walkFolder(path, found);
    }
    return found(path);
}

size_t PlayQueue::add(const std::vector<std::string>& paths) {
    size_t before = songs.size();
    for (const std::string& given : paths) {
        expand(absolute(given), [this](std::string file) {
            songs.push_back(std::move(file));
            return true;
        });
    }
    return songs.size() - before;
}

void PlayQueue::append(const std::vector<std::string>& files) {
    songs.insert(songs.end(), files.begin(), files.end());
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
