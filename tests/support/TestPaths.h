// Folders of the build that tests need, and scratch folders of their own.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#ifndef TC_TEST_STATE_DIR
#error "TC_TEST_STATE_DIR must name the test state folder"
#endif

namespace testsupport {

// A fresh empty folder below the system's temporary folder, removed by the destructor.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return dir; }
    std::string file(const std::string& name) const { return dir + "/" + name; }

  private:
    std::string dir;
};

// While it lives: a shared-memory namespace no other test uses, and the folder as the working
// folder (where a music block keeps its backing file). Afterwards the working folder is "/".
class IsolatedMusicBlock {
  public:
    explicit IsolatedMusicBlock(const ScratchDir& folder);
    ~IsolatedMusicBlock();
    IsolatedMusicBlock(const IsolatedMusicBlock&) = delete;
    IsolatedMusicBlock& operator=(const IsolatedMusicBlock&) = delete;
    bool ok() const { return entered; }

  private:
    bool entered = false;
};

// Whole content of a file; "" when it cannot be read.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
bool fileExists(const std::string& path);

// Runs work in a child process whose files may grow to at most limitBytes (RLIMIT_FSIZE), as
// on a disk that fills up midway. The child's exit status: 0 when work returned true, 1 when
// false, 128 + the signal when a signal ended it.
int inChildWithFileSizeLimit(size_t limitBytes, const std::function<bool()>& work);

} // namespace testsupport
