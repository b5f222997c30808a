// Small zip archives for tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

using ZipEntries = std::vector<std::pair<std::string, std::string>>;

// Writes a zip of (name, content) entries, deflated, or stored so their bytes stay as they
// are; false when the file cannot be written.
bool writeZip(const std::string& path, const ZipEntries& entries, bool stored = false);

// Every entry of a zip, in directory order; empty when the file cannot be read as one.
ZipEntries readZip(const std::string& path);

} // namespace testsupport
