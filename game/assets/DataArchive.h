// The game's zip data archive, "data\tcdata.d" beside the game. readFile finds an entry by
// name, ignoring letter case (the first match in directory order wins; a bare name does not
// find an entry inside a folder), and inflates it whole into the one shared buffer, which the
// next readFile replaces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDataArchive {
  public:
    // No entry declaring more than this is read: the game's largest is a few megabytes.
    static constexpr uint32_t kMaxEntryBytes = 64u << 20;

    // Why the last readFile failed.
    enum class Failure {
        None,
        ArchiveUnreadable, // the archive is missing, cannot be opened or is not a zip
        NotFound,          // the archive has no entry of that name
        Damaged,           // the entry is there but cannot be read whole and intact
    };

    // Opens "data\tcdata.d"; a missing archive makes every readFile fail.
    CDataArchive();
    // Opens the archive at path.
    explicit CDataArchive(const char* path);
    ~CDataArchive();
    CDataArchive(const CDataArchive&) = delete;
    CDataArchive& operator=(const CDataArchive&) = delete;

    // True when the entry was found and read whole with a good checksum. A name not found
    // leaves the previous entry in place; an entry that cannot be read whole leaves an empty
    // buffer (size 0). An entry declaring more than kMaxEntryBytes is damaged, and memory is
    // taken only as the entry's data actually inflates, never as its header declares.
    bool readFile(const char* name);
    const unsigned char* getData() const { return buffer.empty() ? nullptr : buffer.data(); }
    uint32_t getSize() const { return size; }

    // What the last readFile found wrong, and in words which file of which archive could not
    // be read and why; None and "" after a success.
    Failure lastFailure() const { return failure; }
    const std::string& lastError() const { return error; }

  private:
    bool readCurrentEntry(const char* name, uint64_t entrySize);
    bool fail(Failure kind, const std::string& text);

    std::vector<unsigned char> buffer;
    uint32_t size = 0;
    void* handle = nullptr;
    std::string path;
    std::string openError;
    Failure failure = Failure::None;
    std::string error;
};

// The one archive, set by the scene director while it exists.
extern CDataArchive* dataArchive;
