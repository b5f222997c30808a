#include "tests/support/ZipFiles.h"

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

} // namespace testsupport
