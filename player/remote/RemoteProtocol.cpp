#include "player/remote/RemoteProtocol.h"

#include "platform/message/RuntimeFolder.h"

namespace remote {

namespace {

std::vector<std::string> splitSpaces(const std::string& line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at <= line.size()) {
        size_t end = line.find(' ', at);
        if (end == std::string::npos) {
            end = line.size();
        }
        words.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

std::string escape(const std::string& text) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (c == '%' || c == ' ' || c < 0x20 || c == 0x7f) {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::optional<std::string> unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\0') {
            return std::nullopt;
        }
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
        if (hi < 0 || lo < 0 || (hi == 0 && lo == 0)) {
            return std::nullopt;
        }
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

std::string format(const RemoteRequest& r) {
    switch (r.kind) {
    case RemoteRequest::Kind::Ping:
        return "PING\n";
    case RemoteRequest::Kind::ShowPane:
        return "SHOW-PANE " + escape(r.pane) + "\n";
    case RemoteRequest::Kind::Foreground:
        return "FOREGROUND\n";
    case RemoteRequest::Kind::Listen:
        return "LISTEN\n";
    case RemoteRequest::Kind::Open:
    case RemoteRequest::Kind::Queue: {
        std::string line = r.kind == RemoteRequest::Kind::Open ? "OPEN" : "QUEUE";
        for (const std::string& f : r.files) {
            line += " " + escape(f);
        }
        return line + "\n";
    }
    }
    return "\n";
}

std::optional<RemoteRequest> parse(const std::string& line) {
    if (line.size() > kMaxLine || line.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::string text = line;
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
    std::vector<std::string> words = splitSpaces(text);
    const std::string& verb = words[0];
    std::vector<std::string> args;
    for (size_t i = 1; i < words.size(); ++i) {
        auto arg = unescape(words[i]);
        if (!arg || arg->empty()) {
            return std::nullopt;
        }
        args.push_back(*arg);
    }
    if (verb == "PING" && args.empty()) {
        return RemoteRequest::ping();
    }
    if (verb == "FOREGROUND" && args.empty()) {
        return RemoteRequest::foreground();
    }
    if (verb == "LISTEN" && args.empty()) {
        return RemoteRequest::listen();
    }
    if (verb == "SHOW-PANE" && args.size() == 1) {
        return RemoteRequest::showPane(args[0]);
    }
    if (verb == "OPEN" && !args.empty()) {
        return RemoteRequest::open(args);
    }
    if (verb == "QUEUE" && !args.empty()) {
        return RemoteRequest::queue(args);
    }
    return std::nullopt;
}

std::vector<RemoteRequest> openInParts(const std::vector<std::string>& files) {
    constexpr size_t kVerb = 6; // "QUEUE " or "OPEN ", and the line's end
    std::vector<RemoteRequest> parts;
    size_t length = kMaxLine; // of the line being filled; full before the first
    for (const std::string& f : files) {
        size_t word = escape(f).size() + 1;
        if (word + kVerb > kMaxLine) {
            continue;
        }
        if (length + word > kMaxLine) {
            parts.push_back(parts.empty() ? RemoteRequest::open({}) : RemoteRequest::queue({}));
            length = kVerb;
        }
        parts.back().files.push_back(f);
        length += word;
    }
    return parts;
}

std::string defaultSocketPath() {
    std::string folder = plat::runtimeFolder();
    return folder.empty() ? "" : folder + "/tcplayer.sock";
}

} // namespace remote
