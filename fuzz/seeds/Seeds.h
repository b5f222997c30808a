// Seed programs: each fuzz target has one, built from SeedMain.cpp and the target's own seed
// file, which defines writeSeeds. The build runs it to fill the target's seed folder, so no
// seed is kept in the source tree.
#pragma once

#include <string>

class SeedWriter {
  public:
    explicit SeedWriter(std::string folder) : dir(std::move(folder)) {}
    // Writes one seed file; a failure makes the program fail.
    void add(const std::string& name, const std::string& bytes);
    // Where a seed of that name goes, for writers that make files themselves.
    std::string path(const std::string& name) const { return dir + "/" + name; }
    bool ok() const { return good; }

  private:
    std::string dir;
    bool good = true;
};

// Writes the target's seeds: small, valid inputs of each shape the loader knows.
void writeSeeds(SeedWriter& out);
