// What other programs may ask of the running tcplayer over its local socket, and how it is
// written on the wire.
//
// Wire format: one request per line of text ending in '\n', answered by one line: "OK" or
// "ERR <reason>". Requests:
//   PING                     is anyone there
//   SHOW-PANE <name>         show a pane of the player's window ("NowPlaying")
//   FOREGROUND               bring the player's window to the front
//   OPEN <path> [<path>...]  play these files (replacing what plays)
//   QUEUE <path> [<path>...] add these files to the queue after what an OPEN brought; more
//                            files than one line holds are sent as OPEN and then QUEUEs
//   LISTEN                   listen to what the desktop plays
// Arguments are separated by single spaces; within one, '%', spaces and control characters are
// written as %XX (two upper-case hex digits). Lines longer than kMaxLine end the connection.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct RemoteRequest {
    enum class Kind { Ping, ShowPane, Foreground, Open, Listen, Queue };
    Kind kind = Kind::Ping;
    std::string pane;               // ShowPane
    std::vector<std::string> files; // Open, Queue

    static RemoteRequest ping() { return {Kind::Ping, "", {}}; }
    static RemoteRequest showPane(std::string name) {
        return {Kind::ShowPane, std::move(name), {}};
    }
    static RemoteRequest foreground() { return {Kind::Foreground, "", {}}; }
    static RemoteRequest open(std::vector<std::string> paths) {
        return {Kind::Open, "", std::move(paths)};
    }
    static RemoteRequest listen() { return {Kind::Listen, "", {}}; }
    static RemoteRequest queue(std::vector<std::string> paths) {
        return {Kind::Queue, "", std::move(paths)};
    }
    bool operator==(const RemoteRequest& o) const {
        return kind == o.kind && pane == o.pane && files == o.files;
    }
};

namespace remote {

constexpr size_t kMaxLine = 64 * 1024;

// The request's line, ending in '\n'.
std::string format(const RemoteRequest& request);
// The request in one line (without its '\n'); nullopt for anything that is not a well-formed
// request: unknown words, missing or extra arguments, bad escapes, NUL bytes.
std::optional<RemoteRequest> parse(const std::string& line);

// Requests that carry the files in order: an OPEN, then as many QUEUEs as needed, each line
// within kMaxLine. A path too long for any line (none on Linux is) is left out.
std::vector<RemoteRequest> openInParts(const std::vector<std::string>& files);

std::string escape(const std::string& text);
// nullopt on a malformed %XX or a decoded NUL.
std::optional<std::string> unescape(const std::string& text);

// Where the running tcplayer listens: "tcplayer.sock" in the user's runtime folder
// (plat::runtimeFolder, which TONECREST_RUNTIME_DIR moves); "" when there is none.
std::string defaultSocketPath();

} // namespace remote
