#include "player/remote/RemoteServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// Creates the folder and its missing parents, the last one private to the user.
bool makeFolder(const std::string& dir) {
    if (dir.empty() || dir == "/" || dir == ".") {
        return true;
    }
    struct stat st;
    if (stat(dir.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    if (!makeFolder(folderOf(dir))) {
        return false;
    }
    return mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

// False when the client does not take the whole answer at once: it stopped reading them.
bool sendAll(int fd, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
        ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += size_t(n);
    }
    return true;
}

} // namespace

RemoteServer::~RemoteServer() {
    close();
}

RemoteServer::Result RemoteServer::listen(const std::string& path, std::string& error) {
    close();
    sockaddr_un addr{};
    if (path.empty() || path.size() >= sizeof addr.sun_path) {
        error = "socket path too long: " + path;
        return Result::Failed;
    }
    if (!makeFolder(folderOf(path))) {
        error = "cannot create the folder of " + path + ": " + std::strerror(errno);
        return Result::Failed;
    }
    std::string lockPath = path + ".lock";
    lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) {
        error = "cannot open " + lockPath + ": " + std::strerror(errno);
        return Result::Failed;
    }
    if (flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd);
        lockFd = -1;
        return Result::AlreadyRunning;
    }
    // Holding the lock, any socket file here was left by a player that is gone.
    unlink(path.c_str());
    listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size());
    if (listenFd < 0 || bind(listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd, 8) != 0) {
        error = "cannot listen on " + path + ": " + std::strerror(errno);
        close();
        return Result::Failed;
    }
    chmod(path.c_str(), 0600);
    socketPath = path;
    return Result::Listening;
}

void RemoteServer::close() {
    for (Client& c : clients) {
        ::close(c.fd);
    }
    clients.clear();
    if (listenFd >= 0) {
        ::close(listenFd);
        listenFd = -1;
        unlink(socketPath.c_str());
    }
    if (lockFd >= 0) {
        ::close(lockFd); // releases the lock
        lockFd = -1;
    }
    socketPath.clear();
}

void RemoteServer::acceptClients() {
    for (;;) {
        int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        if (clients.size() >= kMaxClients) {
            ::close(clients.front().fd); // the oldest is most likely a stuck one
            clients.erase(clients.begin());
        }
        clients.push_back({fd, ""});
    }
}

bool RemoteServer::serve(Client& c, std::vector<RemoteRequest>& out) {
    size_t served = 0;
    for (;;) {
        size_t start = 0, end;
        while (served < kRequestsPerTurn &&
               (end = c.pending.find('\n', start)) != std::string::npos) {
            std::string line = c.pending.substr(start, end - start);
            start = end + 1;
            ++served;
            std::optional<RemoteRequest> request = remote::parse(line);
            if (request) {
                out.push_back(std::move(*request));
            }
            if (!sendAll(c.fd, request ? "OK\n" : "ERR not a request\n")) {
                return false;
            }
        }
        c.pending.erase(0, start);
        if (served >= kRequestsPerTurn) {
            return true; // the rest waits for the next turn
        }
        if (c.pending.size() > remote::kMaxLine) {
            sendAll(c.fd, "ERR line too long\n");
            return false;
        }
        char buf[4096];
        ssize_t n = recv(c.fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n == 0) {
            return false;
        }
        if (n < 0) {
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        }
        c.pending.append(buf, size_t(n));
    }
}

std::vector<RemoteRequest> RemoteServer::poll(int timeoutMs) {
    std::vector<RemoteRequest> requests;
    if (listenFd < 0) {
        return requests;
    }
    std::vector<pollfd> fds;
    fds.push_back({listenFd, POLLIN, 0});
    bool backlog = false; // requests received in an earlier turn wait for an answer
    for (const Client& c : clients) {
        fds.push_back({c.fd, POLLIN, 0});
        backlog = backlog || c.hasRequest();
    }
    if (::poll(fds.data(), fds.size(), backlog ? 0 : timeoutMs) < 0) {
        return requests;
    }
    std::vector<int> ready;
    for (size_t i = 1; i < fds.size(); ++i) {
        if (fds[i].revents || clients[i - 1].hasRequest()) {
            ready.push_back(fds[i].fd);
        }
    }
    if (fds[0].revents & POLLIN) {
        size_t known = clients.size();
        acceptClients();
        // Whatever new clients already sent is served in the same call.
        for (size_t i = std::min(known, clients.size()); i < clients.size(); ++i) {
            ready.push_back(clients[i].fd);
        }
    }
    for (int fd : ready) {
        for (size_t i = 0; i < clients.size(); ++i) {
            if (clients[i].fd == fd) {
                if (!serve(clients[i], requests)) {
                    ::close(fd);
                    clients.erase(clients.begin() + long(i));
                }
                break;
            }
        }
    }
    return requests;
}
