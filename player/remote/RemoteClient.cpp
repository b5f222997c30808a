#include "player/remote/RemoteClient.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

RemoteClient::~RemoteClient() {
    disconnect();
}

bool RemoteClient::connect(const std::string& path) {
    disconnect();
    sockaddr_un addr{};
    if (path.empty() || path.size() >= sizeof addr.sun_path) {
        return false;
    }
    fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        disconnect();
        return false;
    }
    return true;
}

void RemoteClient::disconnect() {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
    pending.clear();
}

bool RemoteClient::request(const RemoteRequest& r, std::chrono::milliseconds timeout,
                           std::string* answer) {
    if (fd < 0) {
        return false;
    }
    auto deadline = std::chrono::steady_clock::now() + timeout;
    auto left = [&] {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      deadline - std::chrono::steady_clock::now())
                      .count();
        return int(ms < 0 ? 0 : ms);
    };
    std::string line = remote::format(r);
    size_t sent = 0;
    while (sent < line.size()) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, left()) <= 0) {
            disconnect();
            return false;
        }
        ssize_t n = send(fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (n <= 0) {
            disconnect();
            return false;
        }
        sent += size_t(n);
    }
    for (;;) {
        size_t end = pending.find('\n');
        if (end != std::string::npos) {
            std::string reply = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (answer) {
                *answer = reply;
            }
            return reply == "OK";
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, left()) <= 0 || pending.size() > remote::kMaxLine) {
            disconnect();
            return false;
        }
        char buf[512];
        ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (n <= 0) {
            disconnect();
            return false;
        }
        pending.append(buf, size_t(n));
    }
}

bool RemoteClient::ask(const std::string& path, const RemoteRequest& r,
                       std::chrono::milliseconds timeout) {
    RemoteClient client;
    return client.connect(path) && client.request(r, timeout);
}

namespace remote {

bool handOver(const std::string& path, const std::vector<std::string>& files,
              std::chrono::milliseconds timeout) {
    RemoteClient client;
    if (!client.connect(path)) {
        return false;
    }
    for (const RemoteRequest& part : openInParts(files)) {
        if (!client.request(part, timeout)) {
            return false;
        }
    }
    return client.request(RemoteRequest::foreground(), timeout);
}

} // namespace remote
