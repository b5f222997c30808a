#include "player/decode/CoverCache.h"

#include "platform/base/AtomicFile.h"
#include "platform/base/Fnv1a.h"
#include "platform/message/RuntimeFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

bool startsWith(const std::string& s, const char* prefix, size_t n) {
    return s.size() >= n && std::memcmp(s.data(), prefix, n) == 0;
}

const char* extensionOf(const std::string& picture) {
    if (startsWith(picture, "\x89PNG\r\n\x1a\n", 8)) {
        return ".png";
    }
    if (startsWith(picture, "\xff\xd8\xff", 3)) {
        return ".jpg";
    }
    if (startsWith(picture, "GIF8", 4)) {
        return ".gif";
    }
    if (startsWith(picture, "RIFF", 4) && picture.compare(8, 4, "WEBP") == 0) {
        return ".webp";
    }
    if (startsWith(picture, "BM", 2)) {
        return ".bmp";
    }
    return ".img";
}

// The file's bytes equal picture's.
bool holds(const std::string& path, const std::string& picture) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    bool same = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && size_t(st.st_size) == picture.size();
    std::vector<char> buffer(64 * 1024);
    for (size_t at = 0; same && at < picture.size();) {
        ssize_t n = ::read(fd, buffer.data(), std::min(buffer.size(), picture.size() - at));
        same = n > 0 && std::memcmp(buffer.data(), picture.data() + at, size_t(n)) == 0;
        at += n > 0 ? size_t(n) : 0;
    }
    ::close(fd);
    return same;
}

} // namespace

std::string CoverCache::defaultFolder() {
    std::string cache = plat::userCacheFolder();
    return cache.empty() ? "" : cache + "/tonecrest/art";
}

std::string CoverCache::fileNameFor(const std::string& songPath, const std::string& picture) {
    const uint64_t hash = plat::fnv1a(songPath);
    char name[32];
    std::snprintf(name, sizeof name, "%016llx%s", static_cast<unsigned long long>(hash),
                  extensionOf(picture));
    return name;
}

bool CoverCache::makeFolder(std::string& error) const {
    if (folder.empty() || folder[0] != '/') {
        error = "\"" + folder + "\" is not an absolute path";
        return false;
    }
    // Each missing level is made for this user alone.
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string level = folder.substr(0, slash);
        if (mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) {
            int code = errno;
            struct stat st {};
            if (stat(level.c_str(), &st) != 0) { // an existing level is fine however it refused
                error = level + ": " + std::strerror(code);
                return false;
            }
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = folder + ": not a folder";
        return false;
    }
    return true;
}

std::string CoverCache::save(const std::string& songPath, const std::string& picture,
                             std::string& error) {
    if (picture.empty()) {
        error = "no picture";
        return "";
    }
    if (!makeFolder(error)) {
        return "";
    }
    std::string path = folder + "/" + fileNameFor(songPath, picture);
    if (holds(path, picture)) {
        utimensat(AT_FDCWD, path.c_str(), nullptr, 0); // now its most recent use
        prune(path);
        return path;
    }
    if (!plat::writeFileAtomically(path, picture, &error)) {
        return "";
    }
    prune(path);
    return path;
}

void CoverCache::prune(const std::string& newest) const {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    std::vector<std::pair<timespec, std::string>> files;
    while (const dirent* e = readdir(dir)) {
        std::string path = folder + "/" + e->d_name;
        struct stat st {};
        if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && path != newest) {
            files.push_back({st.st_mtim, path});
        }
    }
    closedir(dir);
    if (files.size() < keep) {
        return;
    }
    // Newest first; the file just saved counts as the newest of all.
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return a.first.tv_sec != b.first.tv_sec ? a.first.tv_sec > b.first.tv_sec
                                                : a.first.tv_nsec > b.first.tv_nsec;
    });
    for (size_t i = keep > 0 ? keep - 1 : 0; i < files.size(); ++i) {
        unlink(files[i].second.c_str());
    }
}
