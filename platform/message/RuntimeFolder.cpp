#include "platform/message/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Programs trust what they find in the folder: it must be a folder (not a link) of this user,
// closed to others.
bool ownPrivateFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
           (st.st_mode & 0077) == 0;
}

// A folder of this user that others cannot write to (the parent of the fallback).
bool ownClosedFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
           (st.st_mode & 0022) == 0;
}

// Why the usual folder cannot be used; "" when it can (it is made when missing).
std::string refusal(const std::string& path) {
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::string("cannot be made (") + std::strerror(errno) + ")";
    }
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return "is not a folder";
    }
    if (st.st_uid != getuid()) {
        return "belongs to another user";
    }
    if ((st.st_mode & 0022) != 0) {
        return "is open to other users";
    }
    return "";
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home != nullptr && *home == '/' ? home : "";
}

// The fallback: a folder made with mkdtemp under the user's cache folder, found again by the
// link "runtime" beside it, which the first program to need it makes (atomically; a program
// that loses that race uses the winner's folder). Nobody else can take either name, since the
// cache folder is the user's own.
std::string privateFallback() {
    std::string cache = plat::userCacheFolder();
    if (cache.empty()) {
        return "";
    }
    mkdir(cache.c_str(), 0700);
    std::string base = cache + "/tonecrest";
    mkdir(base.c_str(), 0700);
    if (!ownClosedFolder(cache) || !ownClosedFolder(base)) {
        return "";
    }
    std::string link = base + "/runtime";
    for (int attempt = 0; attempt < 4; ++attempt) {
        char target[PATH_MAX] = {};
        ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
        if (n > 0 && ownPrivateFolder(std::string(target, size_t(n)))) {
            return std::string(target, size_t(n));
        }
        if (n > 0 || errno == EINVAL) {
            unlink(link.c_str()); // a folder that has gone, or not a link at all
        }
        std::string made = base + "/run-XXXXXX";
        if (mkdtemp(&made[0]) == nullptr) {
            return "";
        }
        if (symlink(made.c_str(), link.c_str()) == 0) {
            return made;
        }
        rmdir(made.c_str()); // another program made the link first: take its folder
    }
    return "";
}

} // namespace

namespace plat {

std::string userCacheFolder() {
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && *xdg == '/') {
        return xdg;
    }
    std::string home = homeFolder();
    return home.empty() ? "" : home + "/.cache";
}

std::string runtimeFolder() {
    return resolveRuntimeFolder().folder;
}

std::string runtimeFolderWarning() {
    return resolveRuntimeFolder().warning;
}

RuntimeFolder resolveRuntimeFolder() {
    std::string usual;
    if (const char* own = std::getenv("TONECREST_RUNTIME_DIR"); own != nullptr && *own != '\0') {
        usual = own;
    } else if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && *xdg != '\0') {
        usual = std::string(xdg) + "/tonecrest";
    } else {
        usual = "/tmp/tonecrest-" + std::to_string(getuid());
    }
    std::string why = refusal(usual);
    if (why.empty()) {
        return {usual, ""};
    }
    std::string fallback = privateFallback();
    std::string warning = "The runtime folder " + usual + " " + why + "; ";
    warning += fallback.empty() ? "running without it (no single instance, no remote control)"
                                : "using " + fallback + " instead";
    return {fallback, warning};
}

} // namespace plat
