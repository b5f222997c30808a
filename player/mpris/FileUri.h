// Local files as the standard media-player interface names them (xesam:url, OpenUri).
#pragma once

#include <string>

namespace mpris {

// "file:///a%20b.flac" -> "/a b.flac"; a plain absolute path as it is; "" for anything else
// (another scheme, a relative path, a bad escape).
std::string localPathOfUri(const std::string& uri);
// The file:// URI of an absolute path, with the characters a URI cannot hold escaped.
std::string uriOfLocalPath(const std::string& path);

} // namespace mpris
