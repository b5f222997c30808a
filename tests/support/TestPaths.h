// Folders of the build that tests need, and scratch folders of their own.
#pragma once

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

} // namespace testsupport
