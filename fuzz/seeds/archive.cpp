#include "fuzz/seeds/Seeds.h"
#include "tools/tcdata-build/ZipWriter.h"

#include <zip.h>

#include <string>

namespace {

// An archive of stored (not deflated) entries, so that the fuzzer sees the data plainly.
bool writeStored(const std::string& path,
                 const std::vector<std::pair<std::string, std::string>>& entries) {
    zipFile z = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (z == nullptr) {
        return false;
    }
    bool ok = true;
    for (const auto& e : entries) {
        zip_fileinfo info{};
        ok = ok &&
             zipOpenNewFileInZip(z, e.first.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0,
                                 0) == ZIP_OK &&
             zipWriteInFileInZip(z, e.second.data(), static_cast<unsigned>(e.second.size())) ==
                 ZIP_OK &&
             zipCloseFileInZip(z) == ZIP_OK;
    }
    return zipClose(z, nullptr) == ZIP_OK && ok;
}

} // namespace

void writeSeeds(SeedWriter& out) {
    ZipWriter deflated;
    deflated.add("entry.bin", std::string(300, 'e') + "tail");
    deflated.add("Exhaust.png", std::string("\x89PNG\r\n\x1a\n", 8) + "not really");
    deflated.add("models/Prop.dat", "prop");
    deflated.write(out.path("deflated.zip"));
    if (!writeStored(out.path("stored.zip"), {{"entry.bin", "0123456789"}, {"a", ""}})) {
        out.add("stored.zip", "");
    }
    ZipWriter empty;
    empty.write(out.path("empty.zip"));
}
