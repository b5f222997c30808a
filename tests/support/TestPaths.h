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

// Whole content of a file; "" when it cannot be read.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
bool fileExists(const std::string& path);

} // namespace testsupport
