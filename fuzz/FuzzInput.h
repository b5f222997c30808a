// Helpers for fuzz targets whose loader reads a file by name: the input is put in an
// in-memory file (no disk traffic per run) that the loader opens by a path.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzinput {

class MemoryFile {
  public:
    MemoryFile() : fd(memfd_create("fuzz-input", 0)) {}
    ~MemoryFile() {
        if (fd >= 0) {
            close(fd);
        }
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the file's content; the path stays the same.
    bool set(const uint8_t* data, size_t size) {
        if (fd < 0 || ftruncate(fd, 0) != 0) {
            return false;
        }
        size_t done = 0;
        while (done < size) {
            ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) {
                return false;
            }
            done += static_cast<size_t>(n);
        }
        return true;
    }
    std::string path() const { return "/proc/self/fd/" + std::to_string(fd); }

  private:
    int fd;
};

} // namespace fuzzinput
