#include "game/assets/DataArchive.h"

#include "platform/base/PathMap.h"

#include <strings.h>
#include <unzip.h>

#include <new>

CDataArchive* dataArchive = nullptr;

namespace {

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

} // namespace

CDataArchive::CDataArchive() : CDataArchive(plat::mapPath("data\\tcdata.d").c_str()) {}

CDataArchive::CDataArchive(const char* path) {
    handle = unzOpen(path);
}

CDataArchive::~CDataArchive() {
    if (handle != nullptr) {
        unzClose(static_cast<unzFile>(handle));
    }
    delete[] data;
}

bool CDataArchive::readFile(const char* name) {
    auto zip = static_cast<unzFile>(handle);
    if (zip == nullptr || name == nullptr) {
        return false;
    }
    unz_global_info global{};
    if (unzGetGlobalInfo(zip, &global) != UNZ_OK || global.number_entry == 0) {
        return false;
    }
    if (!stepOk(unzGoToFirstFile(zip))) {
        return false;
    }
    EntryInfo e{};
    for (uLong i = 0; i < global.number_entry; ++i) {
        if (i > 0 && !stepOk(unzGoToNextFile(zip))) {
            return false;
        }
        if (!currentEntry(zip, &e)) {
            return false;
        }
        if (strcasecmp(name, e.name) == 0) {
            return readCurrentEntry(static_cast<uint32_t>(e.info.uncompressed_size));
        }
    }
    return false;
}

bool CDataArchive::readCurrentEntry(uint32_t entrySize) {
    auto zip = static_cast<unzFile>(handle);
    delete[] data;
    data = nullptr;
    size = 0;
    // One spare byte past the entry; readers go by getSize.
    data = new unsigned char[static_cast<size_t>(entrySize) + 1];
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        return false;
    }
    // A short read or a checksum error is damaged data, not a success.
    int got = entrySize > 0 ? unzReadCurrentFile(zip, data, entrySize) : 0;
    int closed = unzCloseCurrentFile(zip);
    if (got < 0 || static_cast<uint32_t>(got) != entrySize || closed != UNZ_OK) {
        return false;
    }
    size = entrySize;
    return true;
}
