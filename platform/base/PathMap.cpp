#include "platform/base/PathMap.h"

#include <strings.h>
#include <unistd.h>

#include <climits>

namespace plat {

namespace {

bool endsWithNoCase(const std::string& s, const char* suffix, size_t n) {
    return s.size() >= n && strcasecmp(s.c_str() + s.size() - n, suffix) == 0;
}

} // namespace

std::string mapPath(const std::string& windowsName) {
    std::string p = windowsName;
    for (char& c : p) {
        if (c == '\\') {
            c = '/';
        }
    }
    // Collapse doubled separators that escaped Windows paths carry ("C:\\dir").
    std::string out;
    out.reserve(p.size());
    for (char c : p) {
        if (c == '/' && !out.empty() && out.back() == '/') {
            continue;
        }
        out.push_back(c);
    }
    if (endsWithNoCase(out, ".exe", 4)) {
        out.resize(out.size() - 4);
    } else if (endsWithNoCase(out, ".dll", 4)) {
        out.resize(out.size() - 4);
        out += ".so";
    }
    return out;
}

std::string executableFolder() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) {
        return ".";
    }
    buf[n] = '\0';
    std::string path(buf);
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

} // namespace plat
