// The game's zip data archive, "data\tcdata.d" beside the game. readFile finds an entry by
// name, ignoring letter case (the first match in directory order wins; a bare name does not
// find an entry inside a folder), and inflates it whole into the one shared buffer, which the
// next readFile replaces.
#pragma once

#include <cstdint>

class CDataArchive {
  public:
    // Opens "data\tcdata.d"; a missing archive makes every readFile fail.
    CDataArchive();
    // Opens the archive at path.
    explicit CDataArchive(const char* path);
    ~CDataArchive();
    CDataArchive(const CDataArchive&) = delete;
    CDataArchive& operator=(const CDataArchive&) = delete;

    // True when the entry was found and read whole with a good checksum. A name not found
    // leaves the previous entry in place; an entry that cannot be read whole leaves an empty
    // buffer (size 0).
    bool readFile(const char* name);
    const unsigned char* getData() const { return data; }
    uint32_t getSize() const { return size; }

  private:
    bool readCurrentEntry(uint32_t entrySize);

    unsigned char* data = nullptr;
    uint32_t size = 0;
    void* handle = nullptr;
};

// The one archive, set by the scene director while it exists.
extern CDataArchive* dataArchive;
