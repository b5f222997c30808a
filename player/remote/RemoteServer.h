// The running tcplayer's end of the remote control: a local socket that its UI loop polls.
//
// Contract:
// - One server per socket path: a lock file beside the socket is held while listening, so a
//   second player finds the first instead of taking its place; a socket left behind by a
//   crashed player is replaced.
// - poll never blocks longer than its timeout. Each well-formed request is answered "OK" and
//   handed to the caller; anything else is answered "ERR ..." and otherwise ignored. A line
//   longer than remote::kMaxLine, or a client that stops reading its answers, loses its
//   connection; the server itself carries on.
// - Clients are served fairly: each poll answers at most kRequestsPerTurn requests of each
//   client (what a client sent beyond that waits for the next poll, which then does not
//   block), and nothing more is read from a client while it has requests waiting, so what is
//   kept per client stays below remote::kMaxLine plus one read.
#pragma once

#include "player/remote/RemoteProtocol.h"

#include <string>
#include <vector>

class RemoteServer {
  public:
    enum class Result { Listening, AlreadyRunning, Failed };

    static constexpr size_t kMaxClients = 16;
    static constexpr size_t kRequestsPerTurn = 8;

    RemoteServer() = default;
    ~RemoteServer();
    RemoteServer(const RemoteServer&) = delete;
    RemoteServer& operator=(const RemoteServer&) = delete;

    // Creates the socket's folder (owner only) and listens. AlreadyRunning when another server
    // holds this path; Failed with a reason in error otherwise.
    Result listen(const std::string& path, std::string& error);
    bool listening() const { return listenFd >= 0; }
    const std::string& path() const { return socketPath; }

    // Accepts, reads and answers for at most timeoutMs (0 = only what is already waiting),
    // returning the requests received, oldest first.
    std::vector<RemoteRequest> poll(int timeoutMs);

    // Stops listening and removes the socket.
    void close();

  private:
    struct Client {
        int fd;
        std::string pending; // received, not yet answered
        bool hasRequest() const { return pending.find('\n') != std::string::npos; }
    };
    void acceptClients();
    bool serve(Client& c, std::vector<RemoteRequest>& out); // false: drop the client

    int listenFd = -1;
    int lockFd = -1;
    std::string socketPath;
    std::vector<Client> clients;
};
