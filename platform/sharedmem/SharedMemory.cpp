#include "platform/sharedmem/SharedMemory.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace {

struct FileObject : KernelObject {
    explicit FileObject(int f) : fd(f) {}
    ~FileObject() override { close(fd); }
    int fd;
};

bool stillNamed(int fd, const std::string& objectName);

// Every holder of a mapping keeps a shared lock on it; the one closing handle that can get
// the lock exclusively is the last, and removes the name, unless the name has meanwhile been
// given to another object.
struct MappingObject : KernelObject {
    MappingObject(int f, std::string n, size_t s, bool w)
        : fd(f), objectName(std::move(n)), size(s), writable(w) {}
    ~MappingObject() override {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && stillNamed(fd, objectName)) {
            shm_unlink(objectName.c_str());
        }
        close(fd);
    }
    int fd;
    std::string objectName;
    size_t size;
    bool writable;
};

// A mapped view: its length, and for checked reads a descriptor of the object of its own (a
// fresh open of the object, so that it carries none of the holders' locks) with the object's
// name and the view's offset in it.
struct ViewRecord {
    size_t bytes = 0;
    int fd = -1; // opened for writing when the view is writable
    bool writable = false;
    std::string objectName;
    size_t offset = 0;
};

std::mutex viewsLock;
// Never destroyed: blocks that are globals unmap their views from their destructors at exit,
// which may run after this file's statics are gone.
std::map<const void*, ViewRecord>& views() {
    static auto* v = new std::map<const void*, ViewRecord>;
    return *v;
}

std::string objectNameFor(const char* name) {
    const char* ns = std::getenv("TONECREST_SHM_NAMESPACE");
    std::string n = "/";
    if (ns != nullptr) {
        n += ns;
    }
    for (const char* p = name; *p; ++p) {
        n.push_back(*p == '/' ? '_' : *p);
    }
    return n;
}

// True while fd is still the object that carries the name (no closer removed it meanwhile).
bool stillNamed(int fd, const std::string& objectName) {
    struct stat held {
    }, named{};
    if (fstat(fd, &held) != 0 || stat(("/dev/shm" + objectName).c_str(), &named) != 0) {
        return false;
    }
    return held.st_ino == named.st_ino && held.st_dev == named.st_dev;
}

// Opens (or creates) the shared-memory object under the holders' shared lock, -1 with the
// last error set when it cannot. The lock is only tried, never waited for: an opener never
// waits on another process. A creator tries again for a few milliseconds, since a last holder
// keeps the lock exclusively only while it removes the name; an opener fails at once with
// ERROR_LOCK_VIOLATION and may try again later.
int acquire(const std::string& objectName, bool create, bool writable) {
    constexpr int kAttempts = 8;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        int flags = (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC;
        if (create) {
            flags |= O_CREAT;
        }
        int fd = shm_open(objectName.c_str(), flags, 0600);
        if (fd < 0) {
            SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
            return -1;
        }
        int locked = -1;
        do {
            locked = flock(fd, LOCK_SH | LOCK_NB);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            close(fd);
            if (!create) {
                SetLastError(ERROR_LOCK_VIOLATION);
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        if (stillNamed(fd, objectName)) {
            return fd;
        }
        close(fd);
    }
    SetLastError(ERROR_LOCK_VIOLATION);
    return -1;
}

// A descriptor of the same object that shares no lock with fd; -1 when none can be had.
int reopenOwn(int fd, bool writable) {
    std::string path = "/proc/self/fd/" + std::to_string(fd);
    return open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
}

} // namespace

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, void*, DWORD creation, DWORD,
                   HANDLE) {
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    bool write = (access & GENERIC_WRITE) != 0;
    int flags = write ? ((access & GENERIC_READ) ? O_RDWR : O_WRONLY) : O_RDONLY;
    if (creation == CREATE_ALWAYS) {
        flags |= O_CREAT | O_TRUNC;
    }
    int fd = open(name, flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (shareMode == 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        SetLastError(ERROR_SHARING_VIOLATION);
        return INVALID_HANDLE_VALUE;
    }
    return new FileObject(fd);
}

HANDLE CreateFileMappingA(HANDLE file, void*, DWORD protect, DWORD maxSizeHigh, DWORD maxSizeLow,
                          LPCSTR name) {
    size_t size = (static_cast<size_t>(maxSizeHigh) << 32) | maxSizeLow;
    if (name == nullptr || *name == '\0' || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool writable = protect == PAGE_READWRITE;
    std::string objectName = objectNameFor(name);
    int fd = acquire(objectName, true, writable);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st {};
    fstat(fd, &st);
    bool existed = st.st_size > 0;
    if (static_cast<size_t>(st.st_size) < size && ftruncate(fd, static_cast<off_t>(size)) != 0) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    auto* backing = file == INVALID_HANDLE_VALUE ? nullptr : dynamic_cast<FileObject*>(file);
    if (backing != nullptr) {
        struct stat fst {};
        if (fstat(backing->fd, &fst) == 0 && static_cast<size_t>(fst.st_size) < size) {
            (void)ftruncate(backing->fd, static_cast<off_t>(size));
        }
    }
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    // An existing object keeps its larger size; a smaller one has just been grown to size.
    size_t held = std::max(static_cast<size_t>(st.st_size), size);
    return new MappingObject(fd, objectName, held, writable);
}

HANDLE OpenFileMappingA(DWORD access, BOOL, LPCSTR name) {
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool writable = (access & FILE_MAP_WRITE) != 0;
    std::string objectName = objectNameFor(name);
    int fd = acquire(objectName, false, writable);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st {};
    fstat(fd, &st);
    return new MappingObject(fd, objectName, static_cast<size_t>(st.st_size), writable);
}

void* MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, size_t bytes) {
    auto* m = mapping == INVALID_HANDLE_VALUE ? nullptr : dynamic_cast<MappingObject*>(mapping);
    size_t offset = (static_cast<size_t>(offsetHigh) << 32) | offsetLow;
    bool write = (access & FILE_MAP_WRITE) != 0;
    if (m == nullptr || (write && !m->writable) || offset % static_cast<size_t>(getpagesize())) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (bytes == 0) {
        bytes = m->size > offset ? m->size - offset : 0;
    }
    if (bytes == 0 || offset + bytes > m->size) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    int prot = write ? (PROT_READ | PROT_WRITE) : PROT_READ;
    void* p = mmap(nullptr, bytes, prot, MAP_SHARED, m->fd, static_cast<off_t>(offset));
    if (p == MAP_FAILED) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    ViewRecord record{bytes, reopenOwn(m->fd, write), write, m->objectName, offset};
    std::lock_guard<std::mutex> hold(viewsLock);
    views()[p] = record;
    return p;
}

BOOL UnmapViewOfFile(const void* view) {
    std::lock_guard<std::mutex> hold(viewsLock);
    auto it = views().find(view);
    if (it == views().end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    munmap(const_cast<void*>(view), it->second.bytes);
    if (it->second.fd >= 0) {
        close(it->second.fd);
    }
    views().erase(it);
    return TRUE;
}

namespace {

// The view's object for a checked access of bytes at offset: a descriptor of the caller's own
// (so that an unmap on another thread cannot close it meanwhile), the position in the object
// and its name. -1 with the last error set when the view or the range is not valid.
int viewObject(const void* view, size_t offset, size_t bytes, bool write, size_t& start,
               std::string& objectName) {
    int fd = -1;
    {
        std::lock_guard<std::mutex> hold(viewsLock);
        auto it = views().find(view);
        if (it == views().end() || it->second.fd < 0 || (write && !it->second.writable) ||
            offset > it->second.bytes || bytes > it->second.bytes - offset) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return -1;
        }
        fd = dup(it->second.fd);
        start = it->second.offset + offset;
        objectName = it->second.objectName;
    }
    if (fd < 0) {
        SetLastError(ERROR_ACCESS_DENIED);
    }
    return fd;
}

} // namespace

BOOL ReadMappedView(const void* view, size_t offset, void* out, size_t bytes) {
    size_t start = 0;
    std::string objectName;
    int fd = viewObject(view, offset, bytes, false, start, objectName);
    if (fd < 0) {
        return FALSE;
    }
    DWORD error = ERROR_SUCCESS;
    if (!stillNamed(fd, objectName)) {
        error = ERROR_FILE_INVALID;
    } else {
        // Read from the object, not through the mapping: pages past a shrunken object's end
        // would fault, a read of them merely comes up short.
        auto* to = static_cast<unsigned char*>(out);
        size_t got = 0;
        while (got < bytes) {
            ssize_t n = pread(fd, to + got, bytes - got, static_cast<off_t>(start + got));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += static_cast<size_t>(n);
        }
        if (got < bytes) {
            error = ERROR_HANDLE_EOF;
        }
    }
    close(fd);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL WriteMappedView(void* view, size_t offset, const void* data, size_t bytes) {
    size_t start = 0;
    std::string objectName;
    int fd = viewObject(view, offset, bytes, true, start, objectName);
    if (fd < 0) {
        return FALSE;
    }
    DWORD error = ERROR_SUCCESS;
    struct stat st {};
    if (!stillNamed(fd, objectName)) {
        error = ERROR_FILE_INVALID;
    } else if (fstat(fd, &st) != 0 || static_cast<size_t>(st.st_size) < start + bytes) {
        error = ERROR_HANDLE_EOF;
    } else {
        // Write to the object, not through the mapping: should another process shrink it
        // meanwhile, a write merely makes it longer again where a store would fault.
        const auto* from = static_cast<const unsigned char*>(data);
        size_t put = 0;
        while (put < bytes) {
            ssize_t n = pwrite(fd, from + put, bytes - put, static_cast<off_t>(start + put));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                error = ERROR_HANDLE_EOF;
                break;
            }
            put += static_cast<size_t>(n);
        }
    }
    close(fd);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
