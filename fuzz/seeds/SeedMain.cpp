#include "fuzz/seeds/Seeds.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

void SeedWriter::add(const std::string& name, const std::string& bytes) {
    std::ofstream file(path(name), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    good = good && static_cast<bool>(file.flush());
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEED-FOLDER\n", argv[0]);
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    SeedWriter out(argv[1]);
    writeSeeds(out);
    if (!out.ok()) {
        std::fprintf(stderr, "%s: cannot write the seeds to %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
