#include "platform/message/Broadcast.h"

#include "platform/message/RuntimeFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr UINT kFirstRegistered = 0xC000;
constexpr UINT kLastRegistered = 0xFFFF;
const char kListenerSuffix[] = ".sock";

struct Wire {
    uint32_t message;
    uint32_t reserved;
    uint64_t wParam;
    int64_t lParam;
};

std::string lowerCase(const char* s) {
    std::string out;
    for (; *s != '\0'; ++s) {
        char c = *s;
        out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

std::string listenerFolder() {
    std::string root = plat::runtimeFolder();
    if (root.empty()) {
        return root;
    }
    std::string folder = root + "/broadcast";
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::string();
    }
    return folder;
}

bool fillAddress(const std::string& path, sockaddr_un* address) {
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof address->sun_path) {
        return false;
    }
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

UINT RegisterWindowMessageA(LPCSTR name) {
    if (name == nullptr || *name == '\0' || std::strchr(name, '\n') != nullptr) {
        return 0;
    }
    std::string root = plat::runtimeFolder();
    if (root.empty()) {
        return 0;
    }
    // One line per name in order of first registration; the number is 0xC000 + line index.
    std::string table = root + "/window-messages";
    int fd = open(table.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return 0;
    }
    UINT result = 0;
    if (flock(fd, LOCK_EX) == 0) {
        std::string wanted = lowerCase(name);
        std::string content;
        char buffer[4096];
        ssize_t n = 0;
        while ((n = read(fd, buffer, sizeof buffer)) > 0) {
            content.append(buffer, static_cast<size_t>(n));
        }
        UINT index = 0;
        size_t start = 0;
        bool found = false;
        while (start < content.size()) {
            size_t end = content.find('\n', start);
            if (end == std::string::npos) {
                break; // a cut-off last line is ignored and overwritten
            }
            if (lowerCase(content.substr(start, end - start).c_str()) == wanted) {
                found = true;
                break;
            }
            ++index;
            start = end + 1;
        }
        if (found) {
            result = kFirstRegistered + index;
        } else if (kFirstRegistered + index <= kLastRegistered) {
            std::string line = std::string(name) + "\n";
            if (pwrite(fd, line.data(), line.size(), static_cast<off_t>(start)) ==
                static_cast<ssize_t>(line.size())) {
                result = kFirstRegistered + index;
            }
        }
        flock(fd, LOCK_UN);
    }
    close(fd);
    return result;
}

namespace plat {

bool postBroadcast(UINT message, WPARAM wParam, LPARAM lParam) {
    std::string folder = listenerFolder();
    if (folder.empty()) {
        return false;
    }
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    std::vector<std::string> listeners;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        size_t suffix = sizeof kListenerSuffix - 1;
        if (name.size() > suffix &&
            name.compare(name.size() - suffix, suffix, kListenerSuffix) == 0) {
            listeners.push_back(folder + "/" + name);
        }
    }
    closedir(dir);
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    Wire wire{message, 0, static_cast<uint64_t>(wParam), static_cast<int64_t>(lParam)};
    bool all = true;
    for (const std::string& path : listeners) {
        sockaddr_un address{};
        if (!fillAddress(path, &address)) {
            continue;
        }
        ssize_t sent = sendto(fd, &wire, sizeof wire, MSG_DONTWAIT,
                              reinterpret_cast<const sockaddr*>(&address), sizeof address);
        if (sent < 0 && (errno == ECONNREFUSED || errno == ENOENT)) {
            unlink(path.c_str()); // its program has ended
        } else if (sent != static_cast<ssize_t>(sizeof wire)) {
            all = false;
        }
    }
    close(fd);
    return all;
}

BroadcastListener::BroadcastListener() {
    std::string folder = listenerFolder();
    if (folder.empty()) {
        return;
    }
    static std::atomic<unsigned> serial{0};
    path =
        folder + "/" + std::to_string(getpid()) + "-" + std::to_string(serial++) + kListenerSuffix;
    sockaddr_un address{};
    if (!fillAddress(path, &address)) {
        path.clear();
        return;
    }
    fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        path.clear();
        return;
    }
    unlink(path.c_str());
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        fd = -1;
        path.clear();
    }
}

BroadcastListener::~BroadcastListener() {
    if (fd >= 0) {
        close(fd);
        unlink(path.c_str());
    }
}

bool BroadcastListener::receive(BroadcastMessage* out, int timeoutMs) {
    if (fd < 0 || out == nullptr) {
        return false;
    }
    for (;;) {
        Wire wire{};
        ssize_t n = recv(fd, &wire, sizeof wire, 0);
        if (n == static_cast<ssize_t>(sizeof wire)) {
            out->message = wire.message;
            out->wParam = static_cast<WPARAM>(wire.wParam);
            out->lParam = static_cast<LPARAM>(wire.lParam);
            return true;
        }
        if (n >= 0) {
            continue; // a datagram of another shape is dropped
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return false;
        }
        if (timeoutMs == 0) {
            return false;
        }
        pollfd p{fd, POLLIN, 0};
        int ready = poll(&p, 1, timeoutMs);
        if (ready <= 0) {
            return false;
        }
        timeoutMs = 0; // one wait; what arrived is taken next round
    }
}

} // namespace plat
