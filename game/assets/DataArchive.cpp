#include "game/assets/DataArchive.h"

#include "platform/base/PathMap.h"

#include <strings.h>
#include <unzip.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

CDataArchive* dataArchive = nullptr;

namespace {

// Inflated data is taken in steps of this size, so that memory follows the data.
constexpr size_t kReadStep = 64u << 10;

struct EntryInfo {
    unz_file_info info;
    char name[260];
    char comment[256];
};

bool currentEntry(unzFile zip, EntryInfo* e) {
    return unzGetCurrentFileInfo(zip, &e->info, e->name, sizeof e->name, nullptr, 0, e->comment,
                                 sizeof e->comment) == UNZ_OK;
}

bool stepOk(int result) {
    return result == UNZ_OK || result == UNZ_END_OF_LIST_OF_FILE;
}

// Why an archive that minizip would not open could not be opened.
std::string whyNotOpened(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        int e = errno;
        return e == ENOENT ? "is missing" : std::string("cannot be opened: ") + std::strerror(e);
    }
    std::fclose(f);
    return "is not a zip archive (or its directory is damaged)";
}

const char* readProblem(int result) {
    switch (result) {
    case UNZ_CRCERROR:
        return "its checksum does not match";
    case Z_DATA_ERROR:
        return "its data cannot be inflated";
    case Z_MEM_ERROR:
        return "no memory to inflate it";
    default:
        return "it cannot be read";
    }
}

} // namespace

CDataArchive::CDataArchive() : CDataArchive(plat::mapPath("data\\tcdata.d").c_str()) {}

CDataArchive::CDataArchive(const char* archivePath) : path(archivePath ? archivePath : "") {
    handle = archivePath != nullptr ? unzOpen(archivePath) : nullptr;
    if (handle == nullptr) {
        openError = "the data archive " + path + " " + whyNotOpened(path);
    }
}

CDataArchive::~CDataArchive() {
    if (handle != nullptr) {
        unzClose(static_cast<unzFile>(handle));
    }
}

bool CDataArchive::fail(Failure kind, const std::string& text) {
    failure = kind;
    error = text;
    return false;
}

bool CDataArchive::readFile(const char* name) {
    auto zip = static_cast<unzFile>(handle);
    if (zip == nullptr) {
        return fail(Failure::ArchiveUnreadable, openError);
    }
    if (name == nullptr) {
        return fail(Failure::NotFound, "no file name given to read from " + path);
    }
    std::string missing = std::string(name) + " is not in the data archive " + path;
    std::string unreadable = "the directory of the data archive " + path + " is damaged";
    unz_global_info global{};
    if (unzGetGlobalInfo(zip, &global) != UNZ_OK) {
        return fail(Failure::ArchiveUnreadable, unreadable);
    }
    if (global.number_entry == 0) {
        return fail(Failure::NotFound, missing);
    }
    if (!stepOk(unzGoToFirstFile(zip))) {
        return fail(Failure::ArchiveUnreadable, unreadable);
    }
    EntryInfo e{};
    for (uLong i = 0; i < global.number_entry; ++i) {
        if (i > 0 && !stepOk(unzGoToNextFile(zip))) {
            return fail(Failure::ArchiveUnreadable, unreadable);
        }
        if (!currentEntry(zip, &e)) {
            return fail(Failure::ArchiveUnreadable, unreadable);
        }
        if (strcasecmp(name, e.name) == 0) {
            return readCurrentEntry(name, e.info.uncompressed_size);
        }
    }
    return fail(Failure::NotFound, missing);
}

bool CDataArchive::readCurrentEntry(const char* name, uint64_t entrySize) {
    auto zip = static_cast<unzFile>(handle);
    buffer.clear();
    size = 0;
    std::string damaged = std::string(name) + " in the data archive " + path + " is damaged: ";
    if (entrySize > kMaxEntryBytes) {
        return fail(Failure::Damaged, damaged + "it declares " + std::to_string(entrySize) +
                                          " bytes, more than the " +
                                          std::to_string(kMaxEntryBytes >> 20) +
                                          " MiB an entry may hold");
    }
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        return fail(Failure::Damaged, damaged + "its header cannot be read");
    }
    // Read in steps until the declared size is reached: a header that lies about the size
    // costs no more memory than the data really inflates to. One byte more is asked for at the
    // end, to find data longer than declared.
    int result = 0;
    size_t got = 0;
    for (;;) {
        size_t want = entrySize - got + 1;
        size_t step = want < kReadStep ? want : kReadStep;
        buffer.resize(got + step);
        result = unzReadCurrentFile(zip, buffer.data() + got, static_cast<unsigned>(step));
        if (result <= 0) {
            break;
        }
        got += static_cast<size_t>(result);
        if (got > entrySize) {
            break;
        }
    }
    int closed = unzCloseCurrentFile(zip);
    const char* problem = nullptr;
    if (result < 0) {
        problem = readProblem(result);
    } else if (got != entrySize) {
        problem = got < entrySize ? "its data is shorter than it declares"
                                  : "its data is longer than it declares";
    } else if (closed != UNZ_OK) {
        problem = readProblem(closed);
    }
    if (problem != nullptr) {
        std::vector<unsigned char>().swap(buffer);
        return fail(Failure::Damaged, damaged + problem);
    }
    // One spare zero byte past the entry; readers go by getSize.
    buffer.resize(got + 1);
    buffer[got] = 0;
    size = static_cast<uint32_t>(got);
    failure = Failure::None;
    error.clear();
    return true;
}
