#include "tests/support/ZipFiles.h"

#include <unzip.h>
#include <zip.h>

namespace testsupport {

bool writeZip(const std::string& path, const ZipEntries& entries, bool stored) {
    zipFile z = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (z == nullptr) {
        return false;
    }
    bool ok = true;
    for (const auto& e : entries) {
        zip_fileinfo info{};
        ok = ok && zipOpenNewFileInZip(z, e.first.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                       stored ? 0 : Z_DEFLATED,
                                       stored ? 0 : Z_DEFAULT_COMPRESSION) == ZIP_OK;
        if (ok && !e.second.empty()) {
            ok = zipWriteInFileInZip(z, e.second.data(), static_cast<unsigned>(e.second.size())) ==
                 ZIP_OK;
        }
        zipCloseFileInZip(z);
    }
    return zipClose(z, nullptr) == ZIP_OK && ok;
}

ZipEntries readZip(const std::string& path) {
    ZipEntries entries;
    unzFile z = unzOpen(path.c_str());
    if (z == nullptr) {
        return entries;
    }
    for (int at = unzGoToFirstFile(z); at == UNZ_OK; at = unzGoToNextFile(z)) {
        char name[256] = {};
        unz_file_info info{};
        if (unzGetCurrentFileInfo(z, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzOpenCurrentFile(z) != UNZ_OK) {
            entries.clear();
            break;
        }
        std::string content(info.uncompressed_size, '\0');
        int got = content.empty()
                      ? 0
                      : unzReadCurrentFile(z, &content[0], static_cast<unsigned>(content.size()));
        unzCloseCurrentFile(z);
        if (got != static_cast<int>(content.size())) {
            entries.clear();
            break;
        }
        entries.emplace_back(name, std::move(content));
    }
    unzClose(z);
    return entries;
}

} // namespace testsupport
