// Writes a zip archive whose bytes depend only on its entries: fixed dates, entries in the
// order they are added, deflated at the best level.
#pragma once

#include <string>
#include <utility>
#include <vector>

class ZipWriter {
  public:
    void add(const std::string& name, std::string bytes);
    const std::vector<std::pair<std::string, std::string>>& entries() const { return files; }
    // Writes the archive to path (through a temporary file renamed into place).
    void write(const std::string& path) const;

  private:
    std::vector<std::pair<std::string, std::string>> files;
};
