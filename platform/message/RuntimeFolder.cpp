#include "platform/message/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

bool makeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    return false;
}

} // namespace

namespace plat {

std::string runtimeFolder() {
    std::string folder;
    if (const char* own = std::getenv("TONECREST_RUNTIME_DIR"); own != nullptr && *own != '\0') {
        folder = own;
    } else if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && *xdg != '\0') {
        folder = std::string(xdg) + "/tonecrest";
    } else {
        folder = "/tmp/tonecrest-" + std::to_string(getuid());
    }
    return makeFolder(folder) ? folder : std::string();
}

} // namespace plat
