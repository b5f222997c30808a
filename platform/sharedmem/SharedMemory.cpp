#include "platform/sharedmem/SharedMemory.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

namespace {

struct FileObject : KernelObject {
    explicit FileObject(int f) : fd(f) {}
    ~FileObject() override { close(fd); }
    int fd;
};

// Every holder of a mapping keeps a shared lock on it; the one closing handle that can get
// the lock exclusively is the last, and removes the name.
struct MappingObject : KernelObject {
    MappingObject(int f, std::string n, size_t s, bool w)
        : fd(f), objectName(std::move(n)), size(s), writable(w) {}
    ~MappingObject() override {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            shm_unlink(objectName.c_str());
        }
        close(fd);
    }
    int fd;
    std::string objectName;
    size_t size;
    bool writable;
};

std::mutex viewsLock;
// Never destroyed: blocks that are globals unmap their views from their destructors at exit,
// which may run after this file's statics are gone.
std::map<const void*, size_t>& views() {
    static auto* v = new std::map<const void*, size_t>;
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

// Opens (or creates) the shared-memory object under the holders' shared lock.
int acquire(const std::string& objectName, bool create, bool writable) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        int flags = writable ? O_RDWR : O_RDONLY;
        if (create) {
            flags |= O_CREAT;
        }
        int fd = shm_open(objectName.c_str(), flags, 0600);
        if (fd < 0) {
            return -1;
        }
        while (flock(fd, LOCK_SH) != 0 && errno == EINTR) {
        }
        if (stillNamed(fd, objectName)) {
            return fd;
        }
        close(fd);
    }
    return -1;
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
        SetLastError(ERROR_ACCESS_DENIED);
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
    return new MappingObject(fd, objectName, existed ? static_cast<size_t>(st.st_size) : size,
                             writable);
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
        SetLastError(ERROR_FILE_NOT_FOUND);
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
    std::lock_guard<std::mutex> hold(viewsLock);
    views()[p] = bytes;
    return p;
}

BOOL UnmapViewOfFile(const void* view) {
    std::lock_guard<std::mutex> hold(viewsLock);
    auto it = views().find(view);
    if (it == views().end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    munmap(const_cast<void*>(view), it->second);
    views().erase(it);
    return TRUE;
}
