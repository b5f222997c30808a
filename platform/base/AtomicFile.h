// Replacing a file so that a crash, a full disk or a file-size limit in the middle never
// leaves it damaged: readers see either the old content or the new, whole.
#pragma once

#include <cstddef>
#include <string>

namespace plat {

// Writes bytes to a new temporary file in path's folder, flushes it to the disk and renames
// it over path. True when path now holds exactly these bytes. On failure path is left as it
// was (or absent, if it was), the temporary file is removed, and error (when given) says why.
bool writeFileAtomically(const std::string& path, const void* bytes, size_t size,
                         std::string* error = nullptr);
inline bool writeFileAtomically(const std::string& path, const std::string& text,
                                std::string* error = nullptr) {
    return writeFileAtomically(path, text.data(), text.size(), error);
}

} // namespace plat
