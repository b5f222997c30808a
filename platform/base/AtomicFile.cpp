#include "platform/base/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace plat {

namespace {

bool fail(std::string* error, const std::string& what, int code) {
    if (error != nullptr) {
        *error = what + ": " + std::strerror(code);
    }
    return false;
}

// Writes everything; a write that stops short (a full disk, a size limit) is an error.
bool writeAll(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::string& path, const void* bytes, size_t size,
                         std::string* error) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = (slash == std::string::npos ? "" : folder) + "." + name + ".XXXXXX";

    // A file-size limit would otherwise end the process with SIGXFSZ; a failed write is what
    // the caller is promised.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    int fd = mkostemp(&temp[0], O_CLOEXEC);
    if (fd < 0) {
        int code = errno;
        sigaction(SIGXFSZ, &previous, nullptr);
        return fail(error, "cannot create a file beside " + path, code);
    }
    // Keep the old file's permissions, else the usual ones for a new file.
    struct stat old {};
    mode_t mode = 0644;
    if (stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = writeAll(fd, static_cast<const unsigned char*>(bytes), size) &&
              fchmod(fd, mode) == 0 && fsync(fd) == 0;
    int code = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    sigaction(SIGXFSZ, &previous, nullptr);
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
        // The rename itself reaches the disk with the folder.
        int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            fsync(dir);
            ::close(dir);
        }
        return true;
    }
    if (ok) {
        code = errno;
    }
    unlink(temp.c_str());
    return fail(error, "cannot write " + path, code);
}

} // namespace plat
