#include "player/mpris/FileUri.h"

#include "player/remote/RemoteProtocol.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace mpris {

std::string localPathOfUri(const std::string& uri) {
    std::string rest;
    if (uri.compare(0, 7, "file://") == 0) {
        rest = uri.substr(7);
        // "file://localhost/path" names the same file as "file:///path".
        if (rest.compare(0, 9, "localhost") == 0) {
            rest = rest.substr(9);
        }
    } else if (!uri.empty() && uri[0] == '/') {
        return uri;
    } else {
        return "";
    }
    if (rest.empty() || rest[0] != '/') {
        return "";
    }
    // The same %XX escapes as the remote protocol's, which refuse a bad escape and a NUL.
    return remote::unescape(rest).value_or("");
}

std::string uriOfLocalPath(const std::string& path) {
    std::string uri = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::strchr("/-_.~!$&'()*+,;=:@", c) != nullptr) {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}

} // namespace mpris
