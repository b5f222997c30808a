#include "tools/tcdata-build/ZipWriter.h"

#include <zip.h>

#include <cstdio>
#include <stdexcept>

void ZipWriter::add(const std::string& name, std::string bytes) {
    for (const auto& f : files) {
        if (f.first == name) {
            throw std::logic_error("entry added twice: " + name);
        }
    }
    files.emplace_back(name, std::move(bytes));
}

void ZipWriter::write(const std::string& path) const {
    std::string temp = path + ".part";
    zipFile z = zipOpen(temp.c_str(), APPEND_STATUS_CREATE);
    if (z == nullptr) {
        throw std::runtime_error("cannot create " + temp);
    }
    bool ok = true;
    for (const auto& f : files) {
        zip_fileinfo info{};
        info.tmz_date.tm_year = 2000;
        info.tmz_date.tm_mday = 1;
        ok = ok &&
             zipOpenNewFileInZip(z, f.first.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                 Z_DEFLATED, Z_BEST_COMPRESSION) == ZIP_OK &&
             zipWriteInFileInZip(z, f.second.data(), static_cast<unsigned>(f.second.size())) ==
                 ZIP_OK &&
             zipCloseFileInZip(z) == ZIP_OK;
    }
    ok = zipClose(z, nullptr) == ZIP_OK && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        throw std::runtime_error("cannot write " + path);
    }
}
